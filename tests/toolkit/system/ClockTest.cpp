#include "toolkit/system/Clock.h"

#include <gtest/gtest.h>

TEST(Clock, FakeClockWrapsAndRestores)
{
    {
        FakeTickClock fake(0xFFFFFFF0u);
        EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
        fake.Advance(0x20);
        EXPECT_EQ(GetTickCount(), 0x10u);
        // Differences across the wrap stay right in unsigned arithmetic.
        EXPECT_EQ(GetTickCount() - 0xFFFFFFF0u, 0x20u);

        {
            FakeTickClock inner(5);
            EXPECT_EQ(GetTickCount(), 5u);
            inner.Set(7);
            EXPECT_EQ(GetTickCount(), 7u);
        }
        EXPECT_EQ(GetTickCount(), 0x10u);
    }
    // The real clock is back: it is not frozen at a fake value and does not
    // run backwards.
    std::uint32_t first = GetTickCount();
    std::uint32_t second = GetTickCount();
    EXPECT_LT(second - first, 1000u);
}

#include "toolkit/system/Sound.h"

#include <gtest/gtest.h>

#include <string>

TEST(Sound, RecorderKeepsTypesInOrderAndNests)
{
    BeepRecorder outer;
    MessageBeep(0);
    MessageBeep(0x30);
    {
        BeepRecorder inner;
        MessageBeep(0x10);
        EXPECT_EQ(inner.Beeps(), std::vector<unsigned>{0x10});
    }
    MessageBeep(0x20);
    EXPECT_EQ(outer.Beeps(), (std::vector<unsigned>{0, 0x30, 0x20}));
    outer.Clear();
    EXPECT_TRUE(outer.Beeps().empty());
}

TEST(Sound, EventIds)
{
    EXPECT_EQ(std::string(BeepEventId(0)), "bell");
    EXPECT_EQ(std::string(BeepEventId(0x10)), "dialog-error");
    EXPECT_EQ(std::string(BeepEventId(0x20)), "dialog-question");
    EXPECT_EQ(std::string(BeepEventId(0x30)), "dialog-warning");
    EXPECT_EQ(std::string(BeepEventId(0x40)), "bell");
    EXPECT_EQ(std::string(BeepEventId(0xFFFFFFFFu)), "bell");
}

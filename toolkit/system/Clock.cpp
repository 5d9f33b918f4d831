#include "toolkit/system/Clock.h"

#include <ctime>

namespace {

FakeTickClock* activeFake = nullptr;

}  // namespace

std::uint32_t GetTickCount()
{
    if (activeFake)
        return activeFake->Now();
    timespec ts{};
    // CLOCK_BOOTTIME keeps running while the machine sleeps, as a stopwatch
    // must; it cannot fail for a valid clock id.
    clock_gettime(CLOCK_BOOTTIME, &ts);
    auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

FakeTickClock::FakeTickClock(std::uint32_t start) : now_(start), previous_(activeFake)
{
    activeFake = this;
}

FakeTickClock::~FakeTickClock()
{
    activeFake = previous_;
}

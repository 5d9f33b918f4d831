// The millisecond tick count that all time keeping is based on.
#pragma once

#include <cstdint>

// Milliseconds since boot, counting through suspend and never jumping with
// the wall clock. Wraps modulo 2^32 (about every 49.7 days), so callers take
// differences in unsigned arithmetic.
std::uint32_t GetTickCount();

// While one lives, GetTickCount returns its value instead of the real clock,
// so time-dependent code can be tested without waiting. Fakes nest: the
// newest one wins and the previous source comes back when it is destroyed.
// Meant for the user-interface thread only, like everything that reads the
// tick count.
class FakeTickClock {
public:
    explicit FakeTickClock(std::uint32_t start = 0);
    ~FakeTickClock();
    FakeTickClock(const FakeTickClock&) = delete;
    FakeTickClock& operator=(const FakeTickClock&) = delete;

    void Set(std::uint32_t now) { now_ = now; }
    void Advance(std::uint32_t ms) { now_ += ms; }  // wraps like the real count
    std::uint32_t Now() const { return now_; }

private:
    std::uint32_t now_;
    FakeTickClock* previous_;
};

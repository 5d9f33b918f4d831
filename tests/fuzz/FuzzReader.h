// The body of every reader's fuzz target: decode from memory with the limits
// the program itself uses, so that a small file claiming a large picture
// costs here what it would cost a user. A reader may refuse the input; it
// must not crash, nor take more than a few seconds of processor time (the
// largest legal picture takes about one). Processor time, not the time on
// the clock, so that a busy machine does not pass for a hang; the fuzzer's
// own time-out catches a reader that never returns.
#pragma once

#include "toolkit/imageio/Codecs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

constexpr double FuzzHangSeconds = 5;

inline int FuzzReader(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const std::clock_t start = std::clock();
    TBitmap bitmap;
    try {
        imageio::DecodePicture({data, size}, extension, bitmap, imageio::Limits{});
    } catch (const imageio::DecodeError&) {
    }
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    if (seconds > FuzzHangSeconds) {
        std::fprintf(stderr, "hang: %.1f s of processor time for one input\n", seconds);
        std::abort();
    }
    return 0;
}

// The body of every reader's fuzz target: decode from memory with the limits
// the program itself uses, so that a small file claiming a large picture
// costs here what it would cost a user. A reader may refuse the input; it
// must not crash, and the fuzzer's time-out is the check that it does not
// take long.
#pragma once

#include "toolkit/imageio/Codecs.h"

#include <cstddef>
#include <cstdint>

inline int FuzzReader(const std::uint8_t* data, std::size_t size, const char* extension)
{
    TBitmap bitmap;
    try {
        imageio::DecodePicture({data, size}, extension, bitmap, imageio::Limits{});
    } catch (const imageio::DecodeError&) {
    }
    return 0;
}

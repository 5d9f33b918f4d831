// The body of every reader's fuzz target: decode from memory with small
// limits, so that the time goes into parsing rather than into filling
// large pictures. A reader may refuse the input; it must not crash.
#pragma once

#include "toolkit/imageio/Codecs.h"

#include <cstddef>
#include <cstdint>

inline int FuzzReader(const std::uint8_t* data, std::size_t size, const char* extension)
{
    imageio::Limits limits;
    limits.MaxSide = 4096;
    limits.MaxPixels = 1 << 20;
    TBitmap bitmap;
    try {
        imageio::DecodePicture({data, size}, extension, bitmap, limits);
    } catch (const imageio::DecodeError&) {
    }
    return 0;
}

// All the pixel words of a bitmap, row after row, for comparing pictures.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstdint>
#include <vector>

inline std::vector<std::uint32_t> Pixels(const TBitmap& b)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < b.Height(); ++y)
        out.insert(out.end(), b.ScanLine(y), b.ScanLine(y) + b.Width());
    return out;
}

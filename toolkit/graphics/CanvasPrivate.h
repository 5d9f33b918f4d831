// What the canvas's source files share: the pixel word mask, coordinate
// clamping, row filling and the scope that marks what a drawing call
// touched.
#pragma once

#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/VectorState.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace canvas_detail {

using i64 = std::int64_t;
using i128 = __int128;

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

// Keeps a floating coordinate in a range where converting it is defined.
inline double ClampCoord(double v) { return std::clamp(v, -4.0e9, 4.0e9); }

// The pixels a pen `width` pixels wide covers along a line: those whose
// centre lies within half the width of the segment (round ends); even
// widths run along pixel edges.
class WideSegment {
public:
    WideSegment(i64 x0, i64 y0, i64 x1, i64 y1, int width);
    // No row outside Top()..Bottom() holds a pixel.
    i64 Top() const;
    i64 Bottom() const;
    // The pixels [xa, xb] of row y; false when there are none.
    bool Row(i64 y, i64& xa, i64& xb) const;

private:
    double R, o, ax, ay, bx, by, dx, dy, len2, len;
};

// Pixels [x1, x2) of row, x1 < x2, with one branch for most lengths:
// the short rows of small shapes end at random, which a loop pixel by
// pixel would mispredict row after row. Stores may overlap; each writes
// the same word.
inline void FillRow(std::uint32_t* row, i64 x1, i64 x2, std::uint32_t px)
{
    const i64 n = x2 - x1;
    std::uint32_t* p = row + x1;
#if defined(__SSE2__)
    if (n >= 4) {
        // The first four and the last four, and a loop only for what lies
        // between when there is more.
        const __m128i v = _mm_set1_epi32(int(px));
        std::uint32_t* const last = row + x2 - 4;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(last), v);
        for (p += 4; p < last; p += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
        return;
    }
#else
    if (n >= 4) {
        std::fill(p, p + n, px);
        return;
    }
#endif
    // One to three pixels: the first, the middle and the last.
    p[0] = px;
    p[n >> 1] = px;
    p[n - 1] = px;
}

// FillRow, with stores that go past the caches: for a fill much larger
// than the core's cache, whose rows would only push out what the drawing
// after it needs, and which would otherwise be read in before being
// overwritten. The same pixels as FillRow; StreamFence must follow the
// last row before the pixels are read.
inline void StreamRow(std::uint32_t* row, i64 x1, i64 x2, std::uint32_t px)
{
#if defined(__SSE2__)
    std::uint32_t* p = row + x1;
    std::uint32_t* const end = row + x2;
    while (p < end && (reinterpret_cast<std::uintptr_t>(p) & 15) != 0)
        *p++ = px;
    const __m128i v = _mm_set1_epi32(int(px));
    for (; end - p >= 4; p += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(p), v);
    while (p < end)
        *p++ = px;
#else
    FillRow(row, x1, x2, px);
#endif
}

inline void StreamFence()
{
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

// Fills larger than this many bytes are streamed.
constexpr i64 StreamFillBytes = i64(4) << 20;

}  // namespace canvas_detail

// Marks on the bitmap what one drawing call touched, once, however the call
// is made up of smaller ones.
class DirtyScope {
public:
    explicit DirtyScope(TCanvas& c) : c_(c)
    {
        if (c_.dirtyDepth_++ == 0) {
            // The outermost drawing call: what ran before may have left the
            // vector registers in a state that slows the rasterizer.
            VectorStateClean();
            c_.touchL_ = c_.touchT_ = INT64_MAX;
            c_.touchR_ = c_.touchB_ = INT64_MIN;
        }
    }
    ~DirtyScope()
    {
        if (--c_.dirtyDepth_ == 0 && c_.touchL_ < c_.touchR_)
            c_.bitmap_.MarkDirty({int(c_.touchL_), int(c_.touchT_), int(c_.touchR_), int(c_.touchB_)});
    }

private:
    TCanvas& c_;
};

// Turning a bitmap by whole degrees.

#include "toolkit/imageio/ImageIO.h"

#include "toolkit/system/Errors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// The picture changes; whether and how it is drawn transparent does not.
void Replace(TBitmap& bitmap, const TBitmap& turned)
{
    bool transparent = bitmap.Transparent;
    TColor transparentColor = bitmap.TransparentColor;
    bitmap = std::move(turned);
    bitmap.Transparent = transparent;
    bitmap.TransparentColor = transparentColor;
}

// Quarter turns counter-clockwise on the screen (y downward).
void RotateQuarter(TBitmap& bitmap, int quarters)
{
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (quarters == 2) {
        for (int y = 0; y < (h + 1) / 2; ++y) {
            std::uint32_t* top = bitmap.ScanLine(y);
            std::uint32_t* bottom = bitmap.ScanLine(h - 1 - y);
            if (top == bottom) {
                std::reverse(top, top + w);
            } else {
                for (int x = 0; x < w; ++x)
                    std::swap(top[x], bottom[w - 1 - x]);
            }
        }
        return;
    }
    TBitmap turned(h, w);
    turned.SetPixelFormat(bitmap.PixelFormat());
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            // A quarter turn to the left sends the right edge to the top.
            if (quarters == 1)
                turned.ScanLine(w - 1 - x)[y] = src[x];
            else
                turned.ScanLine(x)[h - 1 - y] = src[x];
        }
    }
    Replace(bitmap, turned);
}

}  // namespace

void RotateBitmap(TBitmap& bitmap, int angleDegrees, TColor background)
{
    const int angle = ((angleDegrees % 360) + 360) % 360;
    if (bitmap.Empty()) {
        bitmap.SetPixelFormat(pf24bit);
        return;
    }
    if (angle % 90 == 0) {
        bitmap.SetPixelFormat(pf24bit);
        if (angle != 0)
            RotateQuarter(bitmap, angle / 90);
        return;
    }

    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const double rad = angle * M_PI / 180;
    const double c = std::cos(rad), s = std::sin(rad);
    // The bounding box of the turned picture, less a hair of rounding error.
    const auto nw = static_cast<std::int64_t>(std::ceil(w * std::fabs(c) + h * std::fabs(s) - 1e-6));
    const auto nh = static_cast<std::int64_t>(std::ceil(w * std::fabs(s) + h * std::fabs(c) - 1e-6));
    if (nw > TBitmap::MaxSide || nh > TBitmap::MaxSide || nw * nh > TBitmap::MaxPixels)
        throw EOutOfResources("Cannot rotate the picture: the result (" + std::to_string(nw) + " x " +
                              std::to_string(nh) + ") would be too large");

    bitmap.SetPixelFormat(pf24bit);
    const std::uint32_t fill = ColorToPixel(ColorToRGB(background));
    TBitmap turned(static_cast<int>(nw), static_cast<int>(nh));
    const double cx = w / 2.0, cy = h / 2.0, ncx = nw / 2.0, ncy = nh / 2.0;
    for (int dy = 0; dy < nh; ++dy) {
        std::uint32_t* out = turned.ScanLine(dy);
        const double ry = dy + 0.5 - ncy;
        for (int dx = 0; dx < nw; ++dx) {
            const double rx = dx + 0.5 - ncx;
            // Where this pixel's centre was before the turn.
            const double sx = cx + rx * c - ry * s;
            const double sy = cy + rx * s + ry * c;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h) {
                out[dx] = fill;
                continue;
            }
            // Bilinear between the four nearest pixel centres, the edge
            // pixels standing in for those past the edge.
            const double fx = std::clamp(sx - 0.5, 0.0, w - 1.0);
            const double fy = std::clamp(sy - 0.5, 0.0, h - 1.0);
            const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
            const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
            const double ax = fx - x0, ay = fy - y0;
            const std::uint32_t* r0 = bitmap.ScanLine(y0);
            const std::uint32_t* r1 = bitmap.ScanLine(y1);
            std::uint32_t px = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const double top = ((r0[x0] >> shift) & 0xFF) * (1 - ax) + ((r0[x1] >> shift) & 0xFF) * ax;
                const double bottom = ((r1[x0] >> shift) & 0xFF) * (1 - ax) + ((r1[x1] >> shift) & 0xFF) * ax;
                px |= static_cast<std::uint32_t>(top * (1 - ay) + bottom * ay + 0.5) << shift;
            }
            out[dx] = px;
        }
    }
    Replace(bitmap, turned);
}

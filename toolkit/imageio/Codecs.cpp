// What the readers share: the size check and the bitmap they decode into.

#include "toolkit/imageio/Codecs.h"

#include <string>

namespace imageio {

void CheckSize(std::int64_t width, std::int64_t height, const Limits& limits)
{
    if (width <= 0 || height <= 0)
        throw DecodeError("invalid picture size (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    if (width > limits.MaxSide || height > limits.MaxSide || width * height > limits.MaxPixels)
        throw DecodeError("picture too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
}

void MakeBitmap(TBitmap& out, std::int64_t width, std::int64_t height, const Limits& limits)
{
    CheckSize(width, height, limits);
    if (limits.PixelBudget) {
        if (width * height > *limits.PixelBudget)
            throw DecodeError("picture too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
        *limits.PixelBudget -= width * height;
    }
    out.SetPixelFormat(pf24bit);
    out.SetSize(static_cast<int>(width), static_cast<int>(height));
}

}  // namespace imageio

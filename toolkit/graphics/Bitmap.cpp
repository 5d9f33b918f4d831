#include "toolkit/graphics/Graphics.h"
#include "toolkit/system/Errors.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <utility>

namespace {

// The classic desktop scheme, so system colours look the same everywhere.
constexpr std::array<TColor, 25> kSystemColors = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop background
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application work space
    0x800000,  // highlight
    0xFFFFFF,  // highlighted text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xC0C0C0,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

constexpr std::uint32_t kWhiteWord = 0x00FFFFFF;

}  // namespace

TColor SystemColorToRGB(TColor color)
{
    auto index = static_cast<std::size_t>(color & 0xFF);
    return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other)
    : Transparent(other.Transparent),
      TransparentColor(other.TransparentColor),
      width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      pixels_(other.pixels_)
{
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other) {
        width_ = other.width_;
        height_ = other.height_;
        format_ = other.format_;
        pixels_ = other.pixels_;
        Transparent = other.Transparent;
        TransparentColor = other.TransparentColor;
        ClearDirty();
        MarkAllDirty();
    }
    return *this;
}

TBitmap::TBitmap(TBitmap&& other) { *this = std::move(other); }

TBitmap& TBitmap::operator=(TBitmap&& other)
{
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        format_ = other.format_;
        pixels_ = std::move(other.pixels_);
        other.pixels_.clear();
        other.ClearDirty();
        Transparent = other.Transparent;
        TransparentColor = other.TransparentColor;
        ClearDirty();
        MarkAllDirty();
    }
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    if (width > MaxSide || height > MaxSide || std::int64_t(width) * height > MaxPixels)
        throw EOutOfResources("Not enough storage for a picture of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels");
    std::vector<std::uint32_t> fresh(std::size_t(width) * std::size_t(height), kWhiteWord);
    const int keepW = std::min(width, width_);
    const int keepH = std::min(height, height_);
    for (int y = 0; y < keepH; ++y)
        std::copy_n(pixels_.data() + std::size_t(y) * width_, keepW, fresh.data() + std::size_t(y) * width);
    pixels_ = std::move(fresh);
    width_ = width;
    height_ = height;
    ClearDirty();  // what was marked may lie outside the new size
    MarkAllDirty();
}

void TBitmap::MarkDirtyMerging(const TRect& in)
{
    TRect r = in.Intersected(BoundsRect());
    if (r.Empty())
        return;
    // Most drawing lands inside what is already marked.
    for (const TRect& d : dirty_)
        if (d.Contains(r)) {
            lastDirty_ = d;
            return;
        }
    const bool first = dirty_.empty();
    // Swallow every rectangle that overlaps or touches the new one.
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < dirty_.size(); ++i) {
            const TRect& d = dirty_[i];
            if (d.Inflated(1, 1).Intersects(r)) {
                r = r.United(d);
                dirty_.erase(dirty_.begin() + std::ptrdiff_t(i));
                merged = true;
                break;
            }
        }
    }
    dirty_.push_back(r);
    if (dirty_.size() > 16) {
        TRect all = dirty_[0];
        for (const TRect& d : dirty_)
            all = all.United(d);
        dirty_.assign(1, all);
    }
    lastDirty_ = dirty_.back();
    if (first && OnChange)
        OnChange();
}

std::vector<TRect> TBitmap::TakeDirty()
{
    std::vector<TRect> out;
    out.swap(dirty_);
    lastDirty_ = {};
    return out;
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == pf24bit && format_ != pf24bit)
        for (auto& px : pixels_)
            px &= 0x00FFFFFF;
    format_ = format;
}

std::uint32_t* TBitmap::ScanLine(int row)
{
    if (row < 0 || row >= height_)
        throw EInvalidGraphic("Scan line index out of range");
    return pixels_.data() + std::size_t(row) * std::size_t(width_);
}

const std::uint32_t* TBitmap::ScanLine(int row) const
{
    return const_cast<TBitmap*>(this)->ScanLine(row);
}

void TBitmap::CreateCanvas() { canvas_ = std::make_unique<TCanvas>(*this); }

TColor TBitmap::EffectiveTransparentColor() const
{
    if (TransparentColor != clDefault)
        return ColorToRGB(TransparentColor);
    if (Empty())
        return clWhite;
    return PixelToColor(ScanLine(height_ - 1)[0]);
}

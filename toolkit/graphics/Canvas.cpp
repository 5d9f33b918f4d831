#include "toolkit/graphics/CanvasPrivate.h"
#include "toolkit/graphics/FontEngine.h"
#include "toolkit/graphics/Graphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <numbers>

using namespace canvas_detail;

namespace {

// Calls f(x1, x2) for the visible parts of the pixels [x1, x2) of row y.
template <class F>
void ForVisible(const TBitmap& bmp, const std::vector<TRect>& clip, i64 y, i64 x1, i64 x2, F&& f)
{
    if (y < 0 || y >= bmp.Height())
        return;
    const i64 a = std::max<i64>(x1, 0);
    const i64 b = std::min<i64>(x2, bmp.Width());
    if (a >= b)
        return;
    if (clip.empty()) {
        f(int(a), int(b));
        return;
    }
    // One rectangle (a plot's interior, for example) needs no merging.
    if (clip.size() == 1) {
        const TRect& r = clip.front();
        const i64 l = std::max<i64>(a, r.Left), rr = std::min<i64>(b, r.Right);
        if (y >= r.Top && y < r.Bottom && l < rr)
            f(int(l), int(rr));
        return;
    }
    // The region may hold overlapping rectangles: merge so no pixel is
    // visited twice (that would undo an inversion).
    thread_local std::vector<std::pair<i64, i64>> parts;
    parts.clear();
    for (const TRect& r : clip)
        if (y >= r.Top && y < r.Bottom) {
            const i64 l = std::max<i64>(a, r.Left), rr = std::min<i64>(b, r.Right);
            if (l < rr)
                parts.emplace_back(l, rr);
        }
    std::sort(parts.begin(), parts.end());
    i64 curL = 0, curR = -1;
    for (auto [l, r] : parts) {
        if (curR >= curL && l <= curR) {
            curR = std::max(curR, r);
            continue;
        }
        if (curR > curL)
            f(int(curL), int(curR));
        curL = l;
        curR = r;
    }
    if (curR > curL)
        f(int(curL), int(curR));
}

// Source index for each destination pixel of a (possibly mirrored) stretch:
// destination pixel d covers [d, d+1) of [dFrom, dTo), sampled at its centre.
i64 StretchIndex(i64 d, i64 dFrom, i64 dLen, i64 sFrom, i64 sLen)
{
    const i128 num = i128(2 * (d - dFrom) + 1) * sLen;
    const i128 den = i128(2) * dLen;
    i128 q = num / den;
    if ((num % den != 0) && ((num < 0) != (den < 0)))
        --q;  // floor
    return sFrom + i64(q);
}

// f·c + d·(255 - c), divided by 255 and rounded, for the three channels of
// two 0x00RRGGBB words at once: red and blue share one word, each in a
// 16-bit lane that the products cannot overflow.
inline std::uint32_t Blend(std::uint32_t f, std::uint32_t d, std::uint32_t c)
{
    const std::uint32_t nc = 255 - c;
    std::uint32_t rb = (f & 0x00FF00FF) * c + (d & 0x00FF00FF) * nc + 0x00800080;
    rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    std::uint32_t g = ((f >> 8) & 0xFF) * c + ((d >> 8) & 0xFF) * nc + 0x80;
    g = (g + (g >> 8)) >> 8;
    return rb | (g << 8);
}

}  // namespace

template <class F>
void TCanvas::Visit(i64 y, i64 x1, i64 x2, F&& f)
{
    ForVisible(bitmap_, clip_, y, x1, x2, [&](int a, int b) {
        Touch(a, y, b, y + 1);
        f(a, b);
    });
}

std::uint32_t RasterOp(TCopyMode rop, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    const unsigned code = (rop >> 16) & 0xFF;
    std::uint32_t r;
    switch (code) {
    case 0xCC: r = s; break;
    case 0xEE: r = s | d; break;
    case 0x66: r = s ^ d; break;
    case 0x88: r = s & d; break;
    case 0x33: r = ~s; break;
    case 0x55: r = ~d; break;
    case 0xF0: r = p; break;
    case 0x5A: r = p ^ d; break;
    case 0x00: r = 0; break;
    case 0xFF: r = ~0u; break;
    default:
        r = 0;
        for (unsigned i = 0; i < 8; ++i)
            if (code & (1u << i))
                r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r & kRgbMask;
}

TCanvas::TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

void TCanvas::AssignState(const TCanvas& other)
{
    Pen = other.Pen;
    Brush = other.Brush;
    Font = other.Font;
    CopyMode = other.CopyMode;
    clip_ = other.clip_;
    textAlign_ = other.textAlign_;
    bkMode_ = other.bkMode_;
    bkModeBrush_ = other.bkModeBrush_;
}

// ------------------------------------------------------------------ spans

void TCanvas::PlotSpan(int y, i64 x1, i64 x2, std::uint32_t px, bool invert)
{
    Visit(y, x1, x2, [&](int a, int b) {
        std::uint32_t* row = bitmap_.Row(y);
        if (invert)
            for (int x = a; x < b; ++x)
                row[x] ^= kRgbMask;
        else
            FillRow(row, a, b, px);
    });
}

void TCanvas::PenSpan(int y, i64 x1, i64 x2)
{
    if (Pen.Style == psClear)
        return;
    PlotSpan(y, x1, x2, ColorToPixel(ColorToRGB(Pen.Color)), Pen.Mode == pmNot);
}

void TCanvas::BrushSpan(int y, i64 x1, i64 x2)
{
    if (Brush.Style == bsClear)
        return;
    PlotSpan(y, x1, x2, ColorToPixel(ColorToRGB(Brush.Color)), false);
}

// ----------------------------------------------------------------- pixels

bool TCanvas::PtVisible(int x, int y) const
{
    if (!bitmap_.BoundsRect().Contains(x, y))
        return false;
    if (clip_.empty())
        return true;
    return std::any_of(clip_.begin(), clip_.end(), [&](const TRect& r) { return r.Contains(x, y); });
}

TColor TCanvas::Pixels(int x, int y) const
{
    if (!PtVisible(x, y))
        return -1;
    return PixelToColor(bitmap_.ScanLine(y)[x]);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (Recorder) Recorder->Pixel(*this, x, y, color);
    if (PtVisible(x, y)) {
        bitmap_.ScanLine(y)[x] = ColorToPixel(ColorToRGB(color));
        bitmap_.MarkDirty({x, y, x + 1, y + 1});
    }
}

void TCanvas::SetClipRect(const TRect& r) { clip_.assign(1, r); }

void TCanvas::SetClipRegion(std::vector<TRect> rects)
{
    // An empty region clips everything away: keep one empty rectangle.
    if (rects.empty())
        rects.push_back({0, 0, 0, 0});
    clip_ = std::move(rects);
}

void TCanvas::ClearClipRegion() { clip_.clear(); }

// ----------------------------------------------------------------- copies

void TCanvas::Draw(int x, int y, const TBitmap& source)
{
    CopyPixels(::Bounds(x, y, source.Width(), source.Height()), source, {0, 0, source.Width(), source.Height()},
               source.Transparent);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& source)
{
    CopyPixels(dest, source, {0, 0, source.Width(), source.Height()}, source.Transparent);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect)
{
    CopyPixels(dest, source.Bitmap(), sourceRect, false);
}

void TCanvas::CopyPixels(const TRect& dest, const TBitmap& sourceIn, const TRect& src, bool transparent)
{
    DirtyScope dirty(*this);
    const i64 dw = i64(dest.Right) - dest.Left, dh = i64(dest.Bottom) - dest.Top;
    const i64 sw = i64(src.Right) - src.Left, sh = i64(src.Bottom) - src.Top;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || sourceIn.Empty() || bitmap_.Empty())
        return;
    // Copying a bitmap onto itself reads from a snapshot.
    TBitmap snapshot;
    const TBitmap* sp = &sourceIn;
    if (&sourceIn == &bitmap_) {
        snapshot = sourceIn;
        sp = &snapshot;
    }
    const TBitmap& source = *sp;

    auto plainCopyPossible = [&](i64 dw_, i64 dh_, i64 sw_, i64 sh_) {
        return CopyMode == cmSrcCopy && !transparent && dw_ == sw_ && dh_ == sh_ && dw_ > 0 && dh_ > 0;
    };
    const TRect visible = dest.Normalized().Intersected(bitmap_.BoundsRect());
    if (visible.Empty())
        return;
    const i64 x0 = visible.Left, x1 = visible.Right, y0 = visible.Top, y1 = visible.Bottom;

    // A plain copy at the same size is row after row of memory copies.
    if (plainCopyPossible(dw, dh, sw, sh)) {
        for (i64 y = y0; y < y1; ++y) {
            const i64 sy = src.Top + (y - dest.Top);
            if (sy < 0 || sy >= source.Height())
                continue;
            const std::uint32_t* srow = source.ScanLine(int(sy));
            std::uint32_t* drow = bitmap_.ScanLine(int(y));
            Visit(y, std::max<i64>(x0, dest.Left - src.Left), std::min<i64>(x1, dest.Left - src.Left + source.Width()),
                  [&](int a, int b) {
                      const std::uint32_t* from = srow + (a - dest.Left + src.Left);
                      if (source.PixelFormat() == pf24bit)  // the high byte is 0 already
                          std::memcpy(drow + a, from, std::size_t(b - a) * 4);
                      else
                          for (int i = 0; i < b - a; ++i)
                              drow[a + i] = from[i] & kRgbMask;
                  });
        }
        return;
    }

    // Source column of every visible destination column (-1: off the source).
    std::vector<int> cols(std::size_t(x1 - x0));
    for (i64 x = x0; x < x1; ++x) {
        const i64 sx = StretchIndex(x, dest.Left, dw, src.Left, sw);
        cols[std::size_t(x - x0)] = (sx >= 0 && sx < source.Width()) ? int(sx) : -1;
    }
    const std::uint32_t pattern = ColorToPixel(ColorToRGB(Brush.Color));
    const std::uint32_t key = ColorToPixel(source.EffectiveTransparentColor());
    const bool plainCopy = (CopyMode == cmSrcCopy) && !transparent;
    const TCopyMode rop = CopyMode;

    for (i64 y = y0; y < y1; ++y) {
        const i64 sy = StretchIndex(y, dest.Top, dh, src.Top, sh);
        if (sy < 0 || sy >= source.Height())
            continue;
        const std::uint32_t* srow = source.ScanLine(int(sy));
        std::uint32_t* drow = bitmap_.ScanLine(int(y));
        Visit(y, x0, x1, [&](int a, int b) {
            for (int x = a; x < b; ++x) {
                const int sx = cols[std::size_t(x - x0)];
                if (sx < 0)
                    continue;
                const std::uint32_t s = srow[sx] & kRgbMask;
                if (plainCopy) {
                    drow[x] = s;
                    continue;
                }
                if (transparent && s == key)
                    continue;
                drow[x] = RasterOp(rop, pattern, s, drow[x] & kRgbMask);
            }
        });
    }
}

// ------------------------------------------------------------------- text

int TCanvas::SetBkMode(int mode)
{
    const int old = BkMode();
    bkMode_ = mode;
    bkModeBrush_ = Brush;
    return old;
}

int TCanvas::BkMode() const
{
    if (bkMode_ != 0 && Brush == bkModeBrush_)
        return bkMode_;
    return Brush.Style == bsClear ? TRANSPARENT : OPAQUE;
}

unsigned TCanvas::SetTextAlign(unsigned flags)
{
    const unsigned old = textAlign_;
    textAlign_ = flags;
    return old;
}

int TCanvas::TextWidth(const std::string& text) { return FontEngine::Instance().TextWidth(Font, text); }

int TCanvas::TextHeight(const std::string& /*text*/) { return FontEngine::Instance().Metrics(Font).Height; }

TPoint TCanvas::TextExtent(const std::string& text) { return {TextWidth(text), TextHeight(text)}; }

TCanvas::TTextPlace TCanvas::TextPlace(const std::string& text) const
{
    FontEngine& engine = FontEngine::Instance();
    const TTextMetrics m = engine.Metrics(Font);
    TTextPlace place{engine.TextWidth(Font, text), 0, double(m.Ascent)};
    if ((textAlign_ & TA_CENTER) == TA_CENTER)
        place.U = -(place.Width / 2);
    else if (textAlign_ & TA_RIGHT)
        place.U = -place.Width;
    if ((textAlign_ & TA_BASELINE) == TA_BASELINE)
        place.V = 0;
    else if (textAlign_ & TA_BOTTOM)
        place.V = -m.Descent;
    return place;
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    DirtyScope dirty(*this);
    FontEngine& engine = FontEngine::Instance();
    const TTextMetrics m = engine.Metrics(Font);
    const TTextPlace place = TextPlace(text);
    const int width = place.Width;
    const double u = place.U, v = place.V;

    const double angle = Font.Escapement / 10.0 * std::numbers::pi / 180.0;
    const double ux = std::cos(angle), uy = -std::sin(angle);  // along the baseline
    const double vx = std::sin(angle), vy = std::cos(angle);   // down across it
    auto at = [&](double uu, double vv) {
        return std::pair{double(x) + uu * ux + vv * vx, double(y) + uu * uy + vv * vy};
    };

    if (BkMode() == OPAQUE && width > 0) {
        const TBrush savedBrush = Brush;
        const TPen savedPen = Pen;
        Brush.Style = bsSolid;
        Pen.Style = psClear;
        if (Font.Escapement % 3600 == 0) {
            const int left = int(std::lround(u)), top = int(std::lround(v - m.Ascent));
            FillRect(::Bounds(x + left, y + top, width, m.Height));
        } else {
            TPoint cell[4];
            const double us[4] = {u, u + width, u + width, u};
            const double vs[4] = {v - m.Ascent, v - m.Ascent, v + m.Descent, v + m.Descent};
            for (int i = 0; i < 4; ++i) {
                auto [px, py] = at(us[i], vs[i]);
                cell[i] = {int(std::lround(ClampCoord(px))), int(std::lround(ClampCoord(py)))};
            }
            Polygon(cell);
        }
        Brush = savedBrush;
        Pen = savedPen;
    }

    if (Recorder) Recorder->Text(*this, x, y, text);
    thread_local std::vector<TPlacedGlyph> glyphs;
    engine.Layout(Font, text, glyphs);
    auto [ox, oy] = at(u, v);
    const i64 originX = std::llround(ClampCoord(ox)), originY = std::llround(ClampCoord(oy));
    const std::uint32_t fc = ColorToPixel(ColorToRGB(Font.Color));

    // Coverage whose top-left pixel lands at (gx, gy), in the font colour.
    auto blend = [&](const TGlyphImage& img, i64 gx, i64 gy) {
        for (int row = 0; row < img.Height; ++row) {
            const int cb = img.RowBegin[std::size_t(row)], ce = img.RowEnd[std::size_t(row)];
            if (cb >= ce)
                continue;
            const i64 dy = gy + row;
            const std::uint8_t* cov = img.Coverage.data() + std::size_t(row) * std::size_t(img.Width);
            Visit(dy, gx + cb, gx + ce, [&](int a, int b) {
                std::uint32_t* drow = bitmap_.ScanLine(int(dy));
                for (std::uint32_t k = img.RowRuns[std::size_t(row)]; k < img.RowRuns[std::size_t(row) + 1]; ++k) {
                    const TCoverageRun& run = img.Runs[k];
                    const i64 from = std::max<i64>(gx + run.Begin, a), to = std::min<i64>(gx + run.End, b);
                    if (from >= to)
                        continue;
                    if (run.Solid) {
                        std::fill(drow + from, drow + to, fc);
                        continue;
                    }
                    for (i64 dx = from; dx < to; ++dx)
                        drow[dx] = Blend(fc, drow[dx], cov[dx - gx]);
                }
            });
        }
    };
    // What a large glyph may show: its part on the bitmap. The clip region
    // is left to the blending, so that the same part serves every call
    // that writes the glyph at the same place (it is kept once rendered).
    const TRect shown = bitmap_.BoundsRect();

    for (const TPlacedGlyph& g : glyphs) {
        const TGlyphImage& img = *g.Image;
        const i64 gx = originX + g.X + img.Left, gy = originY + g.Y + img.Top;
        if (!img.Outline) {
            blend(img, gx, gy);
            continue;
        }
        // A glyph kept as an outline is rendered only where it lands on the
        // bitmap, in tiles that keep a part's rows within their 16-bit
        // extents.
        const i64 l = std::max<i64>(gx, shown.Left), r = std::min<i64>(gx + img.Width, shown.Right);
        const i64 t = std::max<i64>(gy, shown.Top), b = std::min<i64>(gy + img.Height, shown.Bottom);
        constexpr i64 kTile = 4096;
        for (i64 ty = t; ty < b; ty += kTile)
            for (i64 tx = l; tx < r; tx += kTile) {
                const TRect part{int(tx - gx), int(ty - gy), int(std::min(r, tx + kTile) - gx),
                                 int(std::min(b, ty + kTile) - gy)};
                const TGlyphImage& piece = engine.RenderPart(img, part);
                blend(piece, originX + g.X + piece.Left, originY + g.Y + piece.Top);
            }
    }
}

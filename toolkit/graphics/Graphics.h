// Colours, points, rectangles, bitmaps and the canvas that draws on them.
//
// The canvas follows the classic desktop drawing rules: rectangles are
// half-open, a line leaves out its end pixel, pens have a mode, copies are
// ternary raster operations, text has an alignment and a background mode.
// Nothing here depends on a window system, so drawing can be tested and
// measured without a display.
#pragma once

#include "toolkit/graphics/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

// ---------------------------------------------------------------- colours

// 0x00BBGGRR: red in the low byte. Negative values are system colours.
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

// The RGB value (0x00BBGGRR) of a colour; system colours come from the
// classic fixed table, so drawings do not depend on the desktop's theme.
TColor SystemColorToRGB(TColor color);
inline TColor ColorToRGB(TColor color) { return color < 0 ? SystemColorToRGB(color) : color & 0x00FFFFFF; }

constexpr TColor RGB(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// Bitmap words are 0x00RRGGBB (bytes B, G, R, 0 in memory).
constexpr std::uint32_t ColorToPixel(TColor rgb)
{
    auto c = static_cast<std::uint32_t>(rgb);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor PixelToColor(std::uint32_t px)
{
    return static_cast<TColor>(((px & 0xFF) << 16) | (px & 0xFF00) | ((px >> 16) & 0xFF));
}

// ------------------------------------------------------ pens, brushes, fonts

enum TPenMode { pmCopy, pmNot };
enum TPenStyle { psSolid, psClear };
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenMode Mode = pmCopy;
    TPenStyle Style = psSolid;
};

enum TBrushStyle { bsSolid, bsClear };
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// Character set numbers as fonts carry them; only kept, never interpreted.
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;

// A font description. Height < 0 is the character height (the em) in pixels,
// Height > 0 the cell height (ascent + descent); Size is in points at
// PixelsPerInch. Escapement turns the text counter-clockwise, in tenths of a
// degree.
class TFont {
public:
    std::string Name = "MS Sans Serif";
    TColor Color = clWindowText;
    int Height = -11;
    TFontStyles Style = 0;
    int Charset = DEFAULT_CHARSET;
    int Escapement = 0;
    int PixelsPerInch = DefaultPixelsPerInch();

    // Points: the number last given to SetSize as long as Height and
    // PixelsPerInch are still what it made of them (so a size that maps to
    // no em, such as 0 or a negative one, reads back as given); otherwise
    // what Height comes to.
    int Size() const;
    void SetSize(int points);

    // The logical resolution new fonts take (96 unless the screen says more).
    static int DefaultPixelsPerInch();
    static void SetDefaultPixelsPerInch(int ppi);

    friend bool operator==(const TFont&, const TFont&) = default;

private:
    bool pointsGiven_ = false;
    int points_ = 0;
    int pointsHeight_ = 0;
    int pointsPpi_ = 0;
};

// ------------------------------------------------------------------ bitmap

enum TPixelFormat { pf24bit, pf32bit };

class TCanvas;

// A device-independent bitmap. Rows are stored top-down as 32-bit words
// 0x00RRGGBB whatever the pixel format; the format says how the picture is
// meant (and written to files), and a 24-bit picture keeps the high byte 0.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    // Takes other's pixels without copying them; other is left empty. The
    // canvas and OnChange stay with the bitmap they belong to.
    TBitmap(TBitmap&& other);
    TBitmap& operator=(TBitmap&& other);
    ~TBitmap();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    TRect BoundsRect() const { return {0, 0, width_, height_}; }
    // Keeps the top-left part of the picture; new pixels are white.
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Going to 24 bits clears the high byte of every word.
    void SetPixelFormat(TPixelFormat format);

    std::uint32_t* ScanLine(int row);
    const std::uint32_t* ScanLine(int row) const;

    TCanvas& Canvas()
    {
        if (!canvas_)
            CreateCanvas();
        return *canvas_;
    }

    // A transparent bitmap is drawn without its pixels of TransparentColor
    // (clDefault: the colour of its bottom-left pixel).
    bool Transparent = false;
    TColor TransparentColor = clDefault;
    TColor EffectiveTransparentColor() const;

    // What has changed since the last TakeDirty, as a few rectangles. The
    // canvas marks what each drawing touches; code that writes through
    // ScanLine marks it itself. OnChange is called when the first change
    // after a TakeDirty is marked, so a view can schedule one update.
    void MarkDirty(const TRect& r)
    {
        // Most drawing lands inside the rectangle marked last.
        if (!lastDirty_.Contains(r))
            MarkDirtyMerging(r);
    }
    void MarkAllDirty() { MarkDirty(BoundsRect()); }
    std::vector<TRect> TakeDirty();
    bool IsDirty() const { return !dirty_.empty(); }
    std::function<void()> OnChange;

    // Largest side and area a bitmap may have.
    static constexpr int MaxSide = 32768;
    static constexpr std::int64_t MaxPixels = std::int64_t(1) << 27;

private:
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::vector<std::uint32_t> pixels_;
    std::unique_ptr<TCanvas> canvas_;
    std::vector<TRect> dirty_;
    // One of dirty_, or empty: whatever it holds is marked already.
    TRect lastDirty_;
    void MarkDirtyMerging(const TRect& r);
    void CreateCanvas();
    void ClearDirty()
    {
        dirty_.clear();
        lastDirty_ = {};
    }
    // Row y without the range check, for the canvas's inner loops.
    std::uint32_t* Row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    friend class TCanvas;
};

// ------------------------------------------------------------------ canvas

// Raster operations (ternary codes: pattern = brush, source, destination).
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Background modes and text alignment flags.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// Combines one 24-bit source and destination word with a pattern word by a
// ternary raster-operation code.
std::uint32_t RasterOp(TCopyMode rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);

class TCanvas {
public:
    explicit TCanvas(TBitmap& bitmap);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TCopyMode CopyMode = cmSrcCopy;
    TPoint PenPos;

    TBitmap& Bitmap() { return bitmap_; }
    const TBitmap& Bitmap() const { return bitmap_; }

    // Takes another canvas's pen, brush, font, modes and clip region.
    void AssignState(const TCanvas& other);

    void MoveTo(int x, int y) { PenPos = {x, y}; }
    // From the pen position to (x, y), leaving out (x, y); wider pens are
    // round-ended and include both ends.
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    // Outline with the pen, inside with the brush.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // The brush only.
    void FillRect(const TRect& r);
    // The ellipse that fits the half-open box.
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Closed polygon, alternate (even-odd) fill.
    void Polygon(std::span<const TPoint> points);

    // -1 for a point off the bitmap or out of the clip region.
    TColor Pixels(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Copies with CopyMode; a transparent source leaves out its transparent
    // pixels. StretchDraw mirrors when the target's left is right of its
    // right (or its top below its bottom).
    void Draw(int x, int y, const TBitmap& source);
    void StretchDraw(const TRect& dest, const TBitmap& source);
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

    int SetBkMode(int mode);
    int BkMode() const;
    unsigned SetTextAlign(unsigned flags);
    unsigned TextAlign() const { return textAlign_; }

    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TPoint TextExtent(const std::string& text);

    // The clip region is a list of rectangles; an empty list means no clip
    // beyond the bitmap itself.
    void SetClipRect(const TRect& r);
    void SetClipRegion(std::vector<TRect> rects);
    void ClearClipRegion();
    bool HasClipRegion() const { return !clip_.empty(); }
    const std::vector<TRect>& ClipRegion() const { return clip_; }
    bool PtVisible(int x, int y) const;

private:
    void PlotSpan(int y, std::int64_t x1, std::int64_t x2, std::uint32_t px, bool invert);
    void PenSpan(int y, std::int64_t x1, std::int64_t x2);
    void BrushSpan(int y, std::int64_t x1, std::int64_t x2);
    void ThinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, bool includeEnd);
    // The one-pixel lines between consecutive points, as ThinLine draws them.
    void ThinLines(std::span<const TPoint> points);
    void WideLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1);
    // A wide line of up to WideShape::Reach pixels each way from a start
    // near the origin, from the rows of its shape.
    void WideShapeLine(std::int64_t x0, std::int64_t y0, int dx, int dy);
    // The brush of a triangle, as Polygon fills it; false (nothing done)
    // for corners too far out for its arithmetic.
    bool FillTriangle(std::span<const TPoint> points);
    void CopyPixels(const TRect& dest, const TBitmap& source, const TRect& sourceRect, bool transparent);
    template <class F>
    void Visit(std::int64_t y, std::int64_t x1, std::int64_t x2, F&& f);
    friend class DirtyScope;
    // The bitmap's bounds narrowed by the clip region, when that is at most
    // one rectangle (false, and the bitmap's bounds, for more).
    bool FastClipBounds(std::int64_t& l, std::int64_t& t, std::int64_t& r, std::int64_t& b) const
    {
        l = 0;
        t = 0;
        r = bitmap_.Width();
        b = bitmap_.Height();
        if (clip_.size() > 1)
            return false;
        if (!clip_.empty()) {
            const TRect& c = clip_.front();
            l = std::max<std::int64_t>(l, c.Left);
            t = std::max<std::int64_t>(t, c.Top);
            r = std::min<std::int64_t>(r, c.Right);
            b = std::min<std::int64_t>(b, c.Bottom);
        }
        return true;
    }

    // One row of an ellipse relative to its box: [a, c] drawn, [ia, ic]
    // the inside for the brush (none when ia > ic).
    struct EllipseSpans {
        std::int64_t a = 0, c = -1, ia = 0, ic = -1;
        bool any = false;
    };
    static EllipseSpans EllipseRowSpans(std::int64_t w, std::int64_t h, std::int64_t shrink, std::int64_t y);
    // The rows of the last small ellipse drawn, and the part they cover.
    std::vector<EllipseSpans> ellipseRows_;
    std::int64_t ellipseW_ = -1, ellipseH_ = -1, ellipseShrink_ = -1;
    TRect ellipseInk_;

    // The rows of the short wide lines drawn with the current pen width,
    // relative to their start, by their extent.
    struct WideShape {
        static constexpr int Reach = 8, Side = 2 * Reach + 1, MaxWidth = 16;
        static constexpr std::int64_t Near = std::int64_t(1) << 20;
        bool made = false;
        std::int64_t top = 0;
        std::vector<std::pair<int, int>> rows;
        TRect ink;
    };
    std::vector<WideShape> wideShapes_;
    int wideShapesWidth_ = 0;

    TBitmap& bitmap_;
    std::vector<TRect> clip_;
    unsigned textAlign_ = TA_LEFT | TA_TOP;
    // A background mode set explicitly holds until the brush changes, as a
    // newly realised brush sets the mode from its style.
    int bkMode_ = 0;
    TBrush bkModeBrush_;
    // Bounds of what the current drawing call touched.
    std::int64_t touchL_ = 0, touchT_ = 0, touchR_ = 0, touchB_ = 0;
    int dirtyDepth_ = 0;
    void Touch(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2)
    {
        touchL_ = std::min(touchL_, x1);
        touchT_ = std::min(touchT_, y1);
        touchR_ = std::max(touchR_, x2);
        touchB_ = std::max(touchB_, y2);
    }
};

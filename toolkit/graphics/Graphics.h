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

constexpr TColor clBlack = 0x000000;  // Black.
constexpr TColor clMaroon = 0x000080;  // Dark red.
constexpr TColor clGreen = 0x008000;  // Dark green.
constexpr TColor clOlive = 0x008080;  // Dark yellow.
constexpr TColor clNavy = 0x800000;  // Dark blue.
constexpr TColor clPurple = 0x800080;  // Dark magenta.
constexpr TColor clTeal = 0x808000;  // Dark cyan.
constexpr TColor clGray = 0x808080;  // Middle grey.
constexpr TColor clSilver = 0xC0C0C0;  // Light grey.
constexpr TColor clRed = 0x0000FF;  // Red.
constexpr TColor clLime = 0x00FF00;  // Green.
constexpr TColor clYellow = 0x00FFFF;  // Yellow.
constexpr TColor clBlue = 0xFF0000;  // Blue.
constexpr TColor clFuchsia = 0xFF00FF;  // Magenta.
constexpr TColor clAqua = 0xFFFF00;  // Cyan.
constexpr TColor clWhite = 0xFFFFFF;  // White.
constexpr TColor clNone = 0x1FFFFFFF;  // No colour at all.
constexpr TColor clDefault = 0x20000000;  // The default the property that holds it defines.

// The system colour of entry index (0..24) of the classic table.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0);  // Scroll bar track.
constexpr TColor clBackground = SystemColor(1);  // Desktop.
constexpr TColor clActiveCaption = SystemColor(2);  // Active window's title bar.
constexpr TColor clInactiveCaption = SystemColor(3);  // Inactive window's title bar.
constexpr TColor clMenu = SystemColor(4);  // Menu background.
constexpr TColor clWindow = SystemColor(5);  // Window background.
constexpr TColor clWindowFrame = SystemColor(6);  // Window frame.
constexpr TColor clMenuText = SystemColor(7);  // Menu text.
constexpr TColor clWindowText = SystemColor(8);  // Window text.
constexpr TColor clCaptionText = SystemColor(9);  // Active title text.
constexpr TColor clActiveBorder = SystemColor(10);  // Active window's border.
constexpr TColor clInactiveBorder = SystemColor(11);  // Inactive window's border.
constexpr TColor clAppWorkSpace = SystemColor(12);  // Workspace behind documents.
constexpr TColor clHighlight = SystemColor(13);  // Selection background.
constexpr TColor clHighlightText = SystemColor(14);  // Selected text.
constexpr TColor clBtnFace = SystemColor(15);  // Face of buttons and panels.
constexpr TColor clBtnShadow = SystemColor(16);  // Shadow edge of 3D elements.
constexpr TColor clGrayText = SystemColor(17);  // Disabled text.
constexpr TColor clBtnText = SystemColor(18);  // Button text.
constexpr TColor clInactiveCaptionText = SystemColor(19);  // Inactive title text.
constexpr TColor clBtnHighlight = SystemColor(20);  // Lit edge of 3D elements.
constexpr TColor cl3DDkShadow = SystemColor(21);  // Dark shadow of 3D elements.
constexpr TColor cl3DLight = SystemColor(22);  // Light edge of 3D elements.
constexpr TColor clInfoText = SystemColor(23);  // Tooltip text.
constexpr TColor clInfoBk = SystemColor(24);  // Tooltip background.

// The RGB value (0x00BBGGRR) of a colour; system colours come from the
// classic fixed table, so drawings do not depend on the desktop's theme.
TColor SystemColorToRGB(TColor color);
// Any colour as RGB: system colours resolved, the high byte cleared.
inline TColor ColorToRGB(TColor color) { return color < 0 ? SystemColorToRGB(color) : color & 0x00FFFFFF; }

// The colour of red, green and blue; each is cut to its low 8 bits.
constexpr TColor RGB(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }         // Red, 0..255.
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }  // Green, 0..255.
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; } // Blue, 0..255.

// The bitmap word of an RGB colour. Bitmap words are 0x00RRGGBB (bytes B,
// G, R, 0 in memory).
constexpr std::uint32_t ColorToPixel(TColor rgb)
{
    auto c = static_cast<std::uint32_t>(rgb);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
// The RGB colour of a bitmap word; its high byte is dropped.
constexpr TColor PixelToColor(std::uint32_t px)
{
    return static_cast<TColor>(((px & 0xFF) << 16) | (px & 0xFF00) | ((px >> 16) & 0xFF));
}

// ------------------------------------------------------ pens, brushes, fonts

// How a pen's line meets the bitmap: in its colour, or inverting what is there.
enum TPenMode { pmCopy, pmNot };
// A drawn line, or none.
enum TPenStyle { psSolid, psClear };
// What lines and outlines are drawn with.
struct TPen {
    TColor Color = clBlack;   // The line's colour.
    int Width = 1;            // In pixels; below 1 counts as 1.
    TPenMode Mode = pmCopy;   // Colour or invert.
    TPenStyle Style = psSolid; // psClear draws no line.
};

// A filled inside, or none.
enum TBrushStyle { bsSolid, bsClear };
// What the insides of shapes, and opaque text cells, are filled with.
struct TBrush {
    TColor Color = clWhite;       // The fill colour.
    TBrushStyle Style = bsSolid;  // bsClear fills nothing.
    // Equal in colour and style.
    friend bool operator==(const TBrush&, const TBrush&) = default;
};

// The bits of TFontStyles.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // TFontStyle bits, or-ed together.

// Character set numbers as fonts carry them; only kept, never interpreted.
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;  // The charset new fonts carry.

// A font description. Height < 0 is the character height (the em) in pixels,
// Height > 0 the cell height (ascent + descent); Size is in points at
// PixelsPerInch. Escapement turns the text counter-clockwise, in tenths of a
// degree.
class TFont {
public:
    std::string Name = "MS Sans Serif";  // The face's family name, in UTF-8.
    TColor Color = clWindowText;         // The colour of the glyphs.
    int Height = -11;                    // In pixels; see above for the sign.
    TFontStyles Style = 0;               // Bold, italic, underline, strike-out.
    int Charset = DEFAULT_CHARSET;       // Kept, not interpreted.
    int Escapement = 0;                  // In tenths of a degree, counter-clockwise.
    int PixelsPerInch = DefaultPixelsPerInch();  // The resolution Size is reckoned at.

    // Points: the number last given to SetSize as long as Height and
    // PixelsPerInch are still what it made of them (so a size that maps to
    // no em, such as 0 or a negative one, reads back as given); otherwise
    // what Height comes to.
    int Size() const;
    void SetSize(int points);  // Sets Height to the em of points at PixelsPerInch.

    // The logical resolution new fonts take (96 unless the screen says more).
    static int DefaultPixelsPerInch();
    static void SetDefaultPixelsPerInch(int ppi);  // Ignored unless ppi > 0.

    // Equal in every field, the remembered point size included.
    friend bool operator==(const TFont&, const TFont&) = default;

private:
    bool pointsGiven_ = false;
    int points_ = 0;
    int pointsHeight_ = 0;
    int pointsPpi_ = 0;
};

// ------------------------------------------------------------------ bitmap

// How a bitmap's words are meant: RGB only, or with a fourth byte kept.
enum TPixelFormat { pf24bit, pf32bit };

class TCanvas;

// A device-independent bitmap. Rows are stored top-down as 32-bit words
// 0x00RRGGBB whatever the pixel format; the format says how the picture is
// meant (and written to files), and a 24-bit picture keeps the high byte 0.
class TBitmap {
public:
    TBitmap();                          // An empty 24-bit bitmap.
    TBitmap(int width, int height);     // A white one of that size; see SetSize.
    TBitmap(const TBitmap& other);      // A copy of the pixels, format and transparency.
    TBitmap& operator=(const TBitmap& other);  // Copies as the copy constructor does.
    // Takes other's pixels without copying them; other is left empty. The
    // canvas and OnChange stay with the bitmap they belong to.
    TBitmap(TBitmap&& other);
    TBitmap& operator=(TBitmap&& other);  // Takes other's pixels as above.
    ~TBitmap();

    int Width() const { return width_; }    // In pixels.
    int Height() const { return height_; }  // In pixels.
    bool Empty() const { return width_ == 0 || height_ == 0; }  // No pixels at all.
    TRect BoundsRect() const { return {0, 0, width_, height_}; } // (0, 0)-(Width, Height).
    // Keeps the top-left part of the picture; new pixels are white.
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }  // See SetWidth.
    // Both at once; negative sizes count as 0. Throws EOutOfResources beyond
    // MaxSide or MaxPixels, the bitmap unchanged.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }  // pf24bit unless set.
    // Going to 24 bits clears the high byte of every word.
    void SetPixelFormat(TPixelFormat format);

    // The Width words of row row (0 at the top); throws EInvalidGraphic for
    // a row outside 0..Height-1. Valid until the size changes.
    std::uint32_t* ScanLine(int row);
    const std::uint32_t* ScanLine(int row) const;  // See ScanLine.

    // The canvas that draws on this bitmap, made on first use and owned by it.
    TCanvas& Canvas()
    {
        if (!canvas_)
            CreateCanvas();
        return *canvas_;
    }

    // A transparent bitmap is drawn without its pixels of TransparentColor
    // (clDefault: the colour of its bottom-left pixel).
    bool Transparent = false;
    TColor TransparentColor = clDefault;  // See Transparent.
    // The RGB colour left out: TransparentColor resolved, or the
    // bottom-left pixel's (white for an empty bitmap).
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
    void MarkAllDirty() { MarkDirty(BoundsRect()); }  // Marks the whole bitmap.
    std::vector<TRect> TakeDirty();                   // Hands over the changes and forgets them.
    bool IsDirty() const { return !dirty_.empty(); }  // Whether anything is marked.
    std::function<void()> OnChange;                   // See MarkDirty; empty: none.

    // Largest side and area a bitmap may have.
    static constexpr int MaxSide = 32768;
    static constexpr std::int64_t MaxPixels = std::int64_t(1) << 27;  // See MaxSide.

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
constexpr TCopyMode cmBlackness = 0x00000042;  // Black.
constexpr TCopyMode cmDstInvert = 0x00550009;  // Destination inverted.
constexpr TCopyMode cmMergeCopy = 0x00C000CA;  // Source AND brush.
constexpr TCopyMode cmMergePaint = 0x00BB0226;  // Inverted source OR destination.
constexpr TCopyMode cmNotSrcCopy = 0x00330008;  // Source inverted.
constexpr TCopyMode cmNotSrcErase = 0x001100A6;  // NOT (source OR destination).
constexpr TCopyMode cmPatCopy = 0x00F00021;  // The brush.
constexpr TCopyMode cmPatInvert = 0x005A0049;  // Brush XOR destination.
constexpr TCopyMode cmPatPaint = 0x00FB0A09;  // Brush OR inverted source OR destination.
constexpr TCopyMode cmSrcAnd = 0x008800C6;  // Source AND destination.
constexpr TCopyMode cmSrcCopy = 0x00CC0020;  // The source as it is.
constexpr TCopyMode cmSrcErase = 0x00440328;  // Source AND inverted destination.
constexpr TCopyMode cmSrcInvert = 0x00660046;  // Source XOR destination.
constexpr TCopyMode cmSrcPaint = 0x00EE0086;  // Source OR destination.
constexpr TCopyMode cmWhiteness = 0x00FF0062;  // White.

// Background modes and text alignment flags.
constexpr int TRANSPARENT = 1;  // Text leaves the background as it is.
constexpr int OPAQUE = 2;  // Text fills its cell with the brush colour first.
constexpr unsigned TA_LEFT = 0;  // x is the left of the text.
constexpr unsigned TA_RIGHT = 2;  // x is the right of the text.
constexpr unsigned TA_CENTER = 6;  // x is the middle of the text.
constexpr unsigned TA_TOP = 0;  // y is the top of the cell.
constexpr unsigned TA_BOTTOM = 8;  // y is the bottom of the cell.
constexpr unsigned TA_BASELINE = 24;  // y is the baseline.

// Combines one 24-bit source and destination word with a pattern word by a
// ternary raster-operation code.
std::uint32_t RasterOp(TCopyMode rop, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest);

// Hears of the drawing calls of a canvas that has it as its Recorder,
// before they draw, with the canvas's pen, brush, font, alignment and clip
// region as they stand: a picture that is not made of pixels (a vector
// drawing) is made of what it heard. Coordinates are the canvas's pixels.
class TCanvasRecorder {
public:
    virtual ~TCanvasRecorder() = default;
    // Lines between consecutive points as LineTo draws them.
    virtual void Lines(const TCanvas& Canvas, std::span<const TPoint> Points) = 0;
    // Rectangle (Outline set) or FillRect.
    virtual void Rectangle(const TCanvas& Canvas, const TRect& Box, bool Outline) = 0;
    virtual void Ellipse(const TCanvas& Canvas, const TRect& Box) = 0;  // The ellipse that fits Box.
    virtual void Polygon(const TCanvas& Canvas, std::span<const TPoint> Points) = 0;  // A closed polygon.
    virtual void Pixel(const TCanvas& Canvas, int X, int Y, TColor Color) = 0;  // SetPixel.
    // The glyphs of TextOut; an opaque background comes before as a
    // rectangle or polygon of its own.
    virtual void Text(const TCanvas& Canvas, int X, int Y, const std::string& Text) = 0;
};

// Draws on one bitmap with a pen, a brush and a font, clipped to the bitmap
// and to an optional clip region. Each drawing call marks what it touched
// as dirty on the bitmap.
class TCanvas {
public:
    // A canvas on bitmap, which must outlive it.
    explicit TCanvas(TBitmap& bitmap);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen Pen;                        // Lines and outlines.
    TBrush Brush;                    // Insides and text backgrounds.
    TFont Font;                      // Text.
    TCopyMode CopyMode = cmSrcCopy;  // The raster operation of Draw, StretchDraw and CopyRect.
    TPoint PenPos;                   // Where LineTo starts, in pixels.
    // Hears of every drawing call while set; not owned, and not part of
    // the state AssignState copies.
    TCanvasRecorder* Recorder = nullptr;

    TBitmap& Bitmap() { return bitmap_; }              // The bitmap drawn on.
    const TBitmap& Bitmap() const { return bitmap_; }  // The bitmap drawn on.

    // Takes another canvas's pen, brush, font, modes and clip region.
    void AssignState(const TCanvas& other);

    void MoveTo(int x, int y) { PenPos = {x, y}; }  // Sets PenPos; draws nothing.
    // From the pen position to (x, y), leaving out (x, y); wider pens are
    // round-ended and include both ends.
    void LineTo(int x, int y);
    // Lines between consecutive points as LineTo draws them; PenPos stays.
    void Polyline(std::span<const TPoint> points);
    // Outline with the pen, inside with the brush.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }  // See above.
    // The brush only.
    void FillRect(const TRect& r);
    // The ellipse that fits the half-open box.
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }  // See above.
    // Closed polygon, alternate (even-odd) fill.
    void Polygon(std::span<const TPoint> points);

    // -1 for a point off the bitmap or out of the clip region.
    TColor Pixels(int x, int y) const;
    void SetPixel(int x, int y, TColor color);  // Nothing for a point Pixels gives -1 for.

    // Copies with CopyMode; a transparent source leaves out its transparent
    // pixels. StretchDraw mirrors when the target's left is right of its
    // right (or its top below its bottom).
    void Draw(int x, int y, const TBitmap& source);
    void StretchDraw(const TRect& dest, const TBitmap& source);  // The whole source scaled to dest.
    // sourceRect of source's bitmap scaled to dest; transparency is ignored.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

    // Sets TRANSPARENT or OPAQUE for text, until the brush changes; gives
    // the mode before.
    int SetBkMode(int mode);
    // The mode set, or, once the brush has changed since, the brush's own
    // (TRANSPARENT for a clear brush, else OPAQUE).
    int BkMode() const;
    unsigned SetTextAlign(unsigned flags);             // Sets the TA_ flags; gives the flags before.
    unsigned TextAlign() const { return textAlign_; }  // TA_LEFT | TA_TOP unless set.

    // Draws UTF-8 text with Font, its reference point at (x, y) as
    // TextAlign places it, turned by the font's escapement.
    void TextOut(int x, int y, const std::string& text);
    // Where TextOut places text: its advance in pixels, and the start of
    // its baseline from the reference point in the text's own frame (U
    // along the baseline, V down across it), as TextAlign says.
    struct TTextPlace {
        int Width;
        double U, V;
    };
    TTextPlace TextPlace(const std::string& text) const;
    int TextWidth(const std::string& text);     // The advance of text, in pixels.
    int TextHeight(const std::string& text);    // The font's cell height, whatever the text.
    TPoint TextExtent(const std::string& text); // TextWidth and TextHeight together.

    // The clip region is a list of rectangles, kept as ClipRegion(); while
    // none is set, drawing clips to the bitmap alone. Clips to r.
    void SetClipRect(const TRect& r);
    // Clips to the union of rects; an empty rects clips everything away.
    void SetClipRegion(std::vector<TRect> rects);
    void ClearClipRegion();                                         // Clips to the bitmap only.
    bool HasClipRegion() const { return !clip_.empty(); }           // Whether a region is set.
    const std::vector<TRect>& ClipRegion() const { return clip_; }  // The region's rectangles.
    bool PtVisible(int x, int y) const;  // Whether (x, y) is on the bitmap and in the region.

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
    // The same small ellipse in one colour again, as a plot's points come:
    // its box's size and the pen it was worked out for, its rows' spans
    // relative to the box's corner (rows without ink left out) and the
    // offset of the box's corner from the ellipse's first corner.
    struct DiscRun {
        int y, a, b;  // pixels [a, b) of row y
    };
    int discW_ = -1, discH_ = -1, discPenWidth_ = 0, discGrow_ = 0;
    bool discPen_ = false;
    std::vector<DiscRun> discRuns_;
    TRect discInk_;
    // Draws such an ellipse from the kept rows when it lies wholly inside
    // one clip rectangle; false (nothing done) otherwise.
    bool DiscAgain(int x1, int y1, int x2, int y2);

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

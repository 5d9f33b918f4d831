// What the metafile reader's files share: the text and shape helpers, the
// drawing objects and state of a device context, the bounds-checked view of
// a record and the player that draws records onto the bitmap. Private to
// toolkit/imageio; Codecs.h is the reader's interface.
#pragma once

#include "toolkit/imageio/Codecs.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace imageio::metafile_detail {

// ------------------------------------------------------------ text helpers

// Text of WMF and ANSI EMF records is in the Windows-1252 code page.
std::string FromAnsi(const std::uint8_t* p, std::size_t n, bool stopAtNul);
std::string FromUtf16(const std::uint8_t* p, std::size_t units, bool stopAtNul);

// ------------------------------------------------------------- geometry

// A path keeps at most this many points.
constexpr std::size_t MaxPathPoints = 1 << 20;

void AddBezier(std::vector<TPointF>& out, TPointF p0, TPointF p1, TPointF p2, TPointF p3);
void AddEllipse(std::vector<TPointF>& out, double l, double t, double r, double b);
void AddRoundRect(std::vector<TPointF>& out, double l, double t, double r, double b, double w, double h);

// ---------------------------------------------------------- GDI objects

constexpr int PsNull = 5;
constexpr int BsSolid = 0, BsNull = 1;
constexpr int Transparent = 1, Opaque = 2;
constexpr int R2Not = 6, R2Nop = 11;
constexpr unsigned TaUpdateCp = 1;
constexpr unsigned EtoOpaque = 2, EtoClipped = 4, EtoGlyphIndex = 0x10;

struct LogPen {
    int Style = 0;
    double Width = 0;  // logical units; 0 is one pixel
    bool Cosmetic = false;
    TColor Color = clBlack;
};

struct LogBrush {
    int Style = BsSolid;
    TColor Color = clWhite;
};

struct LogFont {
    int Height = 0;
    int Escapement = 0;
    int Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    int Charset = 0;
    std::string Face;
};

enum class ObjectKind { Empty, Pen, Brush, Font, Other };

struct GdiObject {
    ObjectKind Kind = ObjectKind::Empty;
    LogPen Pen;
    LogBrush Brush;
    LogFont Font;
};

enum MapMode { MmText = 1, MmLoMetric, MmHiMetric, MmLoEnglish, MmHiEnglish, MmTwips, MmIsotropic, MmAnisotropic };

struct DcState {
    LogPen Pen;
    LogBrush Brush;
    LogFont Font;
    TColor TextColor = clBlack;
    TColor BkColor = clWhite;
    int BkMode = Opaque;
    unsigned TextAlign = 0;
    int Rop2 = 13;
    int MapMode = MmText;
    TPointF WinOrg, WinExt{1, 1}, VpOrg, VpExt{1, 1};
    TAffine World;
    TPointF Position;
};

// A record's bytes; reading past them throws ShortRecord and the record is
// passed over.
struct ShortRecord {};

class Record {
public:
    Record(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    std::size_t Size() const { return n_; }
    const std::uint8_t* At(std::size_t offset, std::size_t count) const
    {
        if (offset > n_ || count > n_ - offset)
            throw ShortRecord{};
        return p_ + offset;
    }
    std::uint16_t U16(std::size_t o) const { return Le16(At(o, 2)); }
    std::int16_t I16(std::size_t o) const { return static_cast<std::int16_t>(U16(o)); }
    std::uint32_t U32(std::size_t o) const { return Le32(At(o, 4)); }
    std::int32_t I32(std::size_t o) const { return static_cast<std::int32_t>(U32(o)); }
    float F32(std::size_t o) const
    {
        std::uint32_t v = U32(o);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    TColor Color(std::size_t o) const { return static_cast<TColor>(U32(o) & 0xFFFFFF); }
    Bytes Span(std::size_t offset, std::size_t count) const { return {At(offset, count), count}; }

private:
    const std::uint8_t* p_;
    std::size_t n_;
};

// ---------------------------------------------------------------- player

class Player {
public:
    Player(TBitmap& bitmap, const Limits& limits, bool emf);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // All the pictures a metafile carries may together take this many times
    // the pixels of the picture it draws (and at least EmbeddedFloor): each
    // costs the time of filling it, however little of it is drawn.
    static constexpr std::int64_t EmbeddedPerPixel = 4;
    static constexpr std::int64_t EmbeddedFloor = std::int64_t(1) << 22;

    // Reference-device pixels to bitmap pixels (EMF); the identity for WMF,
    // whose window maps straight onto the bitmap.
    TAffine Device;
    // Millimetres of the reference device per pixel, for the fixed mapping modes.
    double PixelsPerMmX = 96 / 25.4, PixelsPerMmY = 96 / 25.4;
    DcState Dc;

    // ------------------------------------------------------- transforms

    TAffine PageTransform() const;
    // WMF: the window is the whole bitmap.
    TAffine WindowTransform() const;
    void UpdateTransform();

    TPointF MapD(TPointF p) const { return xform_.Apply(p); }
    TPoint Map(TPointF p) const { return xform_.MapToPixel(p); }
    double MapLength(double v) const { return std::fabs(v) * xform_.Scale(); }

    // ------------------------------------------------------ objects

    void Store(std::size_t index, const GdiObject& object);
    // Sizes the object table; every slot is free.
    void SetObjectCount(std::size_t count);
    // WMF puts each new object in the lowest free slot.
    void StoreFirstFree(const GdiObject& object);
    void Select(std::uint32_t index);
    void SelectStock(std::uint32_t stock);
    void Delete(std::uint32_t index);
    void SaveDc();
    void RestoreDc(std::int32_t which);

    // ---------------------------------------------------- canvas state

    void ApplyPen();
    void ApplyBrush();
    void ApplyFont();

    // ------------------------------------------------------ primitives

    void MoveTo(TPointF p);
    void LineTo(TPointF p);
    void Polyline(const std::vector<TPointF>& points);
    // Rings filled together (alternate rule), each outlined on its own.
    void Polygons(const std::vector<std::vector<TPointF>>& rings);
    void FillAndOutline(const std::vector<std::vector<TPointF>>& rings, bool fill, bool outline);
    void RectangleShape(double l, double t, double r, double b);
    void EllipseShape(double l, double t, double r, double b);
    void RoundRectShape(double l, double t, double r, double b, double w, double h);
    void SetPixel(TPointF p, TColor color);
    void Text(TPointF at, const std::string& text, unsigned options, const std::optional<std::array<double, 4>>& box);
    // A bitmap stretched onto the logical rectangle; src is the part of the
    // picture in its own top-down pixels.
    void DrawBitmap(TBitmap& picture, TRect src, double x, double y, double w, double h, std::uint32_t rop);
    // Raster operations with no source: the brush, black or white.
    void PatternBlt(double x, double y, double w, double h, std::uint32_t rop);
    // A pattern brush becomes a solid one of the pattern's average colour.
    LogBrush PatternBrush(Bytes dibHeader, Bytes bits, bool packed);

    // ------------------------------------------------------------ paths

    void BeginPath();
    void EndPath() { inPath_ = false; }
    void AbortPath();
    void CloseFigure();
    void PathPoint(TPointF p);
    void AddFigure(const std::vector<TPointF>& points, bool close);
    void DrawPath(bool fill, bool stroke);
    bool InPath() const { return inPath_; }

    std::vector<TPoint> MapAll(const std::vector<TPointF>& points) const;

    // The limits for the pictures records carry: those of a picture file,
    // and what is left of the metafile's budget.
    const Limits& DibLimits() const { return dibLimits_; }

private:
    TBitmap& bitmap_;
    TCanvas& canvas_;
    std::int64_t embeddedBudget_;
    Limits dibLimits_;
    std::vector<GdiObject> objects_;
    // A bit for every empty slot of objects_, and one for every word of
    // them with a bit set: the lowest empty slot of the largest table
    // (65535) is found in at most 16 steps.
    std::vector<std::uint64_t> free_, freeWords_;
    void MarkFree(std::size_t index, bool free);
    bool emf_;
    TAffine xform_;
    std::vector<DcState> saved_;
    bool inPath_ = false;
    std::vector<std::vector<TPointF>> path_;
    std::vector<bool> closed_;
    std::size_t pathPoints_ = 0;
};

// Where the rows of a DIB start in the picture's own top-down numbering:
// a positive height means the rows are stored bottom-up.
TRect SourceRect(Bytes header, const TBitmap& picture, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h);

// The two formats, each onto out, sized from the file's header.
void PlayWmf(Bytes data, TBitmap& out, const Limits& limits);
void PlayEmf(Bytes data, TBitmap& out, const Limits& limits);

}  // namespace imageio::metafile_detail

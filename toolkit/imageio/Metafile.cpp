// Windows metafiles (WMF, with or without the placeable header, and EMF),
// played onto a white bitmap through our canvas.
//
// The common drawing records are played: pens, brushes, fonts and the
// object table, colours and modes, window, viewport, mapping mode and world
// transform, lines, polylines, polygons, Bézier curves, rectangles, rounded
// rectangles, ellipses, paths, text and device-independent bitmaps. Other
// records (clipping, arcs, palettes, comments) are passed over. Every read
// is checked against the record; a record too short for what it claims is
// passed over, a record that runs past the end of the file ends the reading.

#include "toolkit/imageio/Codecs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>

namespace imageio {

namespace {

// ------------------------------------------------------------ text helpers

void AppendUtf8(std::string& s, std::uint32_t cp)
{
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Text of WMF and ANSI EMF records is in the Windows-1252 code page.
std::string FromAnsi(const std::uint8_t* p, std::size_t n, bool stopAtNul)
{
    static constexpr std::uint16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t c = p[i];
        if (c == 0) {
            if (stopAtNul)
                break;
            continue;
        }
        AppendUtf8(s, c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c);
    }
    return s;
}

std::string FromUtf16(const std::uint8_t* p, std::size_t units, bool stopAtNul)
{
    std::string s;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t u = Le16(p + 2 * i);
        if (u == 0) {
            if (stopAtNul)
                break;
            continue;
        }
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
            std::uint32_t lo = Le16(p + 2 * (i + 1));
            if (lo >= 0xDC00 && lo < 0xE000) {
                AppendUtf8(s, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(s, u >= 0xD800 && u < 0xE000 ? 0xFFFD : u);
    }
    return s;
}

// ------------------------------------------------------------- geometry

// A path keeps at most this many points.
constexpr std::size_t MaxPathPoints = 1 << 20;

void AddBezier(std::vector<TPointF>& out, TPointF p0, TPointF p1, TPointF p2, TPointF p3)
{
    constexpr int steps = 16;
    for (int i = 1; i <= steps; ++i) {
        double t = double(i) / steps, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back({a * p0.X + b * p1.X + c * p2.X + d * p3.X, a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y});
    }
}

void AddEllipse(std::vector<TPointF>& out, double l, double t, double r, double b)
{
    constexpr int steps = 72;
    double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
    for (int i = 0; i < steps; ++i) {
        double a = 2 * M_PI * i / steps;
        out.push_back({cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
}

void AddRoundRect(std::vector<TPointF>& out, double l, double t, double r, double b, double w, double h)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
    constexpr int steps = 12;
    const std::array<TPointF, 4> centres = {TPointF{r - rx, t + ry}, TPointF{l + rx, t + ry}, TPointF{l + rx, b - ry},
                                           TPointF{r - rx, b - ry}};
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i <= steps; ++i) {
            double a = M_PI / 2 * (corner + double(i) / steps);
            out.push_back({centres[corner].X + rx * std::cos(a), centres[corner].Y - ry * std::sin(a)});
        }
}

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
    Player(TBitmap& bitmap, const Limits& limits, bool emf)
        : bitmap_(bitmap), canvas_(bitmap.Canvas()), limits_(limits), emf_(emf)
    {
        canvas_.CopyMode = cmSrcCopy;
        canvas_.Brush = TBrush{clWhite, bsSolid};
        canvas_.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
    }

    // Reference-device pixels to bitmap pixels (EMF); the identity for WMF,
    // whose window maps straight onto the bitmap.
    TAffine Device;
    // Millimetres of the reference device per pixel, for the fixed mapping modes.
    double PixelsPerMmX = 96 / 25.4, PixelsPerMmY = 96 / 25.4;
    DcState Dc;
    std::vector<GdiObject> Objects;

    // ------------------------------------------------------- transforms

    TAffine PageTransform() const
    {
        double sx = 1, sy = 1;
        switch (Dc.MapMode) {
        case MmLoMetric:
            sx = PixelsPerMmX / 10, sy = -PixelsPerMmY / 10;
            break;
        case MmHiMetric:
            sx = PixelsPerMmX / 100, sy = -PixelsPerMmY / 100;
            break;
        case MmLoEnglish:
            sx = PixelsPerMmX * 0.254, sy = -PixelsPerMmY * 0.254;
            break;
        case MmHiEnglish:
            sx = PixelsPerMmX * 0.0254, sy = -PixelsPerMmY * 0.0254;
            break;
        case MmTwips:
            sx = PixelsPerMmX * 25.4 / 1440, sy = -PixelsPerMmY * 25.4 / 1440;
            break;
        case MmIsotropic:
        case MmAnisotropic:
            if (Dc.WinExt.X != 0 && Dc.WinExt.Y != 0) {
                sx = Dc.VpExt.X / Dc.WinExt.X;
                sy = Dc.VpExt.Y / Dc.WinExt.Y;
                if (Dc.MapMode == MmIsotropic) {
                    double s = std::min(std::fabs(sx), std::fabs(sy));
                    sx = std::copysign(s, sx);
                    sy = std::copysign(s, sy);
                }
            }
            break;
        default:
            break;
        }
        return {sx, 0, 0, sy, Dc.VpOrg.X - Dc.WinOrg.X * sx, Dc.VpOrg.Y - Dc.WinOrg.Y * sy};
    }

    // WMF: the window is the whole bitmap.
    TAffine WindowTransform() const
    {
        double sx = Dc.WinExt.X != 0 ? bitmap_.Width() / Dc.WinExt.X : 1;
        double sy = Dc.WinExt.Y != 0 ? bitmap_.Height() / Dc.WinExt.Y : 1;
        return {sx, 0, 0, sy, -Dc.WinOrg.X * sx, -Dc.WinOrg.Y * sy};
    }

    void UpdateTransform()
    {
        xform_ = emf_ ? Dc.World.Then(PageTransform()).Then(Device) : WindowTransform();
        if (!xform_.Finite())
            xform_ = TAffine{0, 0, 0, 0, -PixelRange, -PixelRange};
    }

    TPointF MapD(TPointF p) const { return xform_.Apply(p); }
    TPoint Map(TPointF p) const { return xform_.MapToPixel(p); }
    double MapLength(double v) const { return std::fabs(v) * xform_.Scale(); }

    // ------------------------------------------------------ objects

    void Store(std::size_t index, const GdiObject& object)
    {
        if (index < Objects.size())
            Objects[index] = object;
    }

    // WMF puts each new object in the lowest free slot.
    void StoreFirstFree(const GdiObject& object)
    {
        for (auto& slot : Objects)
            if (slot.Kind == ObjectKind::Empty) {
                slot = object;
                return;
            }
    }

    void Select(std::uint32_t index)
    {
        if (emf_ && (index & 0x80000000u)) {
            SelectStock(index & 0x7FFFFFFF);
            return;
        }
        if (index >= Objects.size())
            return;
        const GdiObject& o = Objects[index];
        if (o.Kind == ObjectKind::Pen)
            Dc.Pen = o.Pen;
        else if (o.Kind == ObjectKind::Brush)
            Dc.Brush = o.Brush;
        else if (o.Kind == ObjectKind::Font)
            Dc.Font = o.Font;
    }

    void SelectStock(std::uint32_t stock)
    {
        static constexpr TColor brushes[] = {clWhite, 0xC0C0C0, 0x808080, 0x404040, clBlack};
        if (stock <= 4)
            Dc.Brush = {BsSolid, brushes[stock]};
        else if (stock == 5)
            Dc.Brush = {BsNull, clWhite};
        else if (stock == 6 || stock == 7)
            Dc.Pen = {0, 0, true, stock == 6 ? clWhite : clBlack};
        else if (stock == 8)
            Dc.Pen = {PsNull, 0, true, clBlack};
        else if (stock >= 10 && stock <= 17 && stock != 15)
            Dc.Font = LogFont{};
    }

    void Delete(std::uint32_t index)
    {
        if (index < Objects.size())
            Objects[index] = GdiObject{};
    }

    void SaveDc()
    {
        if (saved_.size() < 4096)
            saved_.push_back(Dc);
    }

    void RestoreDc(std::int32_t which)
    {
        std::int64_t target = which < 0 ? static_cast<std::int64_t>(saved_.size()) + which : which - 1;
        if (target < 0 || target >= static_cast<std::int64_t>(saved_.size()))
            return;
        Dc = saved_[static_cast<std::size_t>(target)];
        saved_.resize(static_cast<std::size_t>(target));
        UpdateTransform();
    }

    // ---------------------------------------------------- canvas state

    void ApplyPen()
    {
        TPen pen;
        pen.Color = Dc.Pen.Color;
        pen.Style = (Dc.Pen.Style & 0x0F) == PsNull || Dc.Rop2 == R2Nop ? psClear : psSolid;
        pen.Mode = Dc.Rop2 == R2Not ? pmNot : pmCopy;
        double w = Dc.Pen.Cosmetic ? 1 : MapLength(Dc.Pen.Width);
        double maxWidth = std::max(bitmap_.Width(), bitmap_.Height()) * 2.0 + 2;
        pen.Width = std::max(1, PixelRound(std::min(w, maxWidth)));
        canvas_.Pen = pen;
    }

    void ApplyBrush()
    {
        canvas_.Brush.Color = Dc.Brush.Color;
        canvas_.Brush.Style = Dc.Brush.Style == BsNull ? bsClear : bsSolid;
    }

    void ApplyFont()
    {
        TFont font;
        if (!Dc.Font.Face.empty())
            font.Name = Dc.Font.Face;
        font.Color = Dc.TextColor;
        if (Dc.Font.Height != 0) {
            // Glyphs cost time by their area; one twice the picture's size
            // shows no more of itself than one of that size.
            double largest = std::min(2000.0, 2.0 * std::max(bitmap_.Width(), bitmap_.Height()));
            double h = std::min(MapLength(Dc.Font.Height), largest);
            font.Height = std::max(1, PixelRound(h)) * (Dc.Font.Height < 0 ? -1 : 1);
        }
        TFontStyles style = 0;
        if (Dc.Font.Weight >= 600)
            style |= fsBold;
        if (Dc.Font.Italic)
            style |= fsItalic;
        if (Dc.Font.Underline)
            style |= fsUnderline;
        if (Dc.Font.StrikeOut)
            style |= fsStrikeOut;
        font.Style = style;
        font.Charset = Dc.Font.Charset;
        font.Escapement = Dc.Font.Escapement % 3600;
        canvas_.Font = font;
    }

    // ------------------------------------------------------ primitives

    void MoveTo(TPointF p)
    {
        Dc.Position = p;
        if (inPath_)
            path_.push_back({p});
    }

    void LineTo(TPointF p)
    {
        if (inPath_) {
            PathPoint(p);
        } else {
            ApplyPen();
            TPoint a = Map(Dc.Position), b = Map(p);
            canvas_.MoveTo(a.X, a.Y);
            canvas_.LineTo(b.X, b.Y);
        }
        Dc.Position = p;
    }

    void Polyline(const std::vector<TPointF>& points)
    {
        if (points.empty())
            return;
        if (inPath_) {
            AddFigure(points, false);
            return;
        }
        ApplyPen();
        std::vector<TPoint> pts = MapAll(points);
        canvas_.Polyline(pts);
    }

    // Rings filled together (alternate rule), each outlined on its own.
    void Polygons(const std::vector<std::vector<TPointF>>& rings)
    {
        if (inPath_) {
            for (const auto& r : rings)
                AddFigure(r, true);
            return;
        }
        FillAndOutline(rings, true, true);
    }

    void FillAndOutline(const std::vector<std::vector<TPointF>>& rings, bool fill, bool outline)
    {
        ApplyPen();
        ApplyBrush();
        std::vector<TPoint> all;
        if (fill && Dc.Brush.Style != BsNull) {
            // Joined through the first point of each ring, so the joining
            // edges are walked twice and cancel out under the alternate rule.
            for (const auto& ring : rings) {
                if (ring.size() < 3)
                    continue;
                std::vector<TPoint> pts = MapAll(ring);
                all.insert(all.end(), pts.begin(), pts.end());
                all.push_back(pts.front());
                if (!all.empty() && all.front() != pts.front())
                    all.push_back(all.front());
            }
            if (all.size() >= 3) {
                TPen pen = canvas_.Pen;
                canvas_.Pen.Style = psClear;
                canvas_.Polygon(all);
                canvas_.Pen = pen;
            }
        }
        if (outline && canvas_.Pen.Style != psClear) {
            for (const auto& ring : rings) {
                if (ring.size() < 2)
                    continue;
                std::vector<TPoint> pts = MapAll(ring);
                pts.push_back(pts.front());
                canvas_.Polyline(pts);
            }
        }
    }

    void RectangleShape(double l, double t, double r, double b)
    {
        if (!inPath_ && xform_.AxisAligned()) {
            ApplyPen();
            ApplyBrush();
            TPoint a = Map({l, t}), c = Map({r, b});
            canvas_.Rectangle(std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y));
            return;
        }
        Polygons({{{l, t}, {r, t}, {r, b}, {l, b}}});
    }

    void EllipseShape(double l, double t, double r, double b)
    {
        if (!inPath_ && xform_.AxisAligned()) {
            ApplyPen();
            ApplyBrush();
            TPoint a = Map({l, t}), c = Map({r, b});
            canvas_.Ellipse(std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y));
            return;
        }
        std::vector<TPointF> ring;
        AddEllipse(ring, l, t, r, b);
        Polygons({ring});
    }

    void RoundRectShape(double l, double t, double r, double b, double w, double h)
    {
        std::vector<TPointF> ring;
        AddRoundRect(ring, l, t, r, b, w, h);
        Polygons({ring});
    }

    void SetPixel(TPointF p, TColor color)
    {
        TPoint d = Map(p);
        canvas_.SetPixel(d.X, d.Y, color);
    }

    void Text(TPointF at, const std::string& text, unsigned options, const std::optional<std::array<double, 4>>& box)
    {
        if (inPath_)
            return;
        std::optional<TRect> rect;
        if (box) {
            TPoint a = Map({(*box)[0], (*box)[1]}), c = Map({(*box)[2], (*box)[3]});
            rect = Rect(std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y));
        }
        TBrush brush = canvas_.Brush;
        if (rect && (options & EtoOpaque)) {
            canvas_.Brush = TBrush{Dc.BkColor, bsSolid};
            canvas_.FillRect(*rect);
        }
        if (!text.empty()) {
            bool clipped = rect && (options & EtoClipped);
            if (clipped)
                canvas_.SetClipRect(*rect);
            ApplyFont();
            canvas_.Brush = TBrush{Dc.BkColor, bsSolid};
            canvas_.SetBkMode(Dc.BkMode == Transparent ? TRANSPARENT : OPAQUE);
            canvas_.SetTextAlign(Dc.TextAlign & (TA_CENTER | TA_BASELINE));
            TPoint p = Map((Dc.TextAlign & TaUpdateCp) ? Dc.Position : at);
            canvas_.TextOut(p.X, p.Y, text);
            if (clipped)
                canvas_.ClearClipRegion();
        }
        canvas_.Brush = brush;
    }

    // A bitmap stretched onto the logical rectangle; src is the part of the
    // picture in its own top-down pixels.
    void DrawBitmap(TBitmap& picture, TRect src, double x, double y, double w, double h, std::uint32_t rop)
    {
        if (inPath_)
            return;
        src.Left = std::clamp(src.Left, 0, picture.Width());
        src.Right = std::clamp(src.Right, 0, picture.Width());
        src.Top = std::clamp(src.Top, 0, picture.Height());
        src.Bottom = std::clamp(src.Bottom, 0, picture.Height());
        if (src.Width() <= 0 || src.Height() <= 0)
            return;
        TPoint a = Map({x, y}), c = Map({x + w, y + h});
        if (a.X == c.X || a.Y == c.Y)
            return;
        canvas_.CopyMode = rop;
        if (src == Rect(0, 0, picture.Width(), picture.Height())) {
            canvas_.StretchDraw(Rect(a.X, a.Y, c.X, c.Y), picture);
        } else {
            TBitmap part(src.Width(), src.Height());
            part.Canvas().CopyRect(Rect(0, 0, src.Width(), src.Height()), picture.Canvas(), src);
            canvas_.StretchDraw(Rect(a.X, a.Y, c.X, c.Y), part);
        }
        canvas_.CopyMode = cmSrcCopy;
    }

    // Raster operations with no source: the brush, black or white.
    void PatternBlt(double x, double y, double w, double h, std::uint32_t rop)
    {
        if (inPath_)
            return;
        TPoint a = Map({x, y}), c = Map({x + w, y + h});
        TRect r = Rect(std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y));
        TBrush brush = canvas_.Brush;
        if (rop == cmPatCopy && Dc.Brush.Style != BsNull)
            canvas_.Brush = TBrush{Dc.Brush.Color, bsSolid};
        else if (rop == cmBlackness)
            canvas_.Brush = TBrush{clBlack, bsSolid};
        else if (rop == cmWhiteness)
            canvas_.Brush = TBrush{clWhite, bsSolid};
        else
            return;
        canvas_.FillRect(r);
        canvas_.Brush = brush;
    }

    // A pattern brush becomes a solid one of the pattern's average colour.
    LogBrush PatternBrush(Bytes dibHeader, Bytes bits, bool packed)
    {
        TBitmap pattern;
        Limits small{1024, 1 << 16};
        bool ok = packed ? DecodePackedDib(dibHeader, pattern, small) : DecodeDib(dibHeader, bits, pattern, small);
        if (!ok)
            return {BsSolid, clGray};
        std::uint64_t r = 0, g = 0, b = 0;
        for (int y = 0; y < pattern.Height(); ++y)
            for (int x = 0; x < pattern.Width(); ++x) {
                std::uint32_t px = pattern.ScanLine(y)[x];
                r += (px >> 16) & 0xFF;
                g += (px >> 8) & 0xFF;
                b += px & 0xFF;
            }
        std::uint64_t n = static_cast<std::uint64_t>(pattern.Width()) * pattern.Height();
        return {BsSolid, RGB(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n))};
    }

    // ------------------------------------------------------------ paths

    void BeginPath()
    {
        inPath_ = true;
        path_.clear();
        pathPoints_ = 0;
    }
    void EndPath() { inPath_ = false; }
    void AbortPath()
    {
        inPath_ = false;
        path_.clear();
    }
    void CloseFigure()
    {
        if (!inPath_ || path_.empty())
            return;
        closed_.resize(path_.size(), false);
        closed_.back() = true;
    }
    void PathPoint(TPointF p)
    {
        if (path_.empty())
            path_.push_back({Dc.Position});
        if (++pathPoints_ < MaxPathPoints)
            path_.back().push_back(p);
    }
    void AddFigure(const std::vector<TPointF>& points, bool close)
    {
        if (pathPoints_ + points.size() >= MaxPathPoints)
            return;
        pathPoints_ += points.size();
        path_.push_back(points);
        closed_.resize(path_.size(), false);
        closed_.back() = close;
    }
    void DrawPath(bool fill, bool stroke)
    {
        inPath_ = false;
        closed_.resize(path_.size(), false);
        if (fill)
            FillAndOutline(path_, true, false);
        if (stroke) {
            ApplyPen();
            for (std::size_t i = 0; i < path_.size(); ++i) {
                if (path_[i].size() < 2)
                    continue;
                std::vector<TPoint> pts = MapAll(path_[i]);
                if (closed_[i] || fill)
                    pts.push_back(pts.front());
                canvas_.Polyline(pts);
            }
        }
        path_.clear();
        closed_.clear();
    }
    bool InPath() const { return inPath_; }

    std::vector<TPoint> MapAll(const std::vector<TPointF>& points) const
    {
        std::vector<TPoint> out;
        out.reserve(points.size());
        for (const TPointF& p : points)
            out.push_back(Map(p));
        return out;
    }

    const Limits& DibLimits() const { return limits_; }

private:
    TBitmap& bitmap_;
    TCanvas& canvas_;
    const Limits& limits_;
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
TRect SourceRect(Bytes header, const TBitmap& picture, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    bool bottomUp = true;
    if (header.size() >= 12 && Le32(header.data()) >= 16)
        bottomUp = static_cast<std::int32_t>(Le32(header.data() + 8)) > 0;
    auto clampI = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -PixelRange, PixelRange)); };
    if (bottomUp)
        y = picture.Height() - (y + h);
    return Rect(clampI(x), clampI(y), clampI(x + w), clampI(y + h));
}

// --------------------------------------------------------------- WMF

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

LogFont ReadWmfFont(const Record& r, std::size_t o)
{
    LogFont f;
    f.Height = r.I16(o);
    f.Escapement = r.I16(o + 4);
    f.Weight = r.I16(o + 8);
    const std::uint8_t* b = r.At(o + 10, 8);
    f.Italic = b[0] != 0;
    f.Underline = b[1] != 0;
    f.StrikeOut = b[2] != 0;
    f.Charset = b[3];
    std::size_t faceBytes = std::min<std::size_t>(32, r.Size() > o + 18 ? r.Size() - (o + 18) : 0);
    f.Face = FromAnsi(r.At(o + 18, faceBytes), faceBytes, true);
    return f;
}

std::vector<TPointF> ReadWmfPoints(const Record& r, std::size_t o, std::size_t count)
{
    r.At(o, count * 4);
    std::vector<TPointF> pts(count);
    for (std::size_t i = 0; i < count; ++i)
        pts[i] = {double(r.I16(o + 4 * i)), double(r.I16(o + 4 * i + 2))};
    return pts;
}

void PlayWmfRecord(Player& pl, unsigned function, const Record& r)
{
    constexpr std::size_t P = 6;  // parameters start after size and function
    auto s = [&](std::size_t word) { return double(r.I16(P + 2 * word)); };
    switch (function) {
    case 0x0201:
        pl.Dc.BkColor = r.Color(P);
        break;
    case 0x0102:
        pl.Dc.BkMode = r.U16(P);
        break;
    case 0x0103:
        pl.Dc.MapMode = r.U16(P);
        break;
    case 0x0104:
        pl.Dc.Rop2 = r.U16(P);
        break;
    case 0x012E:
        pl.Dc.TextAlign = r.U16(P);
        break;
    case 0x0209:
        pl.Dc.TextColor = r.Color(P);
        break;
    case 0x020B:
        pl.Dc.WinOrg = {s(1), s(0)};
        pl.UpdateTransform();
        break;
    case 0x020C:
        pl.Dc.WinExt = {s(1), s(0)};
        pl.UpdateTransform();
        break;
    case 0x020F:
        pl.Dc.WinOrg.X += s(1);
        pl.Dc.WinOrg.Y += s(0);
        pl.UpdateTransform();
        break;
    case 0x0410:
        if (s(0) != 0 && s(2) != 0) {
            pl.Dc.WinExt.X = pl.Dc.WinExt.X * s(3) / s(2);
            pl.Dc.WinExt.Y = pl.Dc.WinExt.Y * s(1) / s(0);
            pl.UpdateTransform();
        }
        break;
    case 0x001E:
        pl.SaveDc();
        break;
    case 0x0127:
        pl.RestoreDc(r.I16(P));
        break;
    case 0x0214:
        pl.MoveTo({s(1), s(0)});
        break;
    case 0x0213:
        pl.LineTo({s(1), s(0)});
        break;
    case 0x041B:
        pl.RectangleShape(s(3), s(2), s(1), s(0));
        break;
    case 0x0418:
        pl.EllipseShape(s(3), s(2), s(1), s(0));
        break;
    case 0x061C:
        pl.RoundRectShape(s(5), s(4), s(3), s(2), s(1), s(0));
        break;
    case 0x0324:
    case 0x0325: {
        std::size_t n = r.U16(P);
        auto pts = ReadWmfPoints(r, P + 2, n);
        if (function == 0x0324)
            pl.Polygons({pts});
        else
            pl.Polyline(pts);
        break;
    }
    case 0x0538: {
        std::size_t polys = r.U16(P);
        std::size_t o = P + 2 + 2 * polys;
        r.At(P + 2, 2 * polys);
        std::vector<std::vector<TPointF>> rings;
        for (std::size_t i = 0; i < polys; ++i) {
            std::size_t n = r.U16(P + 2 + 2 * i);
            rings.push_back(ReadWmfPoints(r, o, n));
            o += 4 * n;
        }
        pl.Polygons(rings);
        break;
    }
    case 0x041F:
        pl.SetPixel({s(3), s(2)}, r.Color(P));
        break;
    case 0x0521: {
        std::size_t n = r.U16(P);
        std::size_t padded = (n + 1) & ~std::size_t(1);
        std::string text = FromAnsi(r.At(P + 2, n), n, false);
        double y = r.I16(P + 2 + padded), x = r.I16(P + 4 + padded);
        pl.Text({x, y}, text, 0, std::nullopt);
        break;
    }
    case 0x0A32: {
        double y = s(0), x = s(1);
        std::size_t n = r.U16(P + 4);
        unsigned options = r.U16(P + 6);
        std::size_t o = P + 8;
        std::optional<std::array<double, 4>> box;
        if (options & (EtoOpaque | EtoClipped)) {
            box = std::array<double, 4>{double(r.I16(o)), double(r.I16(o + 2)), double(r.I16(o + 4)),
                                        double(r.I16(o + 6))};
            o += 8;
        }
        std::string text = FromAnsi(r.At(o, n), n, false);
        pl.Text({x, y}, text, options, box);
        break;
    }
    case 0x02FA: {
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        obj.Pen = {r.U16(P), s(1), false, r.Color(P + 6)};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x02FC: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        int style = r.U16(P);
        obj.Brush = {style == BsNull ? BsNull : BsSolid, r.Color(P + 2)};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x02FB: {
        GdiObject obj;
        obj.Kind = ObjectKind::Font;
        obj.Font = ReadWmfFont(r, P);
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x0142: {  // DIB pattern brush: style, usage, packed DIB
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        obj.Brush = pl.PatternBrush(r.Span(P + 4, r.Size() - std::min(r.Size(), P + 4)), {}, true);
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x00F7:
    case 0x01F9:
    case 0x06FF: {
        // Palettes, old pattern brushes, regions: they only take a slot.
        GdiObject obj;
        obj.Kind = function == 0x01F9 ? ObjectKind::Brush : ObjectKind::Other;
        obj.Brush = {BsSolid, clGray};
        pl.StoreFirstFree(obj);
        break;
    }
    case 0x012D:
        pl.Select(r.U16(P));
        break;
    case 0x01F0:
        pl.Delete(r.U16(P));
        break;
    case 0x0940:
    case 0x0B41:
    case 0x0F43: {
        std::uint32_t rop = r.U32(P);
        // The record's high byte counts its parameter words; one more word
        // means no bitmap (a pattern operation).
        std::size_t words = r.Size() / 2;
        bool noBitmap = function != 0x0F43 && words == (function >> 8) + 3;
        std::size_t q = P + 4 + (noBitmap ? 2 : 0) + (function == 0x0F43 ? 2 : 0);
        auto w = [&](std::size_t i) { return double(r.I16(q + 2 * i)); };
        double sx, sy, sw, sh, dx, dy, dw, dh;
        if (function == 0x0940) {
            sy = w(0), sx = w(1), dh = sh = w(2), dw = sw = w(3), dy = w(4), dx = w(5);
            q += 12;
        } else {
            sh = w(0), sw = w(1), sy = w(2), sx = w(3), dh = w(4), dw = w(5), dy = w(6), dx = w(7);
            q += 16;
        }
        if (noBitmap) {
            pl.PatternBlt(dx, dy, dw, dh, rop);
            break;
        }
        Bytes dib = r.Span(q, r.Size() - std::min(r.Size(), q));
        if (function == 0x0F43 && r.U16(P + 4) != 0)
            break;  // colours given as palette indices
        TBitmap picture;
        if (!DecodePackedDib(dib, picture, pl.DibLimits()))
            break;
        TRect src = SourceRect(dib, picture, static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy),
                               static_cast<std::int64_t>(sw), static_cast<std::int64_t>(sh));
        pl.DrawBitmap(picture, src, dx, dy, dw, dh, rop);
        break;
    }
    default:
        break;
    }
}

void PlayWmf(Bytes data, TBitmap& out, const Limits& limits)
{
    std::size_t start = 0;
    std::optional<std::array<double, 4>> bbox;
    double inch = 1440;
    if (data.size() >= 4 && Le32(data.data()) == PlaceableKey) {
        if (data.size() < 22)
            throw DecodeError("truncated file");
        const std::uint8_t* p = data.data();
        bbox = std::array<double, 4>{double(std::int16_t(Le16(p + 6))), double(std::int16_t(Le16(p + 8))),
                                     double(std::int16_t(Le16(p + 10))), double(std::int16_t(Le16(p + 12)))};
        if (Le16(p + 14) != 0)
            inch = Le16(p + 14);
        start = 22;
    }
    const std::uint8_t* h = data.data() + start;
    auto looksLikeHeader = [&] { return (Le16(h) == 1 || Le16(h) == 2) && Le16(h + 2) == 9; };
    if (start == 0 && (data.size() < 4 || !looksLikeHeader()))
        throw DecodeError("not a metafile");
    if (data.size() < start + 18)
        throw DecodeError("truncated file");
    if (!looksLikeHeader())
        throw DecodeError("not a metafile");
    std::uint64_t declared = std::uint64_t(Le32(h + 6)) * 2;
    if (declared > data.size() - start)
        throw DecodeError("truncated file");
    std::size_t objects = Le16(h + 10);
    std::size_t first = start + 18;

    // Walks the records; the callback returns false to stop.
    auto walk = [&](auto&& visit) {
        std::size_t pos = first;
        while (pos + 6 <= data.size()) {
            std::uint64_t size = std::uint64_t(Le32(data.data() + pos)) * 2;
            unsigned function = Le16(data.data() + pos + 4);
            if (size < 6)
                throw DecodeError("corrupt metafile (record of " + std::to_string(size) + " bytes)");
            if (size > data.size() - pos)
                throw DecodeError("truncated file");
            if (function == 0 || !visit(function, Record(data.data() + pos, static_cast<std::size_t>(size))))
                return;
            pos += static_cast<std::size_t>(size);
        }
        if (pos < data.size() && pos + 6 > data.size())
            throw DecodeError("truncated file");
    };

    std::array<double, 4> window{};
    if (bbox) {
        window = *bbox;
    } else {
        // No physical size: the first window the file sets, in pixels.
        std::optional<TPointF> org, ext;
        walk([&](unsigned f, const Record& r) {
            try {
                if (f == 0x020B && !org)
                    org = TPointF{double(r.I16(8)), double(r.I16(6))};
                if (f == 0x020C && !ext)
                    ext = TPointF{double(r.I16(8)), double(r.I16(6))};
            } catch (const ShortRecord&) {
            }
            return !ext;
        });
        if (!ext)
            throw DecodeError("no picture size in the metafile");
        TPointF o = org.value_or(TPointF{});
        window = {o.X, o.Y, o.X + ext->X, o.Y + ext->Y};
    }

    double w = std::fabs(window[2] - window[0]), hgt = std::fabs(window[3] - window[1]);
    if (bbox) {
        w = w * 96 / inch;
        hgt = hgt * 96 / inch;
    }
    MakeBitmap(out, std::llround(w), std::llround(hgt), limits);

    Player pl(out, limits, false);
    pl.Objects.resize(objects);
    pl.Dc.WinOrg = {window[0], window[1]};
    pl.Dc.WinExt = {window[2] - window[0], window[3] - window[1]};
    pl.UpdateTransform();
    walk([&](unsigned f, const Record& r) {
        try {
            PlayWmfRecord(pl, f, r);
        } catch (const ShortRecord&) {
        }
        return true;
    });
}

// --------------------------------------------------------------- EMF

constexpr std::uint32_t EmfSignature = 0x464D4520;  // " EMF"

LogFont ReadEmfFont(const Record& r, std::size_t o)
{
    LogFont f;
    f.Height = r.I32(o);
    f.Escapement = r.I32(o + 8);
    f.Weight = r.I32(o + 16);
    const std::uint8_t* b = r.At(o + 20, 4);
    f.Italic = b[0] != 0;
    f.Underline = b[1] != 0;
    f.StrikeOut = b[2] != 0;
    f.Charset = b[3];
    f.Face = FromUtf16(r.At(o + 28, 64), 32, true);
    return f;
}

std::vector<TPointF> ReadEmfPoints(const Record& r, std::size_t o, std::size_t count, bool small)
{
    std::size_t each = small ? 4 : 8;
    if (count > r.Size() / each)
        throw ShortRecord{};
    r.At(o, count * each);
    std::vector<TPointF> pts(count);
    for (std::size_t i = 0; i < count; ++i)
        pts[i] = small ? TPointF{double(r.I16(o + 4 * i)), double(r.I16(o + 4 * i + 2))}
                       : TPointF{double(r.I32(o + 8 * i)), double(r.I32(o + 8 * i + 4))};
    return pts;
}

TAffine ReadXform(const Record& r, std::size_t o)
{
    return {r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16), r.F32(o + 20)};
}

// Draws a DIB carried by a record at the given offsets.
void EmfBitmap(Player& pl, const Record& r, std::size_t offBmi, std::size_t cbBmi, std::size_t offBits,
               std::size_t cbBits, std::uint32_t usage, double sx, double sy, double sw, double sh, double dx, double dy,
               double dw, double dh, std::uint32_t rop)
{
    if (cbBmi == 0) {
        pl.PatternBlt(dx, dy, dw, dh, rop);
        return;
    }
    if (usage != 0)
        return;  // colours given as palette indices
    Bytes header = r.Span(offBmi, cbBmi);
    Bytes bits = r.Span(offBits, cbBits);
    TBitmap picture;
    if (!DecodeDib(header, bits, picture, pl.DibLimits()))
        return;
    TRect src = SourceRect(header, picture, static_cast<std::int64_t>(sx), static_cast<std::int64_t>(sy),
                           static_cast<std::int64_t>(sw), static_cast<std::int64_t>(sh));
    pl.DrawBitmap(picture, src, dx, dy, dw, dh, rop);
}

void PlayEmfRecord(Player& pl, std::uint32_t type, const Record& r)
{
    auto i32 = [&](std::size_t o) { return double(r.I32(o)); };
    switch (type) {
    case 2:  // poly Bézier, polygon, polyline, Bézier to, polyline to
    case 3:
    case 4:
    case 5:
    case 6:
    case 85:
    case 86:
    case 87:
    case 88:
    case 89: {
        bool small = type >= 85;
        unsigned kind = small ? type - 83 : type;
        std::vector<TPointF> pts = ReadEmfPoints(r, 28, r.U32(24), small);
        if (kind == 2 || kind == 5) {
            std::vector<TPointF> curve;
            std::size_t i = 0;
            TPointF last = pl.Dc.Position;
            if (kind == 2) {
                if (pts.empty())
                    break;
                last = pts[0];
                curve.push_back(last);
                i = 1;
            } else {
                curve.push_back(last);
            }
            for (; i + 3 <= pts.size(); i += 3) {
                AddBezier(curve, last, pts[i], pts[i + 1], pts[i + 2]);
                last = pts[i + 2];
            }
            if (kind == 5) {
                pl.Dc.Position = last;
                if (pl.InPath()) {
                    for (std::size_t k = 1; k < curve.size(); ++k)
                        pl.PathPoint(curve[k]);
                    break;
                }
            }
            pl.Polyline(curve);
        } else if (kind == 3) {
            pl.Polygons({pts});
        } else if (kind == 4) {
            pl.Polyline(pts);
        } else {  // polyline to
            if (pl.InPath()) {
                for (const TPointF& p : pts)
                    pl.PathPoint(p);
            } else {
                pts.insert(pts.begin(), pl.Dc.Position);
                pl.Polyline(pts);
            }
            if (!pts.empty())
                pl.Dc.Position = pts.back();
        }
        break;
    }
    case 7:  // poly-polyline, poly-polygon
    case 8:
    case 90:
    case 91: {
        bool small = type >= 90;
        std::size_t polys = r.U32(24);
        if (polys > r.Size() / 4)
            break;
        r.At(32, polys * 4);
        std::size_t o = 32 + polys * 4;
        std::vector<std::vector<TPointF>> rings;
        for (std::size_t i = 0; i < polys; ++i) {
            std::size_t n = r.U32(32 + 4 * i);
            if (n > 0)
                rings.push_back(ReadEmfPoints(r, o, n, small));
            o += n * (small ? 4 : 8);
        }
        if (type == 8 || type == 91)
            pl.Polygons(rings);
        else
            for (const auto& ring : rings)
                pl.Polyline(ring);
        break;
    }
    case 9:
        pl.Dc.WinExt = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 10:
        pl.Dc.WinOrg = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 11:
        pl.Dc.VpExt = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 12:
        pl.Dc.VpOrg = {i32(8), i32(12)};
        pl.UpdateTransform();
        break;
    case 15:
        pl.SetPixel({i32(8), i32(12)}, r.Color(16));
        break;
    case 17:
        pl.Dc.MapMode = r.I32(8);
        pl.UpdateTransform();
        break;
    case 18:
        pl.Dc.BkMode = r.I32(8);
        break;
    case 20:
        pl.Dc.Rop2 = r.I32(8);
        break;
    case 22:
        pl.Dc.TextAlign = r.U32(8);
        break;
    case 24:
        pl.Dc.TextColor = r.Color(8);
        break;
    case 25:
        pl.Dc.BkColor = r.Color(8);
        break;
    case 27:
        pl.MoveTo({i32(8), i32(12)});
        break;
    case 33:
        pl.SaveDc();
        break;
    case 34:
        pl.RestoreDc(r.I32(8));
        break;
    case 35:
        pl.Dc.World = ReadXform(r, 8);
        pl.UpdateTransform();
        break;
    case 36: {
        TAffine x = ReadXform(r, 8);
        switch (r.U32(32)) {
        case 1:
            pl.Dc.World = TAffine{};
            break;
        case 2:
            pl.Dc.World = x.Then(pl.Dc.World);
            break;
        case 3:
            pl.Dc.World = pl.Dc.World.Then(x);
            break;
        case 4:
            pl.Dc.World = x;
            break;
        default:
            break;
        }
        pl.UpdateTransform();
        break;
    }
    case 37:
        pl.Select(r.U32(8));
        break;
    case 38: {
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        obj.Pen = {static_cast<int>(r.U32(12)), i32(16), false, r.Color(24)};
        pl.Store(r.U32(8), obj);
        break;
    }
    case 95: {  // extended pen: cosmetic ones are one pixel wide
        GdiObject obj;
        obj.Kind = ObjectKind::Pen;
        std::uint32_t style = r.U32(28);
        obj.Pen = {static_cast<int>(style & 0x0F), i32(32), (style & 0x10000) == 0, r.Color(40)};
        if (r.U32(36) == BsNull)
            obj.Pen.Style = PsNull;
        pl.Store(r.U32(8), obj);
        break;
    }
    case 39: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        std::uint32_t style = r.U32(12);
        // Hatches are drawn solid in their colour.
        obj.Brush = {style == BsNull ? BsNull : BsSolid, r.Color(16)};
        pl.Store(r.U32(8), obj);
        break;
    }
    case 93:
    case 94: {
        GdiObject obj;
        obj.Kind = ObjectKind::Brush;
        obj.Brush = {BsSolid, clGray};
        if (r.U32(12) == 0)
            obj.Brush = pl.PatternBrush(r.Span(r.U32(16), r.U32(20)), r.Span(r.U32(24), r.U32(28)), false);
        pl.Store(r.U32(8), obj);
        break;
    }
    case 82: {
        GdiObject obj;
        obj.Kind = ObjectKind::Font;
        obj.Font = ReadEmfFont(r, 12);
        pl.Store(r.U32(8), obj);
        break;
    }
    case 40:
        pl.Delete(r.U32(8));
        break;
    case 42:
        pl.EllipseShape(i32(8), i32(12), i32(16), i32(20));
        break;
    case 43:
        pl.RectangleShape(i32(8), i32(12), i32(16), i32(20));
        break;
    case 44:
        pl.RoundRectShape(i32(8), i32(12), i32(16), i32(20), i32(24), i32(28));
        break;
    case 54:
        pl.LineTo({i32(8), i32(12)});
        break;
    case 59:
        pl.BeginPath();
        break;
    case 60:
        pl.EndPath();
        break;
    case 61:
        pl.CloseFigure();
        break;
    case 62:
        pl.DrawPath(true, false);
        break;
    case 63:
        pl.DrawPath(true, true);
        break;
    case 64:
        pl.DrawPath(false, true);
        break;
    case 68:
        pl.AbortPath();
        break;
    case 76:
    case 77: {  // bit-block transfer, stretched or not
        double dx = i32(24), dy = i32(28), dw = i32(32), dh = i32(36);
        std::uint32_t rop = r.U32(40);
        double sx = i32(44), sy = i32(48);
        double sw = type == 77 ? i32(100) : dw, sh = type == 77 ? i32(104) : dh;
        EmfBitmap(pl, r, r.U32(84), r.U32(88), r.U32(92), r.U32(96), r.U32(80), sx, sy, sw, sh, dx, dy, dw, dh, rop);
        break;
    }
    case 80:  // bits to the device, one to one
        EmfBitmap(pl, r, r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(64), i32(32), i32(36), i32(40), i32(44),
                  i32(24), i32(28), i32(40), i32(44), cmSrcCopy);
        break;
    case 81:
        EmfBitmap(pl, r, r.U32(48), r.U32(52), r.U32(56), r.U32(60), r.U32(64), i32(32), i32(36), i32(40), i32(44),
                  i32(24), i32(28), i32(72), i32(76), r.U32(68));
        break;
    case 83:
    case 84: {
        TPointF at{i32(36), i32(40)};
        std::size_t n = r.U32(44);
        std::size_t offString = r.U32(48);
        unsigned options = r.U32(52);
        if (options & EtoGlyphIndex)
            break;  // glyph numbers of a font we do not have
        std::optional<std::array<double, 4>> box;
        if (options & (EtoOpaque | EtoClipped))
            box = std::array<double, 4>{i32(56), i32(60), i32(64), i32(68)};
        std::size_t unit = type == 84 ? 2 : 1;
        if (n > r.Size() / unit)
            break;
        const std::uint8_t* s = r.At(offString, n * unit);
        std::string text = type == 84 ? FromUtf16(s, n, false) : FromAnsi(s, n, false);
        pl.Text(at, text, options, box);
        break;
    }
    default:
        break;
    }
}

void PlayEmf(Bytes data, TBitmap& out, const Limits& limits)
{
    if (data.size() >= 44 && Le32(data.data() + 40) != EmfSignature)
        throw DecodeError("not a metafile");
    if (data.size() < 88)
        throw DecodeError("truncated file");
    Record header(data.data(), data.size());
    std::uint32_t headerSize = header.U32(4);
    std::uint64_t fileSize = header.U32(48);
    if (headerSize < 88 || headerSize % 4 != 0 || headerSize > data.size())
        throw DecodeError("corrupt metafile (header of " + std::to_string(headerSize) + " bytes)");
    if (fileSize > data.size())
        throw DecodeError("truncated file");

    const double boundsL = header.I32(8), boundsT = header.I32(12), boundsR = header.I32(16), boundsB = header.I32(20);
    const double frameL = header.I32(24), frameT = header.I32(28), frameR = header.I32(32), frameB = header.I32(36);
    const double devW = header.I32(72), devH = header.I32(76), mmW = header.I32(80), mmH = header.I32(84);

    double ppmX = devW > 0 && mmW > 0 ? devW / mmW : 96 / 25.4;
    double ppmY = devH > 0 && mmH > 0 ? devH / mmH : 96 / 25.4;

    // The frame (hundredths of a millimetre, inclusive) gives the size at
    // 96 pixels per inch; without one, the bounds in device pixels.
    double width = 0, height = 0;
    TAffine device;
    if (frameR > frameL && frameB > frameT) {
        width = (frameR - frameL) / 2540 * 96;
        height = (frameB - frameT) / 2540 * 96;
        double x0 = frameL / 100 * ppmX, y0 = frameT / 100 * ppmY;
        double sx = width / ((frameR - frameL) / 100 * ppmX), sy = height / ((frameB - frameT) / 100 * ppmY);
        device = {sx, 0, 0, sy, -x0 * sx, -y0 * sy};
    } else if (boundsR >= boundsL && boundsB >= boundsT) {
        width = boundsR - boundsL + 1;
        height = boundsB - boundsT + 1;
        device = {1, 0, 0, 1, -boundsL, -boundsT};
    }
    if (!(width < 1e9) || !(height < 1e9))
        throw DecodeError("picture too large");
    MakeBitmap(out, std::llround(width), std::llround(height), limits);

    Player pl(out, limits, true);
    pl.Device = device;
    pl.PixelsPerMmX = ppmX;
    pl.PixelsPerMmY = ppmY;
    pl.Objects.resize(std::min<std::size_t>(header.U16(56), 65535));
    pl.UpdateTransform();

    const std::size_t end = fileSize >= headerSize ? static_cast<std::size_t>(fileSize) : data.size();
    std::size_t pos = headerSize;
    while (pos < end) {
        if (end - pos < 8)
            throw DecodeError("truncated file");
        std::uint32_t type = Le32(data.data() + pos);
        std::uint32_t size = Le32(data.data() + pos + 4);
        if (size < 8 || size % 4 != 0)
            throw DecodeError("corrupt metafile (record of " + std::to_string(size) + " bytes)");
        if (size > end - pos)
            throw DecodeError("truncated file");
        if (type == 14)  // end of file
            break;
        try {
            PlayEmfRecord(pl, type, Record(data.data() + pos, size));
        } catch (const ShortRecord&) {
        }
        pos += size;
    }
}

}  // namespace

void DecodeMetafile(Bytes data, TBitmap& out, const Limits& limits)
{
    // An enhanced metafile starts with its header record, type 1.
    if (data.size() >= 4 && Le32(data.data()) == 1)
        PlayEmf(data, out, limits);
    else
        PlayWmf(data, out, limits);
}

}  // namespace imageio

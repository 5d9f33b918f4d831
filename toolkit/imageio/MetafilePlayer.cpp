// The helpers and the player of MetafilePlayer.h.

#include "toolkit/imageio/MetafilePlayer.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace imageio::metafile_detail {

// ------------------------------------------------------------ text helpers

namespace {

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

}  // namespace

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

// ---------------------------------------------------------------- player

Player::Player(TBitmap& bitmap, const Limits& limits, bool emf)
    : bitmap_(bitmap),
      canvas_(bitmap.Canvas()),
      embeddedBudget_(std::max(EmbeddedFloor, EmbeddedPerPixel * bitmap.Width() * bitmap.Height())),
      dibLimits_(limits),
      emf_(emf)
{
    dibLimits_.PixelBudget = &embeddedBudget_;
    canvas_.CopyMode = cmSrcCopy;
    canvas_.Brush = TBrush{clWhite, bsSolid};
    canvas_.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

// ------------------------------------------------------- transforms

TAffine Player::PageTransform() const
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

TAffine Player::WindowTransform() const
{
    double sx = Dc.WinExt.X != 0 ? bitmap_.Width() / Dc.WinExt.X : 1;
    double sy = Dc.WinExt.Y != 0 ? bitmap_.Height() / Dc.WinExt.Y : 1;
    return {sx, 0, 0, sy, -Dc.WinOrg.X * sx, -Dc.WinOrg.Y * sy};
}

void Player::UpdateTransform()
{
    xform_ = emf_ ? Dc.World.Then(PageTransform()).Then(Device) : WindowTransform();
    if (!xform_.Finite())
        xform_ = TAffine{0, 0, 0, 0, -PixelRange, -PixelRange};
}

// ------------------------------------------------------ objects

void Player::SetObjectCount(std::size_t count)
{
    objects_.assign(count, GdiObject{});
    free_.assign((count + 63) / 64, 0);
    freeWords_.assign((free_.size() + 63) / 64, 0);
    for (std::size_t i = 0; i < count; ++i)
        MarkFree(i, true);
}

void Player::MarkFree(std::size_t index, bool free)
{
    std::uint64_t& word = free_[index / 64];
    const std::uint64_t bit = std::uint64_t(1) << (index % 64);
    word = free ? word | bit : word & ~bit;
    std::uint64_t& summary = freeWords_[index / 4096];
    const std::uint64_t wordBit = std::uint64_t(1) << (index / 64 % 64);
    summary = word ? summary | wordBit : summary & ~wordBit;
}

void Player::Store(std::size_t index, const GdiObject& object)
{
    if (index >= objects_.size())
        return;
    objects_[index] = object;
    MarkFree(index, object.Kind == ObjectKind::Empty);
}

void Player::StoreFirstFree(const GdiObject& object)
{
    for (std::size_t s = 0; s < freeWords_.size(); ++s)
        if (freeWords_[s]) {
            const std::size_t w = s * 64 + static_cast<std::size_t>(std::countr_zero(freeWords_[s]));
            Store(w * 64 + static_cast<std::size_t>(std::countr_zero(free_[w])), object);
            return;
        }
}

void Player::Select(std::uint32_t index)
{
    if (emf_ && (index & 0x80000000u)) {
        SelectStock(index & 0x7FFFFFFF);
        return;
    }
    if (index >= objects_.size())
        return;
    const GdiObject& o = objects_[index];
    if (o.Kind == ObjectKind::Pen)
        Dc.Pen = o.Pen;
    else if (o.Kind == ObjectKind::Brush)
        Dc.Brush = o.Brush;
    else if (o.Kind == ObjectKind::Font)
        Dc.Font = o.Font;
}

void Player::SelectStock(std::uint32_t stock)
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

void Player::Delete(std::uint32_t index) { Store(index, GdiObject{}); }

void Player::SaveDc()
{
    if (saved_.size() < 4096)
        saved_.push_back(Dc);
}

void Player::RestoreDc(std::int32_t which)
{
    std::int64_t target = which < 0 ? static_cast<std::int64_t>(saved_.size()) + which : which - 1;
    if (target < 0 || target >= static_cast<std::int64_t>(saved_.size()))
        return;
    Dc = saved_[static_cast<std::size_t>(target)];
    saved_.resize(static_cast<std::size_t>(target));
    UpdateTransform();
}

// ---------------------------------------------------- canvas state

void Player::ApplyPen()
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

void Player::ApplyBrush()
{
    canvas_.Brush.Color = Dc.Brush.Color;
    canvas_.Brush.Style = Dc.Brush.Style == BsNull ? bsClear : bsSolid;
}

void Player::ApplyFont()
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

void Player::MoveTo(TPointF p)
{
    Dc.Position = p;
    if (inPath_)
        path_.push_back({p});
}

void Player::LineTo(TPointF p)
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

void Player::Polyline(const std::vector<TPointF>& points)
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

void Player::Polygons(const std::vector<std::vector<TPointF>>& rings)
{
    if (inPath_) {
        for (const auto& r : rings)
            AddFigure(r, true);
        return;
    }
    FillAndOutline(rings, true, true);
}

void Player::FillAndOutline(const std::vector<std::vector<TPointF>>& rings, bool fill, bool outline)
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

void Player::RectangleShape(double l, double t, double r, double b)
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

void Player::EllipseShape(double l, double t, double r, double b)
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

void Player::RoundRectShape(double l, double t, double r, double b, double w, double h)
{
    std::vector<TPointF> ring;
    AddRoundRect(ring, l, t, r, b, w, h);
    Polygons({ring});
}

void Player::SetPixel(TPointF p, TColor color)
{
    TPoint d = Map(p);
    canvas_.SetPixel(d.X, d.Y, color);
}

void Player::Text(TPointF at, const std::string& text, unsigned options,
                  const std::optional<std::array<double, 4>>& box)
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

void Player::DrawBitmap(TBitmap& picture, TRect src, double x, double y, double w, double h, std::uint32_t rop)
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

void Player::PatternBlt(double x, double y, double w, double h, std::uint32_t rop)
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

LogBrush Player::PatternBrush(Bytes dibHeader, Bytes bits, bool packed)
{
    TBitmap pattern;
    Limits small{1024, 1 << 16, &embeddedBudget_};
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

void Player::BeginPath()
{
    inPath_ = true;
    path_.clear();
    pathPoints_ = 0;
}

void Player::AbortPath()
{
    inPath_ = false;
    path_.clear();
}

void Player::CloseFigure()
{
    if (!inPath_ || path_.empty())
        return;
    closed_.resize(path_.size(), false);
    closed_.back() = true;
}

void Player::PathPoint(TPointF p)
{
    if (path_.empty())
        path_.push_back({Dc.Position});
    if (++pathPoints_ < MaxPathPoints)
        path_.back().push_back(p);
}

void Player::AddFigure(const std::vector<TPointF>& points, bool close)
{
    if (pathPoints_ + points.size() >= MaxPathPoints)
        return;
    pathPoints_ += points.size();
    path_.push_back(points);
    closed_.resize(path_.size(), false);
    closed_.back() = close;
}

void Player::DrawPath(bool fill, bool stroke)
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

std::vector<TPoint> Player::MapAll(const std::vector<TPointF>& points) const
{
    std::vector<TPoint> out;
    out.reserve(points.size());
    for (const TPointF& p : points)
        out.push_back(Map(p));
    return out;
}

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

}  // namespace imageio::metafile_detail

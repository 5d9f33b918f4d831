#include "components/image/PictureExport.h"

#include "toolkit/graphics/FontEngine.h"
#include "toolkit/imageio/ImageIO.h"
#include "toolkit/system/Errors.h"
#include "toolkit/system/Files.h"

#include <QBuffer>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace {

constexpr double Half = 0.5;

bool Finite(TPointF p) { return std::isfinite(p.X) && std::isfinite(p.Y); }

// The part of the segment a-b inside the box (Liang-Barsky), as the
// fractions t0 <= t1 of the way from a to b; false when none is.
bool SegmentClip(TPointF a, TPointF b, double l, double t, double r, double bottom, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {a.X - l, r - a.X, a.Y - t, bottom - a.Y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double u = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, u);
        else
            t1 = std::min(t1, u);
        if (t0 > t1)
            return false;
    }
    return true;
}

TPointF Along(TPointF a, TPointF b, double f) { return {a.X + (b.X - a.X) * f, a.Y + (b.Y - a.Y) * f}; }

QColor Colour(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The face the canvas renders the font with, as Qt names it.
QFont QtFont(const TFont& font)
{
    const TFaceInfo face = FontEngine::Instance().Face(font);
    QFont q(QString::fromStdString(face.Family));
    q.setPixelSize(std::max(face.Em, 1));
    q.setBold(font.Style & fsBold);
    q.setItalic(font.Style & fsItalic);
    q.setUnderline(font.Style & fsUnderline);
    q.setStrikeOut(font.Style & fsStrikeOut);
    q.setKerning(false);
    return q;
}

// The ellipse in the box from a to b as four Bezier curves with their
// points on the grid of whole numbers.
QPainterPath EllipseCurves(QPointF a, QPointF b)
{
    constexpr double Kappa = 0.5522847498307936;  // 4 (sqrt 2 - 1) / 3
    const double cx = (a.x() + b.x()) / 2, cy = (a.y() + b.y()) / 2, rx = (b.x() - a.x()) / 2, ry = (b.y() - a.y()) / 2;
    auto at = [&](double u, double v) { return QPointF(std::round(cx + u * rx), std::round(cy + v * ry)); };
    QPainterPath path(at(1, 0));
    path.cubicTo(at(1, Kappa), at(Kappa, 1), at(0, 1));
    path.cubicTo(at(-Kappa, 1), at(-1, Kappa), at(-1, 0));
    path.cubicTo(at(-1, -Kappa), at(-Kappa, -1), at(0, -1));
    path.cubicTo(at(Kappa, -1), at(1, -Kappa), at(1, 0));
    path.closeSubpath();
    return path;
}

}  // namespace

TPictureRecording::TPictureRecording(int Width, int Height) : FWidth(Width), FHeight(Height) {}

TPictureRecording::TBox TPictureRecording::ClipBox() const
{
    TRect box{0, 0, FWidth, FHeight};
    const std::vector<TRect>& clip = FClips[std::size_t(FClip)];
    if (!clip.empty()) {
        TRect all{};
        for (const TRect& r : clip)
            all = all.Empty() ? r.Normalized() : all.United(r.Normalized());
        box = box.Intersected(all);
    }
    return {double(box.Left), double(box.Top), double(box.Right), double(box.Bottom)};
}

TPictureRecording::TStyle TPictureRecording::StyleOf(const TCanvas& Canvas, bool Stroke, bool Fill)
{
    TStyle style{Canvas.Pen, Canvas.Brush, Canvas.Font};
    if (!Stroke)
        style.Pen.Style = psClear;
    if (!Fill)
        style.Brush.Style = bsClear;
    return style;
}

bool TPictureRecording::Begin(const TCanvas& Canvas, const TStyle& Style)
{
    if (FMuted > 0 || Canvas.Pen.Mode == pmNot)
        return false;
    if (FStyle < 0 || !(FStyles[std::size_t(FStyle)] == Style)) {
        FStyles.push_back(Style);
        FStyle = int(FStyles.size()) - 1;
    }
    if (FClip < 0 || FClips[std::size_t(FClip)] != Canvas.ClipRegion()) {
        FClips.push_back(Canvas.ClipRegion());
        FClip = int(FClips.size()) - 1;
        FBox = ClipBox();
    }
    return !FBox.Empty();
}

void TPictureRecording::Add(TKind Kind, std::size_t First, double Angle, std::string Text)
{
    FItems.push_back({Kind, FStyle, FClip, First, FPoints.size() - First, Angle, std::move(Text)});
}

// ----------------------------------------------------------------- lines

void TPictureRecording::LinesAdd(std::span<const TPointF> Points, bool Thin)
{
    // A one-pixel line leaves out its end pixel: the shape runs from the
    // first pixel's near edge to the last one's near edge, through the
    // middles of the pixels between.
    const std::size_t n = Points.size();
    auto at = [&](std::size_t i) {
        TPointF p{Points[i].X + Half, Points[i].Y + Half};
        if (!Thin || (i != 0 && i + 1 != n))
            return p;
        const TPointF from = Points[i == 0 ? 0 : i - 1], to = Points[i == 0 ? 1 : i];
        const double dx = to.X - from.X, dy = to.Y - from.Y, length = std::hypot(dx, dy);
        if (length > 0 && std::isfinite(length)) {
            p.X -= Half * dx / length;
            p.Y -= Half * dy / length;
        }
        return p;
    };
    std::size_t first = FPoints.size();
    auto flush = [&] {
        if (FPoints.size() - first >= 2)
            Add(TKind::Lines, first);
        else
            FPoints.resize(first);
        first = FPoints.size();
    };
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const TPointF a = at(i), b = at(i + 1);
        double t0, t1;
        if (!Finite(a) || !Finite(b) || !SegmentClip(a, b, FBox.L, FBox.T, FBox.R, FBox.B, t0, t1)) {
            flush();
            continue;
        }
        if (t0 > 0)
            flush();
        if (FPoints.size() == first)
            FPoints.push_back(t0 > 0 ? Along(a, b, t0) : a);
        FPoints.push_back(t1 < 1 ? Along(a, b, t1) : b);
        if (t1 < 1)
            flush();
    }
    flush();
}

void TPictureRecording::Lines(const TCanvas& Canvas, std::span<const TPoint> Points)
{
    if (Points.size() < 2 || !Begin(Canvas, StyleOf(Canvas, true, false)))
        return;
    std::vector<TPointF> p(Points.size());
    std::ranges::transform(Points, p.begin(), [](TPoint q) { return TPointF{double(q.X), double(q.Y)}; });
    LinesAdd(p, Canvas.Pen.Width <= 1);
}

void TPictureRecording::PreciseLines(const TCanvas& Canvas, std::span<const TPointF> Points)
{
    if (Points.size() < 2 || !Begin(Canvas, StyleOf(Canvas, true, false)))
        return;
    // Each stretch between points that are not numbers is a line of its own.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= Points.size(); ++i)
        if (i == Points.size() || std::isnan(Points[i].X) || std::isnan(Points[i].Y)) {
            if (i - start >= 2)
                LinesAdd(Points.subspan(start, i - start), Canvas.Pen.Width <= 1);
            start = i + 1;
        }
}

// ----------------------------------------------------------------- shapes

void TPictureRecording::Rectangle(const TCanvas& Canvas, const TRect& Box, bool Outline)
{
    const TRect r = Box.Normalized();
    if (r.Empty() || !Begin(Canvas, StyleOf(Canvas, Outline, true)))
        return;
    const double l = std::max<double>(r.Left, FBox.L), t = std::max<double>(r.Top, FBox.T),
                 rr = std::min<double>(r.Right, FBox.R), b = std::min<double>(r.Bottom, FBox.B);
    if (!(l < rr && t < b))
        return;
    // An outline runs through the middles of the border pixels, its brush
    // inside that: together they cover the box.
    const double inset = Outline && Canvas.Pen.Style != psClear ? Half : 0;
    const std::size_t first = FPoints.size();
    FPoints.push_back({l + inset, t + inset});
    FPoints.push_back({rr - inset, b - inset});
    TItem* last = FItems.empty() ? nullptr : &FItems.back();
    if (!Outline && last && last->Kind == TKind::Fill && last->Style == FStyle && last->Clip == FClip &&
        last->First + last->Count == first)
        last->Count += 2;
    else
        Add(Outline ? TKind::Rect : TKind::Fill, first);
}

void TPictureRecording::SquareAdd(const TCanvas& Canvas, double X, double Y, TColor Color)
{
    // A pixel is a square of the brush in its own colour.
    TStyle style{{}, {Color, bsSolid}, Canvas.Font};
    style.Pen.Style = psClear;
    if (!Begin(Canvas, style) || !(X >= FBox.L && X < FBox.R && Y >= FBox.T && Y < FBox.B))
        return;
    const std::size_t first = FPoints.size();
    FPoints.push_back({X, Y});
    FPoints.push_back({X + 1, Y + 1});
    Add(TKind::Rect, first);
}

void TPictureRecording::Pixel(const TCanvas& Canvas, int X, int Y, TColor Color) { SquareAdd(Canvas, X, Y, Color); }

void TPictureRecording::EllipseAdd(double L, double T, double R, double B)
{
    const double reach = Half + (FStyles[std::size_t(FStyle)].Pen.Width > 1 ? FStyles[std::size_t(FStyle)].Pen.Width / 2.0 : 0);
    if (R + reach <= FBox.L || L - reach >= FBox.R || B + reach <= FBox.T || T - reach >= FBox.B)
        return;
    if (L - reach >= FBox.L && R + reach <= FBox.R && T - reach >= FBox.T && B + reach <= FBox.B) {
        const std::size_t first = FPoints.size();
        FPoints.push_back({L, T});
        FPoints.push_back({R, B});
        Add(TKind::Ellipse, first);
        return;
    }
    // Across the clip's edge: the part inside, as a polygon fine enough
    // that its corners never show.
    constexpr int Corners = 96;
    std::vector<TPointF> ring(Corners);
    const double cx = (L + R) / 2, cy = (T + B) / 2, rx = (R - L) / 2, ry = (B - T) / 2;
    for (int i = 0; i < Corners; ++i) {
        const double a = 2 * std::numbers::pi * i / Corners;
        ring[std::size_t(i)] = {cx + rx * std::cos(a), cy + ry * std::sin(a)};
    }
    PolygonAdd(ring);
}

void TPictureRecording::Ellipse(const TCanvas& Canvas, const TRect& Box)
{
    const TRect r = Box.Normalized();
    if (r.Empty() || !Begin(Canvas, StyleOf(Canvas, true, true)))
        return;
    // As a rectangle: the outline through the middles of the outer pixels.
    EllipseAdd(r.Left + Half, r.Top + Half, r.Right - Half, r.Bottom - Half);
}

void TPictureRecording::PreciseDisc(const TCanvas& Canvas, TPointF Centre, int Radius)
{
    if (!Finite(Centre))
        return;
    const double cx = Centre.X + Half, cy = Centre.Y + Half;
    if (Radius <= 0) {
        // One pixel in the pen's colour, where the centre lies.
        SquareAdd(Canvas, std::floor(cx), std::floor(cy), Canvas.Pen.Color);
        return;
    }
    if (Begin(Canvas, StyleOf(Canvas, true, true)))
        EllipseAdd(cx - Radius, cy - Radius, cx + Radius, cy + Radius);
}

// The polygon cut to the box, one side at a time (Sutherland-Hodgman).
void TPictureRecording::PolygonAdd(std::span<const TPointF> Points)
{
    if (Points.size() < 2 || !std::ranges::all_of(Points, Finite))
        return;
    std::vector<TPointF> in(Points.begin(), Points.end()), out;
    const bool inside = std::ranges::all_of(
        in, [&](TPointF p) { return p.X >= FBox.L && p.X <= FBox.R && p.Y >= FBox.T && p.Y <= FBox.B; });
    if (!inside) {
        auto cut = [&](auto keep, auto cross) {
            out.clear();
            for (std::size_t i = 0; i < in.size(); ++i) {
                const TPointF a = in[i], b = in[(i + 1) % in.size()];
                if (keep(a))
                    out.push_back(a);
                if (keep(a) != keep(b))
                    out.push_back(cross(a, b));
            }
            in.swap(out);
        };
        auto atX = [](double x) {
            return [x](TPointF a, TPointF b) { return TPointF{x, a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X)}; };
        };
        auto atY = [](double y) {
            return [y](TPointF a, TPointF b) { return TPointF{a.X + (b.X - a.X) * (y - a.Y) / (b.Y - a.Y), y}; };
        };
        cut([&](TPointF p) { return p.X >= FBox.L; }, atX(FBox.L));
        cut([&](TPointF p) { return p.X <= FBox.R; }, atX(FBox.R));
        cut([&](TPointF p) { return p.Y >= FBox.T; }, atY(FBox.T));
        cut([&](TPointF p) { return p.Y <= FBox.B; }, atY(FBox.B));
        if (in.size() < 3)
            return;
    }
    const std::size_t first = FPoints.size();
    FPoints.insert(FPoints.end(), in.begin(), in.end());
    Add(TKind::Polygon, first);
}

void TPictureRecording::Polygon(const TCanvas& Canvas, std::span<const TPoint> Points)
{
    std::vector<TPointF> p(Points.size());
    std::ranges::transform(Points, p.begin(), [](TPoint q) { return TPointF{double(q.X), double(q.Y)}; });
    PrecisePolygon(Canvas, p);
}

void TPictureRecording::PrecisePolygon(const TCanvas& Canvas, std::span<const TPointF> Points)
{
    if (!Begin(Canvas, StyleOf(Canvas, true, true)))
        return;
    std::vector<TPointF> p(Points.size());
    std::ranges::transform(Points, p.begin(), [](TPointF q) { return TPointF{q.X + Half, q.Y + Half}; });
    PolygonAdd(p);
}

// ----------------------------------------------------------------- text

void TPictureRecording::TextAdd(const TCanvas& Canvas, double X, double Y, const std::string& Text)
{
    if (Text.empty() || !std::isfinite(X) || !std::isfinite(Y))
        return;
    // Placed as TextOut places it: the reference point by the alignment,
    // the glyphs on a baseline turned by the escapement.
    const TTextMetrics m = FontEngine::Instance().Metrics(Canvas.Font);
    const TCanvas::TTextPlace place = Canvas.TextPlace(Text);
    const double u = place.U, v = place.V, width = place.Width;
    const double degrees = Canvas.Font.Escapement / 10.0, angle = degrees * std::numbers::pi / 180;
    const double ux = std::cos(angle), uy = -std::sin(angle), vx = std::sin(angle), vy = std::cos(angle);
    auto at = [&](double uu, double vv) { return TPointF{X + uu * ux + vv * vx, Y + uu * uy + vv * vy}; };
    // Text wholly outside the clip is left out; text across its edge is
    // kept whole, as SVG readers need no clip for it.
    double l = INFINITY, t = INFINITY, r = -INFINITY, b = -INFINITY;
    for (const TPointF c : {at(u, v - m.Ascent), at(u + width, v - m.Ascent), at(u, v + m.Descent),
                            at(u + width, v + m.Descent)}) {
        l = std::min(l, c.X);
        r = std::max(r, c.X);
        t = std::min(t, c.Y);
        b = std::max(b, c.Y);
    }
    if (r <= FBox.L || l >= FBox.R || b <= FBox.T || t >= FBox.B)
        return;
    const std::size_t first = FPoints.size();
    FPoints.push_back(at(u, v));
    Add(TKind::Text, first, degrees, Text);
}

void TPictureRecording::Text(const TCanvas& Canvas, int X, int Y, const std::string& Text)
{
    if (Begin(Canvas, StyleOf(Canvas, false, false)))
        TextAdd(Canvas, X, Y, Text);
}

void TPictureRecording::PreciseText(const TCanvas& Canvas, TPointF At, const std::string& Text)
{
    if (Begin(Canvas, StyleOf(Canvas, false, false)))
        TextAdd(Canvas, At.X, At.Y, Text);
}

// ----------------------------------------------------------------- replay

void TPictureRecording::Replay(QPainter& Painter, bool EllipsesAsCurves) const
{
    // The shapes are played on a grid of 1/64 pixel, fine enough for any
    // zoom a reader offers, in whole numbers, which the devices write
    // shortest: a PDF of many shapes is smaller by a third, and written
    // faster by about as much, as in fractions of nine digits.
    constexpr double Grid = 64;
    auto grid = [](double v) { return std::round(v * Grid); };
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.scale(1 / Grid, 1 / Grid);
    int style = -1, clip = -1, fontStyle = -1;
    QFont font;
    QColor ink;
    std::vector<QPointF> points;
    for (const TItem& item : FItems) {
        if (item.Style != style) {
            style = item.Style;
            const TStyle& s = FStyles[std::size_t(style)];
            if (s.Pen.Style == psClear) {
                Painter.setPen(Qt::NoPen);
            } else {
                const bool thin = s.Pen.Width <= 1;
                Painter.setPen(QPen(Colour(s.Pen.Color), std::max(s.Pen.Width, 1) * Grid, Qt::SolidLine,
                                    thin ? Qt::FlatCap : Qt::RoundCap, thin ? Qt::MiterJoin : Qt::RoundJoin));
            }
            Painter.setBrush(s.Brush.Style == bsClear ? QBrush(Qt::NoBrush) : QBrush(Colour(s.Brush.Color)));
        }
        if (item.Clip != clip) {
            clip = item.Clip;
            const std::vector<TRect>& rects = FClips[std::size_t(clip)];
            if (rects.empty()) {
                Painter.setClipping(false);
            } else {
                QRegion region;
                for (const TRect& r : rects)
                    region += QRect(QPoint(r.Left, r.Top) * Grid, QPoint(r.Right, r.Bottom) * Grid).normalized();
                Painter.setClipRegion(region);
            }
        }
        points.resize(item.Count);
        for (std::size_t i = 0; i < item.Count; ++i)
            points[i] = {grid(FPoints[item.First + i].X), grid(FPoints[item.First + i].Y)};
        switch (item.Kind) {
        case TKind::Lines: Painter.drawPolyline(points.data(), int(points.size())); break;
        case TKind::Rect: Painter.drawRect(QRectF(points[0], points[1])); break;
        case TKind::Fill:
            if (points.size() == 2) {
                Painter.drawRect(QRectF(points[0], points[1]));
            } else {
                QPainterPath boxes;
                boxes.setFillRule(Qt::WindingFill);
                for (std::size_t i = 0; i + 1 < points.size(); i += 2)
                    boxes.addRect(QRectF(points[i], points[i + 1]));
                Painter.drawPath(boxes);
            }
            break;
        case TKind::Ellipse:
            if (EllipsesAsCurves)
                Painter.drawPath(EllipseCurves(points[0], points[1]));
            else
                Painter.drawEllipse(QRectF(points[0], points[1]));
            break;
        case TKind::Polygon: Painter.drawPolygon(points.data(), int(points.size()), Qt::OddEvenFill); break;
        case TKind::Text: {
            if (item.Style != fontStyle) {
                fontStyle = item.Style;
                font = QtFont(FStyles[std::size_t(item.Style)].Font);
                ink = Colour(FStyles[std::size_t(item.Style)].Font.Color);
            }
            Painter.save();
            Painter.translate(points[0]);
            Painter.scale(Grid, Grid);
            Painter.rotate(-item.Angle);
            Painter.setFont(font);
            Painter.setPen(ink);
            Painter.drawText(QPointF(0, 0), QString::fromStdString(item.Text));
            Painter.restore();
            break;
        }
        }
    }
}

// ----------------------------------------------------------------- files

namespace {

// PDF readers take pages of up to 200 inches a side; a larger drawing is
// written at a finer resolution onto a page that size.
constexpr int PdfLargestSide = 14400;

QByteArray SvgOf(const TPictureRecording& recording, const std::string& what)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(QSize(recording.Width(), recording.Height()));
    svg.setViewBox(QRect(0, 0, recording.Width(), recording.Height()));
    QPainter painter;
    if (!painter.begin(&svg))
        throw EInvalidGraphic(what + "cannot make a SVG file");
    recording.Replay(painter);
    painter.end();
    return out.data();
}

QByteArray PdfOf(const TPictureRecording& recording, const std::string& what)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&out);
    const int side = std::max(recording.Width(), recording.Height());
    const int resolution = side <= PdfLargestSide ? 72 : (72 * side + PdfLargestSide - 1) / PdfLargestSide;
    pdf.setResolution(resolution);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(QPageSize(QSizeF(recording.Width() * 72.0 / resolution, recording.Height() * 72.0 / resolution),
                              QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setCreator(QStringLiteral("Pelmora"));
    QPainter painter;
    if (!painter.begin(&pdf))
        throw EInvalidGraphic(what + "cannot make a PDF file");
    recording.Replay(painter, true);
    painter.end();
    return out.data();
}

// Puts the recording on the canvas while it lives.
class TRecordingOn {
public:
    TRecordingOn(TCanvas& Canvas, TPictureRecording& Recording) : FCanvas(Canvas) { Canvas.Recorder = &Recording; }
    ~TRecordingOn() { FCanvas.Recorder = nullptr; }
    TRecordingOn(const TRecordingOn&) = delete;
    TRecordingOn& operator=(const TRecordingOn&) = delete;

private:
    TCanvas& FCanvas;
};

}  // namespace

void PictureDrawnSave(const std::string& FileName, int Width, int Height, const std::function<void(TQelImage&)>& Paint)
{
    const std::string what = "Cannot write picture '" + FileName + "': ";
    const std::string ext = PictureExtension(FileName);
    const bool vector = ext == "svg" || ext == "pdf";
    if (!vector && !PictureFormatWritable(FileName))
        throw EInvalidGraphic(what + (ext.empty() ? "no picture format named" : "unknown picture format (." + ext + ")"));
    if (Width < 1 || Height < 1 || Width > TBitmap::MaxSide || Height > TBitmap::MaxSide ||
        std::int64_t(Width) * Height > TBitmap::MaxPixels)
        throw EInvalidGraphic(what + "invalid picture size (" + std::to_string(Width) + " x " + std::to_string(Height) + ")");
    QByteArray data;
    try {
        TQelImage surface(nullptr);
        surface.SetHeightWidth(Height, Width);
        if (!vector) {
            Paint(surface);
            SavePicture(FileName, surface.Picture().Bitmap());
            return;
        }
        TPictureRecording recording(Width, Height);
        {
            const TRecordingOn on(surface.Canvas(), recording);
            Paint(surface);
        }
        data = ext == "svg" ? SvgOf(recording, what) : PdfOf(recording, what);
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic(what + "not enough memory");
    } catch (const EOutOfResources&) {
        throw EInvalidGraphic(what + "not enough memory");
    }
    const std::string why = ReplaceFileContents(FileName, {data.constData(), std::size_t(data.size())});
    if (!why.empty())
        throw EInvalidGraphic(what + why);
}

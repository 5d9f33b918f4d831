// The canvas's filled shapes: rectangles, ellipses and polygons, each row
// written as spans of the brush, then the outline in the pen.
#include "toolkit/graphics/CanvasPrivate.h"
#include "toolkit/graphics/Graphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdlib>

using namespace canvas_detail;

namespace {

// The x-span of the ellipse that fits [0, w) x [0, h) on row y, as pixel
// columns [x1, x2]; false when the row misses it. Working from the box's
// corner gives the same shape wherever the box lies.
bool EllipseRow(i64 w, i64 h, i64 y, i64& x1, i64& x2)
{
    if (y < 0 || y >= h)
        return false;
    const double dy = (2.0 * double(y) + 1.0 - double(h)) / double(h);
    const double q = 1.0 - dy * dy;
    if (q < 0)
        return false;
    const double hw = double(w) / 2.0 * std::sqrt(q);
    const double cx = double(w) / 2.0;
    x1 = i64(std::ceil(cx - hw - 0.5));
    x2 = i64(std::floor(cx + hw - 0.5));
    return x1 <= x2;
}

}  // namespace

void TCanvas::FillRect(const TRect& r)
{
    if (Recorder) Recorder->Rectangle(*this, r, false);
    DirtyScope dirty(*this);
    if (Brush.Style == bsClear || r.Empty())
        return;
    const i64 top = std::max<i64>(r.Top, 0), bottom = std::min<i64>(r.Bottom, bitmap_.Height());
    for (i64 y = top; y < bottom; ++y)
        BrushSpan(int(y), r.Left, r.Right);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (Recorder) Recorder->Rectangle(*this, {x1, y1, x2, y2}, true);
    DirtyScope dirty(*this);
    const i64 l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    if (l == r || t == b)
        return;
    const i64 top = std::max<i64>(t, 0), bottom = std::min<i64>(b, bitmap_.Height());
    if (Pen.Style == psClear || Pen.Width > 1) {
        for (i64 y = top; y < bottom; ++y)
            BrushSpan(int(y), l, r);
        if (Pen.Style == psClear)
            return;
        const TPoint saved = PenPos;
        const TPoint corners[] = {{int(l), int(t)}, {int(r - 1), int(t)}, {int(r - 1), int(b - 1)}, {int(l), int(b - 1)}};
        for (int i = 0; i < 4; ++i) {
            const TPoint a = corners[i], c = corners[(i + 1) % 4];
            WideLine(a.X, a.Y, c.X, c.Y);
        }
        PenPos = saved;
        return;
    }
    // One-pixel pen: each border pixel once, the brush inside it. Wholly
    // inside one clip rectangle in copy mode (a plot's background, at every
    // repaint), the rows are written straight and marked once.
    i64 cl, ct, cr, cb;
    if (Pen.Mode != pmNot && Brush.Style != bsClear && FastClipBounds(cl, ct, cr, cb) && l >= cl && r <= cr &&
        t >= ct && b <= cb) {
        const std::uint32_t pen = ColorToPixel(ColorToRGB(Pen.Color)), brush = ColorToPixel(ColorToRGB(Brush.Color));
        const bool stream = (r - l) * (b - t) * i64(sizeof(std::uint32_t)) > StreamFillBytes;
        for (i64 y = t; y < b; ++y) {
            std::uint32_t* row = bitmap_.Row(int(y));
            if (y == t || y == b - 1) {
                FillRow(row, l, r, pen);
                continue;
            }
            row[l] = pen;
            row[r - 1] = pen;
            if (r - 1 > l + 1)
                (stream ? StreamRow : FillRow)(row, l + 1, r - 1, brush);
        }
        if (stream)
            StreamFence();
        Touch(l, t, r, b);
        return;
    }
    for (i64 y = top; y < bottom; ++y) {
        if (y == t || y == b - 1) {
            PenSpan(int(y), l, r);
        } else {
            PenSpan(int(y), l, l + 1);
            if (r - 1 > l)
                PenSpan(int(y), r - 1, r);
            BrushSpan(int(y), l + 1, r - 1);
        }
    }
}

// Row y of the ring-and-inside shape of an ellipse in a w x h box whose
// pen takes `shrink` pixels, relative to the box's corner: the shape covers
// [a, c] and its inside [ia, ic] (none when ia > ic).
TCanvas::EllipseSpans TCanvas::EllipseRowSpans(i64 w, i64 h, i64 shrink, i64 y)
{
    EllipseSpans row;
    if (!EllipseRow(w, h, y, row.a, row.c))
        return row;
    // A pixel is inside when its four neighbours are in the inner ellipse
    // too, so a one-pixel pen leaves a thin closed ring.
    const i64 iw = w - 2 * shrink, ih = h - 2 * shrink, iy = y - shrink;
    i64 u1, u2, d1, d2, m1, m2;
    if (iw > 0 && ih > 0 && EllipseRow(iw, ih, iy, m1, m2) && EllipseRow(iw, ih, iy - 1, u1, u2) &&
        EllipseRow(iw, ih, iy + 1, d1, d2)) {
        row.ia = std::max({m1 + 1, u1, d1}) + shrink;
        row.ic = std::min({m2 - 1, u2, d2}) + shrink;
    }
    row.any = true;
    return row;
}

bool TCanvas::DiscAgain(int x1, int y1, int x2, int y2)
{
    const bool pen = Pen.Style != psClear;
    if (i64(x2) - x1 != discW_ || i64(y2) - y1 != discH_ || Pen.Width != discPenWidth_ || pen != discPen_ ||
        Brush.Style == bsClear)
        return false;
    const std::uint32_t px = ColorToPixel(ColorToRGB(Brush.Color));
    if (pen && (Pen.Mode == pmNot || ColorToPixel(ColorToRGB(Pen.Color)) != px))
        return false;
    i64 cl, ct, cr, cb;
    const i64 ol = i64(x1) - discGrow_, ot = i64(y1) - discGrow_;
    if (!FastClipBounds(cl, ct, cr, cb) || ol + discInk_.Left < cl || ot + discInk_.Top < ct ||
        ol + discInk_.Right > cr || ot + discInk_.Bottom > cb)
        return false;
    std::uint32_t* const corner = bitmap_.Row(0) + ot * bitmap_.Width() + ol;
    for (const DiscRun& run : discRuns_)
        FillRow(corner + i64(run.y) * bitmap_.Width(), run.a, run.b, px);
    Touch(ol + discInk_.Left, ot + discInk_.Top, ol + discInk_.Right, ot + discInk_.Bottom);
    return true;
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    if (Recorder) Recorder->Ellipse(*this, {x1, y1, x2, y2});
    DirtyScope dirty(*this);
    if (DiscAgain(x1, y1, x2, y2))
        return;
    const i64 l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2), b = std::max(y1, y2);
    if (l == r || t == b)
        return;
    // The pen covers the outer ellipse less the inside of the inner one; the
    // brush fills that inside.
    const bool pen = Pen.Style != psClear;
    const i64 grow = pen ? (Pen.Width - 1) / 2 : 0;
    const i64 shrink = pen ? std::max(Pen.Width, 1) - 1 : 0;
    const i64 ol = l - grow, ot = t - grow, w = r - l + 2 * grow, h = b - t + 2 * grow;
    if (w <= 0 || h <= 0)
        return;  // a pen of negative width can take the whole box

    // Small ellipses (the points of a plot) come in thousands of one size:
    // their rows are worked out once.
    constexpr i64 CachedSide = 64;
    const bool cached = w <= CachedSide && h <= CachedSide;
    if (cached && (ellipseW_ != w || ellipseH_ != h || ellipseShrink_ != shrink)) {
        ellipseRows_.resize(std::size_t(h));
        ellipseInk_ = {};
        for (i64 y = 0; y < h; ++y) {
            const EllipseSpans s = ellipseRows_[std::size_t(y)] = EllipseRowSpans(w, h, shrink, y);
            if (s.any)
                ellipseInk_ = ellipseInk_.United({int(s.a), int(y), int(s.c + 1), int(y + 1)});
        }
        ellipseW_ = w;
        ellipseH_ = h;
        ellipseShrink_ = shrink;
    }
    if (cached && (discW_ != r - l || discH_ != b - t || discPenWidth_ != Pen.Width || discPen_ != pen)) {
        discRuns_.clear();
        for (i64 y = 0; y < h; ++y)
            if (const EllipseSpans& s = ellipseRows_[std::size_t(y)]; s.any)
                discRuns_.push_back({int(y), int(s.a), int(s.c + 1)});
        discInk_ = ellipseInk_;
        discW_ = int(r - l);
        discH_ = int(b - t);
        discPenWidth_ = Pen.Width;
        discPen_ = pen;
        discGrow_ = int(grow);
    }

    // A small disc in one colour (the points of a plot) wholly inside one
    // clip rectangle and the bitmap: one span a row, without a test.
    const std::uint32_t brushPx = ColorToPixel(ColorToRGB(Brush.Color));
    const bool oneColour =
        Brush.Style != bsClear && (!pen || (Pen.Mode != pmNot && ColorToPixel(ColorToRGB(Pen.Color)) == brushPx));
    i64 cl, ct, cr, cb;
    if (cached && oneColour && FastClipBounds(cl, ct, cr, cb) && ol >= cl && ot >= ct && ol + w <= cr &&
        ot + h <= cb) {
        for (i64 y = 0; y < h; ++y)
            if (const EllipseSpans& s = ellipseRows_[std::size_t(y)]; s.any) {
                FillRow(bitmap_.Row(int(ot + y)) + ol, s.a, s.c + 1, brushPx);
            }
        Touch(ol + ellipseInk_.Left, ot + ellipseInk_.Top, ol + ellipseInk_.Right, ot + ellipseInk_.Bottom);
        return;
    }

    const i64 top = std::max<i64>(ot, 0), bottom = std::min<i64>(ot + h, bitmap_.Height());
    for (i64 y = top; y < bottom; ++y) {
        const EllipseSpans s = cached ? ellipseRows_[std::size_t(y - ot)] : EllipseRowSpans(w, h, shrink, y - ot);
        if (!s.any)
            continue;
        const i64 a = ol + s.a, c = ol + s.c, ia = ol + s.ia, ic = ol + s.ic;
        if (!pen) {
            BrushSpan(int(y), a, c + 1);
        } else if (ia > ic) {
            PenSpan(int(y), a, c + 1);
        } else {
            PenSpan(int(y), a, ia);
            BrushSpan(int(y), ia, ic + 1);
            PenSpan(int(y), ic + 1, c + 1);
        }
    }
}

namespace {

// Where one edge of a triangle crosses the centres of rows: ceil(x - 1/2)
// for the x at which the edge meets y + 1/2, followed from row to row as
// the quotient and remainder of N / D, N = 2·x0·dy - dy + (2·(y - y0) + 1)·dx
// and D = 2·dy (dy > 0).
struct EdgeStepper {
    i64 q = 0, r = 0, d = 1, stepQ = 0, stepR = 0;
    EdgeStepper(TPoint a, TPoint b, i64 y)
    {
        if (a.Y > b.Y)
            std::swap(a, b);
        const i64 dx = i64(b.X) - a.X, dy = i64(b.Y) - a.Y;
        d = 2 * dy;
        // N / D is a.X plus the part below, which stays small for the
        // short edges of small shapes.
        const i64 n = (2 * (y - a.Y) + 1) * dx - dy;
        const i64 f = FloorDiv(n, d);
        q = a.X + f;
        r = n - f * d;
        stepQ = FloorDiv(2 * dx, d);
        stepR = 2 * dx - stepQ * d;
    }
    // Rounded down, d > 0. Numbers of 32 bits take the quicker division.
    static i64 FloorDiv(i64 n, i64 d)
    {
        if (n >= INT32_MIN && n <= INT32_MAX && d <= INT32_MAX) {
            const std::int32_t n32 = std::int32_t(n), d32 = std::int32_t(d);
            return n32 / d32 - ((n32 % d32 != 0) & (n32 < 0));
        }
        return n / d - ((n % d != 0) && (n < 0));
    }
    i64 Pixel() const { return q + (r > 0); }
    // Without a branch: the carries come at the slope's irregular intervals.
    void Next()
    {
        r += stepR;
        const i64 carry = r >= d;
        r -= d & -carry;
        q += stepQ + carry;
    }
};

}  // namespace

// The brush of a three-cornered polygon, row by row with each edge stepped
// in integers: the pixels the general fill below gives, whose floating
// arithmetic rounds to the same pixels for corners this close together
// (its error stays far below the 1 / (2·dy) that separates a centre from
// the next).
bool TCanvas::FillTriangle(std::span<const TPoint> points)
{
    constexpr i64 Near = i64(1) << 20;
    for (const TPoint& p : points)
        if (std::abs(i64(p.X)) > Near || std::abs(i64(p.Y)) > Near)
            return false;
    // The corners from the top, by exchanges without a branch (corners of
    // one row may come in either order: their edges give the same rows).
    std::array<TPoint, 3> v{points[0], points[1], points[2]};
    auto order = [](TPoint& a, TPoint& b) {
        const bool swap = b.Y < a.Y;
        const TPoint lo = swap ? b : a, hi = swap ? a : b;
        a = lo;
        b = hi;
    };
    order(v[0], v[1]);
    order(v[1], v[2]);
    order(v[0], v[1]);
    i64 cl, ct, cr, cb;
    FastClipBounds(cl, ct, cr, cb);
    const i64 top = std::max<i64>(v[0].Y, ct), bottom = std::min<i64>(v[2].Y, cb);
    if (top >= bottom)
        return true;
    const std::uint32_t px = ColorToPixel(ColorToRGB(Brush.Color));
    // Within one clip rectangle the rows are written straight and their
    // bounds marked once, as PlotSpan would mark them row by row.
    const bool plain = FastClipBounds(cl, ct, cr, cb);
    i64 l = INT64_MAX, r = INT64_MIN, t = INT64_MAX, b = INT64_MIN;
    auto span = [&](i64 y, i64 x1, i64 x2) {
        if (!plain) {
            PlotSpan(int(y), x1, x2, px, false);
            return;
        }
        x1 = std::max(x1, cl);
        x2 = std::min(x2, cr);
        if (x1 >= x2)
            return;
        FillRow(bitmap_.Row(int(y)), x1, x2, px);
        l = std::min(l, x1);
        r = std::max(r, x2);
        t = std::min(t, y);
        b = y + 1;
    };
    EdgeStepper along(v[0], v[2], top);
    // The short edges: the upper one above the middle corner's row.
    i64 y = top;
    for (int part = 0; part < 2; ++part) {
        const TPoint a = v[std::size_t(part)], b = v[std::size_t(part) + 1];
        const i64 end = std::min<i64>(b.Y, bottom);
        if (y >= end)
            continue;
        EdgeStepper side(a, b, y);
        for (; y < end; ++y) {
            const i64 x1 = along.Pixel(), x2 = side.Pixel();
            if (x1 != x2)
                span(y, std::min(x1, x2), std::max(x1, x2));
            along.Next();
            side.Next();
        }
    }
    if (l < r)
        Touch(l, t, r, b);
    return true;
}

// Alternate fill of the pixel centres inside the polygon, then its outline.
void TCanvas::Polygon(std::span<const TPoint> points)
{
    if (Recorder) Recorder->Polygon(*this, points);
    DirtyScope dirty(*this);
    if (points.size() < 2)
        return;
    if (Brush.Style != bsClear && points.size() == 3 && FillTriangle(points)) {
        // Filled by whole rows, as below.
    } else if (Brush.Style != bsClear && points.size() >= 3) {
        // Each edge is visited only on the rows it crosses (a row is crossed
        // where its centre lies in [top, bottom) of the edge), so a polygon
        // of many short edges costs its area, not its edges times its rows.
        struct Edge {
            i64 First, End;  // rows, clipped to the bitmap
            TPoint A, B;
        };
        const i64 height = bitmap_.Height();
        std::vector<Edge> edges;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint a = points[i], b = points[(i + 1) % points.size()];
            const i64 first = std::max<i64>(std::min(a.Y, b.Y), 0), end = std::min<i64>(std::max(a.Y, b.Y), height);
            if (first < end)
                edges.push_back({first, end, a, b});
        }
        std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.First < r.First; });
        std::vector<const Edge*> active;
        std::vector<double> xs;
        std::size_t next = 0;
        for (i64 y = edges.empty() ? 0 : edges.front().First; y < height && (next < edges.size() || !active.empty());
             ++y) {
            if (active.empty() && edges[next].First > y)
                y = edges[next].First;
            while (next < edges.size() && edges[next].First == y)
                active.push_back(&edges[next++]);
            std::erase_if(active, [y](const Edge* e) { return e->End <= y; });
            const double yc = double(y) + 0.5;
            xs.clear();
            for (const Edge* e : active) {
                const double ya = e->A.Y, yb = e->B.Y;
                xs.push_back(double(e->A.X) + (yc - ya) * double(i64(e->B.X) - e->A.X) / (yb - ya));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const i64 xa = i64(std::ceil(ClampCoord(xs[i] - 0.5)));
                const i64 xb = i64(std::ceil(ClampCoord(xs[i + 1] - 0.5)));
                if (xa < xb)
                    BrushSpan(int(y), xa, xb);
            }
        }
    }
    if (Pen.Width > 1) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint a = points[i], b = points[(i + 1) % points.size()];
            WideLine(a.X, a.Y, b.X, b.Y);
        }
        return;
    }
    // The edges as one closed polyline: its lines are ThinLine's. A
    // triangle's or a box's corners stay on the stack.
    TPoint few[9];
    thread_local std::vector<TPoint> many;
    std::span<TPoint> closed(few, points.size() + 1);
    if (points.size() >= std::size(few)) {
        many.resize(points.size() + 1);
        closed = many;
    }
    std::copy(points.begin(), points.end(), closed.begin());
    closed.back() = points.front();
    ThinLines(closed);
}

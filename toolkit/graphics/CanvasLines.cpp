// The canvas's lines: one-pixel lines (with a shortcut for the short lines
// plots are made of), wide round-ended lines and polylines.
#include "toolkit/graphics/CanvasPrivate.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>

using namespace canvas_detail;

namespace {

struct Interval {
    double lo = 1, hi = 0;
    bool Empty() const { return lo > hi; }
    void Join(double l, double h)
    {
        if (l > h)
            return;
        if (Empty()) {
            lo = l;
            hi = h;
        } else {
            lo = std::min(lo, l);
            hi = std::max(hi, h);
        }
    }
};

// The part of the line y = yc where a·x + b lies in [lo, hi].
void LinearRange(double a, double b, double lo, double hi, double& from, double& to)
{
    if (a == 0) {
        if (b < lo || b > hi) {
            from = 1;
            to = 0;
        }
        return;
    }
    double x1 = (lo - b) / a, x2 = (hi - b) / a;
    if (x1 > x2)
        std::swap(x1, x2);
    from = std::max(from, x1);
    to = std::min(to, x2);
}

// a when c holds, else b, without a branch: the line code below takes
// its direction from random data, where a branch would be mispredicted
// half of the time.
template <class T>
inline T Pick(bool c, T a, T b)
{
    const T mask = -static_cast<T>(c);
    return (a & mask) | (b & ~mask);
}

// Lines of up to this many pixels take the branch-free path below.
constexpr int ShortLineSteps = 4;

// The minor offsets of the pixels of such a line, by its major and minor
// extent (minor <= major): floor((2·i·minor + major) / (2·major)) for
// pixel i.
constexpr auto ShortLineOffsets = [] {
    std::array<std::array<std::array<int, ShortLineSteps>, ShortLineSteps + 1>, ShortLineSteps + 1> t{};
    for (int major = 0; major <= ShortLineSteps; ++major)
        for (int minor = 0; minor <= major; ++minor)
            for (int i = 0; i < ShortLineSteps; ++i)
                t[major][minor][i] = (2 * i * minor + major) / (2 * std::max(major, 1));
    return t;
}();

// The pixels of ThinLine for a line whose ends both lie on the bitmap, and
// so every pixel between: row y starts at bits + y·stride. False when
// there is no pixel to draw; else `last` is the last pixel drawn.
[[gnu::always_inline]] inline bool PlotLineInside(std::uint32_t* bits, i64 stride, int x0, int y0, int x1, int y1,
                                                  std::uint32_t px, TPoint& last)
{
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const bool xMajor = dx >= dy;
    const int major = Pick(xMajor, dx, dy), minor = Pick(xMajor, dy, dx);
    const int steps = major;  // the end pixel is left out
    if (steps == 0)
        return false;
    const int stepX = 2 * int(x1 >= x0) - 1, stepY = 2 * int(y1 >= y0) - 1;
    const i64 rowStep = Pick<i64>(y1 >= y0, stride, -stride);
    const i64 majorStep = Pick<i64>(xMajor, stepX, rowStep), minorStep = Pick<i64>(xMajor, rowStep, stepX);
    std::uint32_t* p = bits + y0 * stride + x0;
    *p = px;
    int lastCarries;
    if (steps <= ShortLineSteps) {
        // Most segments of a dense plot are this short: every step is
        // taken, each pixel found on its own, and the steps past the end
        // write the first pixel again (in copy mode no harm).
        const auto& offsets = ShortLineOffsets[std::size_t(major)][std::size_t(minor)];
        for (int i = 1; i < ShortLineSteps; ++i)
            p[Pick<i64>(i < steps, i * majorStep + offsets[std::size_t(i)] * minorStep, 0)] = px;
        lastCarries = offsets[std::size_t(steps - 1)];
    } else if (minor == 0) {
        // Straight along a row or a column, as the columns of dense data.
        for (int i = 1; i < steps; ++i)
            p[i * majorStep] = px;
        lastCarries = 0;
    } else {
        // The minor offset of pixel i is floor((2·i·minor + major) /
        // (2·major)), followed as a remainder and its carries, without a
        // branch: a carry comes at the slope's irregular intervals.
        const int den = 2 * major, inc = 2 * minor;
        int rem = major, carries = 0;
        for (int i = 1; i < steps; ++i) {
            rem += inc;
            const int carry = int(rem >= den);
            rem -= den & -carry;
            p += majorStep + (minorStep & -i64(carry));
            carries += carry;
            *p = px;
        }
        lastCarries = carries;
    }
    const int mLast = steps - 1;
    last.X = x0 + stepX * Pick(xMajor, mLast, lastCarries);
    last.Y = y0 + stepY * Pick(xMajor, lastCarries, mLast);
    return true;
}

}  // namespace

// ------------------------------------------------------------------ lines

void TCanvas::LineTo(int x, int y)
{
    if (Recorder) Recorder->Lines(*this, std::array{PenPos, TPoint{x, y}});
    DirtyScope dirty(*this);
    // One line alone: the general code, whose loop costs least for the
    // lone short lines of a trail.
    if (Pen.Width > 1)
        WideLine(PenPos.X, PenPos.Y, x, y);
    else
        ThinLine(PenPos.X, PenPos.Y, x, y, false);
    PenPos = {x, y};
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (Recorder) Recorder->Lines(*this, points);
    // One thin line with both ends inside a clip of at most one rectangle,
    // as a plot drawn line by line has thousands of: drawn straight and
    // marked at once, as below.
    if (points.size() == 2 && Pen.Width <= 1 && Pen.Style != psClear && Pen.Mode != pmNot && dirtyDepth_ == 0) {
        i64 cl, ct, cr, cb;
        const TPoint a = points[0], b = points[1];
        auto inside = [&](TPoint p) { return p.X >= cl && p.X < cr && p.Y >= ct && p.Y < cb; };
        if (FastClipBounds(cl, ct, cr, cb) && inside(a) && inside(b)) {
            TPoint last;
            const bool drawn = PlotLineInside(bitmap_.Row(0), bitmap_.Width(), a.X, a.Y, b.X, b.Y,
                                              ColorToPixel(ColorToRGB(Pen.Color)), last);
            // The pen moves before the mark, whose OnChange may look.
            PenPos = b;
            if (drawn)
                bitmap_.MarkDirty({std::min(a.X, last.X), std::min(a.Y, last.Y), std::max(a.X, last.X) + 1,
                                   std::max(a.Y, last.Y) + 1});
            return;
        }
    }
    DirtyScope dirty(*this);
    if (points.empty())
        return;
    // Each line as LineTo draws it, under the one dirty mark.
    if (Pen.Width > 1) {
        for (std::size_t i = 1; i < points.size(); ++i)
            WideLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
    } else {
        ThinLines(points);
    }
    PenPos = points.back();
}

void TCanvas::ThinLines(std::span<const TPoint> points)
{
    if (Pen.Style == psClear || points.size() < 2)
        return;
    // A line whose ends both lie inside the bitmap and a clip of at most
    // one rectangle (a plot's interior, for example) has every pixel
    // inside: it is drawn without a test per pixel. This is the usual case
    // on a plot, with thousands of short lines.
    i64 cl, ct, cr, cb;
    const bool plain = FastClipBounds(cl, ct, cr, cb) && Pen.Mode != pmNot && cl < cr && ct < cb;
    const std::uint32_t px = ColorToPixel(ColorToRGB(Pen.Color));
    auto inside = [&](TPoint p) { return p.X >= cl && p.X < cr && p.Y >= ct && p.Y < cb; };
    std::uint32_t* const bits = plain ? bitmap_.Row(0) : nullptr;
    const i64 stride = bitmap_.Width();
    // The pixels drawn that way, bounded here and marked once.
    int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
    bool startInside = plain && inside(points[0]);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const TPoint p0 = points[i - 1], p1 = points[i];
        const bool endInside = plain && inside(p1);
        TPoint last;
        if (!(startInside && endInside))
            ThinLine(p0.X, p0.Y, p1.X, p1.Y, false);
        else if (PlotLineInside(bits, stride, p0.X, p0.Y, p1.X, p1.Y, px, last)) {
            l = std::min({l, p0.X, last.X});
            t = std::min({t, p0.Y, last.Y});
            r = std::max({r, p0.X, last.X});
            b = std::max({b, p0.Y, last.Y});
        }
        startInside = endInside;
    }
    if (l <= r)
        Touch(l, t, i64(r) + 1, i64(b) + 1);
}

// One-pixel line: the pixel nearest the exact line in each column (or row,
// for steep lines), from the start up to but not including the end.
void TCanvas::ThinLine(i64 x0, i64 y0, i64 x1, i64 y1, bool includeEnd)
{
    if (Pen.Style == psClear)
        return;
    // A clip of one rectangle is tested like the bitmap's own bounds; only
    // more rectangles need PtVisible.
    i64 cl, ct, cr, cb;
    const bool fastClip = FastClipBounds(cl, ct, cr, cb);
    const std::uint32_t px = ColorToPixel(ColorToRGB(Pen.Color));
    const bool invert = Pen.Mode == pmNot;

    const i64 dx = std::llabs(x1 - x0), dy = std::llabs(y1 - y0);
    const i64 steps = std::max(dx, dy) + (includeEnd ? 1 : 0);
    if (steps == 0)
        return;
    const bool xMajor = dx >= dy;
    const i64 major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const i64 sMajor = xMajor ? (x1 >= x0 ? 1 : -1) : (y1 >= y0 ? 1 : -1);
    const i64 sMinor = xMajor ? (y1 >= y0 ? 1 : -1) : (x1 >= x0 ? 1 : -1);
    const i64 m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;

    const i64 mLo = xMajor ? cl : ct, mHi = xMajor ? cr : cb;

    // Only the steps whose major coordinate lies in those bounds.
    i64 iFrom = 0, iTo = steps;  // [iFrom, iTo)
    if (sMajor > 0) {
        iFrom = std::max<i64>(iFrom, mLo - m0);
        iTo = std::min<i64>(iTo, mHi - m0);
    } else {
        iFrom = std::max<i64>(iFrom, m0 - (mHi - 1));
        iTo = std::min<i64>(iTo, m0 - mLo + 1);
    }
    if (iFrom >= iTo)
        return;

    const i64 den = 2 * std::max<i64>(major, 1);
    // minor offset = floor((2·i·minor + major) / (2·major)), kept as a quotient and remainder
    i64 off, rem;
    if (iFrom == 0) {  // the usual case, without a division
        off = 0;
        rem = major;
    } else if (iFrom < (i64(1) << 30) && minor < (i64(1) << 31)) {
        const i64 num = 2 * iFrom * minor + major;
        off = num / den;
        rem = num % den;
    } else {
        const i128 num = i128(2) * iFrom * minor + major;
        off = i64(num / den);
        rem = i64(num % den);
    }
    if (fastClip && !invert) {
        // One clip rectangle in copy mode, as lines crossing a plot's edge
        // are: the same pixels, their bounds kept here and marked once, and
        // the carries taken without a branch (a step carries at most once,
        // as 2·minor <= den).
        i64 l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
        for (i64 i = iFrom; i < iTo; ++i) {
            const i64 m = m0 + sMajor * i;
            const i64 n = n0 + sMinor * off;
            const i64 x = xMajor ? m : n, y = xMajor ? n : m;
            if (x >= cl && y >= ct && x < cr && y < cb) {
                bitmap_.Row(int(y))[x] = px;
                l = std::min(l, x);
                t = std::min(t, y);
                r = std::max(r, x);
                b = std::max(b, y);
            }
            rem += 2 * minor;
            const i64 carry = i64(rem >= den);
            rem -= den & -carry;
            off += carry;
        }
        if (l <= r)
            Touch(l, t, r + 1, b + 1);
        return;
    }
    for (i64 i = iFrom; i < iTo; ++i) {
        const i64 m = m0 + sMajor * i;
        const i64 n = n0 + sMinor * off;
        const i64 x = xMajor ? m : n, y = xMajor ? n : m;
        if (x >= cl && y >= ct && x < cr && y < cb && (fastClip || PtVisible(int(x), int(y)))) {
            Touch(x, y, x + 1, y + 1);
            std::uint32_t& w = bitmap_.Row(int(y))[x];
            w = invert ? (w ^ kRgbMask) : px;
        }
        rem += 2 * minor;
        while (rem >= den) {
            rem -= den;
            ++off;
        }
    }
}

WideSegment::WideSegment(i64 x0, i64 y0, i64 x1, i64 y1, int width)
    : R(width / 2.0), o((width % 2) ? 0.5 : 0.0), ax(double(x0) + o), ay(double(y0) + o), bx(double(x1) + o),
      by(double(y1) + o), dx(bx - ax), dy(by - ay), len2(dx * dx + dy * dy), len(std::sqrt(len2))
{
}

i64 WideSegment::Top() const { return i64(std::floor(ClampCoord(std::min(ay, by) - R))) - 1; }
i64 WideSegment::Bottom() const { return i64(std::ceil(ClampCoord(std::max(ay, by) + R))) + 1; }

bool WideSegment::Row(i64 y, i64& xa, i64& xb) const
{
    const double yc = double(y) + 0.5;
    Interval span;
    for (auto [cx, cy] : {std::pair{ax, ay}, std::pair{bx, by}}) {
        const double v = yc - cy;
        if (std::fabs(v) <= R) {
            const double h = std::sqrt(R * R - v * v);
            span.Join(cx - h, cx + h);
        }
    }
    if (len2 > 0) {
        double from = -1e300, to = 1e300;
        // 0 <= (p - a)·d <= |d|²  and  |(p - a) x d| <= R·|d|
        LinearRange(dx, -ax * dx + (yc - ay) * dy, 0, len2, from, to);
        LinearRange(dy, -ax * dy - (yc - ay) * dx, -R * len, R * len, from, to);
        span.Join(from, to);
    }
    if (span.Empty())
        return false;
    xa = i64(std::ceil(ClampCoord(span.lo - 0.5)));
    xb = i64(std::floor(ClampCoord(span.hi - 0.5)));
    return xa <= xb;
}

// A pen wider than one pixel: every pixel whose centre lies within half the
// width of the segment (round ends). Even widths run along pixel edges.
void TCanvas::WideLine(i64 x0, i64 y0, i64 x1, i64 y1)
{
    if (Pen.Style == psClear)
        return;
    // The short lines of a thick plot come in a few hundred shapes, which
    // move with their start as long as the arithmetic above stays exact
    // to well below a pixel: each shape's rows are worked out once.
    const i64 dx = x1 - x0, dy = y1 - y0;
    if (std::abs(dx) <= WideShape::Reach && std::abs(dy) <= WideShape::Reach && std::abs(x0) <= WideShape::Near &&
        std::abs(y0) <= WideShape::Near && Pen.Width <= WideShape::MaxWidth) {
        WideShapeLine(x0, y0, int(dx), int(dy));
        return;
    }
    const WideSegment seg(x0, y0, x1, y1, Pen.Width);
    const i64 yFrom = std::max<i64>(0, seg.Top());
    const i64 yTo = std::min<i64>(bitmap_.Height() - 1, seg.Bottom());
    for (i64 y = yFrom; y <= yTo; ++y) {
        i64 xa, xb;
        if (seg.Row(y, xa, xb))
            PenSpan(int(y), xa, xb + 1);
    }
}

void TCanvas::WideShapeLine(i64 x0, i64 y0, int dx, int dy)
{
    if (wideShapesWidth_ != Pen.Width) {
        wideShapes_.assign(std::size_t(WideShape::Side * WideShape::Side), {});
        wideShapesWidth_ = Pen.Width;
    }
    WideShape& shape = wideShapes_[std::size_t((dy + WideShape::Reach) * WideShape::Side + dx + WideShape::Reach)];
    if (!shape.made) {
        const WideSegment seg(0, 0, dx, dy, Pen.Width);
        shape.top = seg.Top();
        for (i64 y = shape.top; y <= seg.Bottom(); ++y) {
            i64 xa = 0, xb = -1;
            seg.Row(y, xa, xb);
            shape.rows.push_back({int(xa), int(xb)});
            if (xa <= xb)
                shape.ink = shape.ink.United({int(xa), int(y), int(xb + 1), int(y + 1)});
        }
        shape.made = true;
    }
    // Wholly inside one clip rectangle, in copy mode: the rows are written
    // straight, and marked once.
    i64 cl, ct, cr, cb;
    if (Pen.Mode != pmNot && FastClipBounds(cl, ct, cr, cb) && x0 + shape.ink.Left >= cl &&
        x0 + shape.ink.Right <= cr && y0 + shape.ink.Top >= ct && y0 + shape.ink.Bottom <= cb) {
        const std::uint32_t px = ColorToPixel(ColorToRGB(Pen.Color));
        for (std::size_t r = 0; r < shape.rows.size(); ++r)
            if (const auto [xa, xb] = shape.rows[r]; xa <= xb) {
                FillRow(bitmap_.Row(int(y0 + shape.top + i64(r))) + x0, xa, xb + 1, px);
            }
        if (!shape.ink.Empty())
            Touch(x0 + shape.ink.Left, y0 + shape.ink.Top, x0 + shape.ink.Right, y0 + shape.ink.Bottom);
        return;
    }
    for (std::size_t r = 0; r < shape.rows.size(); ++r)
        if (const auto [xa, xb] = shape.rows[r]; xa <= xb)
            PenSpan(int(y0 + shape.top + i64(r)), x0 + xa, x0 + xb + 1);
}

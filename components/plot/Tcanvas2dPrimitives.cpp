// The canvas's primitives: world units mapped onto the surface, what lies
// wholly outside the window rejected before any mapping.
#include "components/plot/Tcanvas2d.h"

#include "components/image/Qelutils.h"
#include "components/plot/PlotRecording.h"
#include "toolkit/graphics/VectorState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

// What the owner set on the canvas is in surface pixels: a wide pen and the
// font grow with the bitmap's pixels while a primitive draws. A one-pixel
// pen stays one bitmap pixel thin.
class TCanvas2D::TDeviceStyle {
public:
    // Text takes the font too; lines and shapes only the pen.
    TDeviceStyle(const TCanvas2D& Canvas2D, bool Text = false) : canvas_(Canvas2D.FImage->Canvas())
    {
        if (Canvas2D.PixelRatio() == 1)
            return;
        if (canvas_.Pen.Width > 1) {
            width_ = canvas_.Pen.Width;
            canvas_.Pen.Width = Canvas2D.DeviceLength(width_);
        }
        if (Text) {
            font_ = canvas_.Font;
            canvas_.Font = Canvas2D.DeviceFont(*font_);
        }
    }
    ~TDeviceStyle()
    {
        if (width_ > 0)
            canvas_.Pen.Width = width_;
        if (font_)
            canvas_.Font = *font_;
    }
    TDeviceStyle(const TDeviceStyle&) = delete;
    TDeviceStyle& operator=(const TDeviceStyle&) = delete;

private:
    TCanvas& canvas_;
    int width_ = 0;  // the pen's own width, when scaled
    std::optional<TFont> font_;
};

void TCanvas2D::Point(double X, double Y, int Radius)
{
    VectorStateClean();
    if (!PointCheckIn(X, Y))
        return;
    const TPlotRecord recorded = TPlotRecord::Point(*this, X, Y, Radius);
    const TPoint p = Maps().ToPixel(X, Y);
    const std::int64_t sx = p.X, sy = p.Y;
    TCanvas& canvas = DrawCanvas();
    // Only a wide pen needs scaling; dots are many.
    std::optional<TDeviceStyle> style;
    if (canvas.Pen.Width > 1)
        style.emplace(*this);
    Radius = DeviceLength(Radius);
    if (Radius >= 1)
        canvas.Ellipse(SaturatingInt(sx - Radius), SaturatingInt(sy - Radius), SaturatingInt(sx + Radius + 1), SaturatingInt(sy + Radius + 1));
    else
        canvas.SetPixel(int(sx), int(sy), canvas.Pen.Color);
}

inline unsigned TCanvas2D::OutCode(double X, double Y) const
{
    return unsigned(X < FWindow.XMin) | unsigned(X > FWindow.XMax) << 1 | unsigned(Y < FWindow.YMin) << 2 |
           unsigned(Y > FWindow.YMax) << 3 | unsigned(std::isnan(X) | std::isnan(Y)) << 4;
}

namespace {
// A series is read once from one end to the other, a redraw at a time, and
// other drawing between two redraws leaves little of it in the caches: the
// line ReadAhead values past entry K of P[0, Readable) is asked for in
// advance, so that memory is not waited for line after line (a third off
// the reading of a million points). The last readable entry stands in for
// those past the end.
constexpr std::size_t ReadAhead = 1024;

inline void Prefetch(const double* P, std::size_t K, std::size_t Readable)
{
#if defined(__SSE2__)
    _mm_prefetch(reinterpret_cast<const char*>(P + std::min(K + ReadAhead, Readable - 1)), _MM_HINT_T0);
#else
    (void)P, (void)K, (void)Readable;
#endif
}
}  // namespace

// OutCode of X[k], Y[k] into Codes[k], k < N: the same comparisons, two
// points at a time.
void TCanvas2D::OutCodes(const double* X, const double* Y, std::size_t N, std::size_t Readable, unsigned* Codes) const
{
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128d xMin = _mm_set1_pd(FWindow.XMin), xMax = _mm_set1_pd(FWindow.XMax);
    const __m128d yMin = _mm_set1_pd(FWindow.YMin), yMax = _mm_set1_pd(FWindow.YMax);
    auto bit = [](__m128d Mask, int Bit) { return _mm_and_si128(_mm_castpd_si128(Mask), _mm_set1_epi64x(Bit)); };
    for (; k + 1 < N; k += 2) {
        // A line of each is eight values: every fourth pair asks for one.
        if ((k & 7) == 0) {
            Prefetch(X, k, Readable);
            Prefetch(Y, k, Readable);
        }
        const __m128d x = _mm_loadu_pd(X + k), y = _mm_loadu_pd(Y + k);
        const __m128i c = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(bit(_mm_cmplt_pd(x, xMin), 1), bit(_mm_cmpgt_pd(x, xMax), 2)),
                         _mm_or_si128(bit(_mm_cmplt_pd(y, yMin), 4), bit(_mm_cmpgt_pd(y, yMax), 8))),
            bit(_mm_cmpunord_pd(x, y), 16));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(Codes + k), _mm_shuffle_epi32(c, _MM_SHUFFLE(2, 0, 2, 0)));
    }
#endif
    for (; k < N; ++k)
        Codes[k] = OutCode(X[k], Y[k]);
}

// A line is not drawn when it lies wholly beyond one side of the window. A
// coordinate that is not a number has no place on the plot; it says nothing
// about the window either, so it is no overflow.
namespace {
bool LineOff(unsigned Code1, unsigned Code2) { return ((Code1 & Code2 & 15) | ((Code1 | Code2) & 16)) != 0; }
}  // namespace

void TCanvas2D::Line(double X1, double Y1, double X2, double Y2)
{
    VectorStateClean();
    const TPlotRecord recorded = TPlotRecord::Line(*this, X1, Y1, X2, Y2);
    // A polyline drawn as lines: this start is the last line's end, whose
    // OutCode and pixel are kept (new maps, made for a new window among
    // others, forget them).
    const TMapCache& m = Maps();
    TLineEnd& end = FLineEnd;
    const bool again = X1 == end.X && Y1 == end.Y;
    const unsigned code1 = again ? end.Code : OutCode(X1, Y1), code2 = OutCode(X2, Y2);
    if (LineOff(code1, code2))
        return;
    const TPoint p1 = again ? end.Pixel : m.ToPixel(X1, Y1);
    const TPoint p2 = m.ToPixel(X2, Y2);
    // Field by field: a copy of the whole would be read back in one piece
    // straight after its parts were written, which the processor cannot
    // pass on from its stores and waits for, every call.
    end.X = X2;
    end.Y = Y2;
    end.Pixel = p2;
    end.Code = code2;
    if (!(m.Drawable && (code1 | code2) == 0) && !LineCheck(p1.X, p1.Y, p2.X, p2.Y)) {
        FDrawOverflow = true;
        return;
    }
    // As MoveTo and LineTo would draw it; the canvas's polyline takes the
    // branch-free way for short lines in every direction, as plots have.
    // A one-pixel line from a pixel to itself draws nothing, and a dense
    // plot has many: the pen only moves.
    TCanvas& canvas = DrawCanvas();
    if (p1 == p2 && canvas.Pen.Width <= 1) {
        canvas.PenPos = p2;
        return;
    }
    const TPoint ends[] = {p1, p2};
    const TDeviceStyle style(*this);
    canvas.Polyline(ends);
}

void TCanvas2D::Polyline(std::span<const double> X, std::span<const double> Y)
{
    VectorStateClean();
    const TPlotRecord recorded = TPlotRecord::Polyline(*this, X, Y);
    const std::size_t n = std::min(X.size(), Y.size());
    if (n < 2)
        return;
    // The lines are taken as Line takes them: a line beyond one side of the
    // window is rejected by its ends' OutCodes, each carried on to the next
    // line. Consecutive lines that are drawn go to the canvas as one
    // polyline, which draws the same pixels as the lines one by one.
    const TMapCache& m = Maps();
    TCanvas& canvas = DrawCanvas();
    const TDeviceStyle style(*this);
    // The run being gathered is pixels[0, size): no point is written twice,
    // and a column of points is written as at most as many.
    std::vector<TPoint>& pixels = FPolylinePixels;
    pixels.resize(n);
    TPoint* const run = pixels.data();
    // A one-pixel line that starts and ends on the same pixel draws
    // nothing: such a point is not gathered again (a dense walk has many),
    // and a run left with one point only moves the pen, as the canvas's
    // polyline of its lines would.
    const bool thin = canvas.Pen.Width <= 1;
    std::size_t size = 0;
    bool lines = false;
    auto flush = [&] {
        if (size >= 2)
            canvas.Polyline(std::span<const TPoint>(run, size));
        else if (lines)
            canvas.MoveTo(run[0].X, run[0].Y);
        size = 0;
        lines = false;
    };
    // Whole columns at once need lines that draw each pixel once, whatever
    // covers it twice.
    const bool columns = m.Drawable && thin && canvas.Pen.Mode != pmNot;
    std::size_t noColumnBefore = 0;  // where the last column scan gave up
    // Lines in a row that stayed in their column with x not decreasing: a
    // scan is worth trying only after a few.
    int inColumn = 0;
    // The points are taken a block at a time: first their OutCodes, then,
    // only when a line of the block can show, their pixels, each in a loop
    // without branches; then the lines. Point `base` + k is entry k. After
    // a column the blocks start small, as the next column may come soon.
    constexpr std::size_t Block = 256, AfterColumn = 16;
    unsigned codes[Block];
    int sx[Block], sy[Block];
    std::size_t i = 0, want = Block;
    while (i + 1 < n) {
        const std::size_t base = i, count = std::min(n - base, want);
        want = std::min(Block, 2 * want);
        OutCodes(X.data() + base, Y.data() + base, count, n - base, codes);
        unsigned shows = 0, outside = codes[0];
        for (std::size_t k = 1; k < count; ++k) {
            shows |= unsigned(!LineOff(codes[k - 1], codes[k]));
            outside |= codes[k];
        }
        if (!shows) {
            flush();
            i = base + count - 1;
            continue;
        }
        m.X.ToPixelsInt(X.data() + base, count, sx);
        m.Y.ToPixelsInt(Y.data() + base, count, sy);
        if (outside == 0 && m.Drawable) {
            // The whole block inside the window: every line is drawn, and
            // only a column needs the loop below, from its line on.
            std::size_t k = i - base;
            if (size == 0)
                run[size++] = {sx[k], sy[k]};
            lines = true;
            for (; k + 1 < count; ++k) {
                const TPoint p1 = {sx[k], sy[k]}, p2 = {sx[k + 1], sy[k + 1]};
                const unsigned same = unsigned(p2.X == p1.X) & unsigned(X[base + k] <= X[base + k + 1]);
                const int next = (inColumn + 1) & -int(same);
                if (next >= 6 && columns && base + k + 1 >= noColumnBefore)
                    break;
                inColumn = next;
                run[size] = p2;
                size += !(thin && p2 == p1);
            }
            i = base + k;
        }
        for (std::size_t k = i - base; k + 1 < count; k = i - base) {
            if (LineOff(codes[k], codes[k + 1])) {
                flush();
                ++i;
                continue;
            }
            const TPoint p1 = {sx[k], sy[k]}, p2 = {sx[k + 1], sy[k + 1]};
            if (!(m.Drawable && (codes[k] | codes[k + 1]) == 0) && !LineCheck(p1.X, p1.Y, p2.X, p2.Y)) {
                FDrawOverflow = true;
                flush();
                ++i;
                continue;
            }
            if (size == 0)
                run[size++] = p1;
            lines = true;
            // Without a branch: on a walk it goes either way at random.
            inColumn = (inColumn + 1) & -int(unsigned(p2.X == p1.X) & unsigned(X[i] <= X[i + 1]));
            if (inColumn >= 6 && columns && (codes[k] | codes[k + 1]) == 0 && i + 1 >= noColumnBefore) {
                const std::size_t last = ColumnRun(m, X, Y, i, p1.X, noColumnBefore, run, size);
                if (last > i) {
                    // On from the run's last point, in a new block if it
                    // lies past this one.
                    i = last;
                    if (i - base + 1 >= count) {
                        want = AfterColumn;
                        break;
                    }
                    continue;
                }
            }
            run[size] = p2;
            size += !(thin && p2 == p1);
            ++i;
        }
    }
    flush();
}

namespace {
// Whether X[0..n) never decreases and Y[0..n) lies in [YMin, YMax] (NaN
// fails both), with Y's extremes joined to Lo and Hi. Hundreds of points a
// column: two at a time, without a branch, and the series, which goes on to
// Readable points, asked for ahead.
bool SortedInside(const double* X, const double* Y, std::size_t n, std::size_t Readable, double YMin, double YMax,
                  double& Lo, double& Hi)
{
    std::size_t k = 1;
    bool ok = true;
#if defined(__SSE2__)
    // Two sets of lanes, so that each minimum waits for the one before
    // only every other step.
    __m128d lo = _mm_set1_pd(Lo), hi = _mm_set1_pd(Hi), good = _mm_castsi128_pd(_mm_set1_epi32(-1));
    __m128d lo2 = lo, hi2 = hi, good2 = good;
    const __m128d yMin = _mm_set1_pd(YMin), yMax = _mm_set1_pd(YMax);
    auto step = [&](std::size_t At, __m128d& L, __m128d& H, __m128d& G) {
        const __m128d x0 = _mm_loadu_pd(X + At - 1), x1 = _mm_loadu_pd(X + At), y = _mm_loadu_pd(Y + At);
        G = _mm_and_pd(G, _mm_and_pd(_mm_cmple_pd(x0, x1), _mm_and_pd(_mm_cmple_pd(yMin, y), _mm_cmple_pd(y, yMax))));
        L = _mm_min_pd(L, y);
        H = _mm_max_pd(H, y);
    };
    for (; k + 3 < n; k += 4) {
        if ((k & 4) == 0) {
            Prefetch(X, k, Readable);
            Prefetch(Y, k, Readable);
        }
        step(k, lo, hi, good);
        step(k + 2, lo2, hi2, good2);
    }
    for (; k + 1 < n; k += 2)
        step(k, lo, hi, good);
    lo = _mm_min_pd(lo, lo2);
    hi = _mm_max_pd(hi, hi2);
    ok = _mm_movemask_pd(_mm_and_pd(good, good2)) == 3;
    double l[2], h[2];
    _mm_storeu_pd(l, lo);
    _mm_storeu_pd(h, hi);
    Lo = std::min(l[0], l[1]);
    Hi = std::max(h[0], h[1]);
#endif
    for (; k < n; ++k) {
        ok = ok && X[k - 1] <= X[k] && YMin <= Y[k] && Y[k] <= YMax;
        Lo = std::min(Lo, Y[k]);
        Hi = std::max(Hi, Y[k]);
    }
    return ok;
}
}  // namespace

// A run of the window's points from `first` (the last point gathered in
// Run) that lie in pixel column Column with x never decreasing, as dense
// sorted series have hundreds of. Within one column the connected lines
// cover exactly the rows between the run's lowest and highest pixel, and
// the line on to the next column starts at the run's last pixel; so when
// that line is drawn, the run's first point, its extremes and its last
// point draw the same pixels as all of its points. Only the run's ends and
// extremes are mapped. Returns the run's last point, its points after the
// first added to Run; or `first` when there is no such run (then
// NoRunBefore says where not to look again).
std::size_t TCanvas2D::ColumnRun(const TMapCache& m, std::span<const double> X, std::span<const double> Y,
                                 std::size_t first, int Column, std::size_t& NoRunBefore, TPoint* Run,
                                 std::size_t& Size)
{
    const std::size_t n = std::min(X.size(), Y.size());
    auto inColumn = [&](std::size_t k) { return m.X.ToPixelInt(X[k]) == Column; };
    // The last point in the column, were x sorted: found by doubling
    // steps, then halving between a point in it and one past it.
    std::size_t in = first + 1, out = n;
    for (std::size_t step = 2; first + step < n; step *= 2) {
        if (!inColumn(first + step)) {
            out = first + step;
            break;
        }
        in = first + step;
    }
    while (out - in > 1) {
        const std::size_t mid = in + (out - in) / 2;
        (inColumn(mid) ? in : out) = mid;
    }
    if (in < first + 3)
        return first;  // too few to gain anything
    // Sorted x between two points of the column (and of the window) keeps
    // every point between in it; y must lie in the window too.
    double lo = Y[first], hi = Y[first];
    if (!(X[in] <= FWindow.XMax) || !SortedInside(X.data() + first, Y.data() + first, in - first + 1, n - first,
                                               FWindow.YMin, FWindow.YMax, lo, hi)) {
        NoRunBefore = in + 1;
        return first;
    }
    const TPoint end = m.ToPixel(X[in], Y[in]);
    // The line on to the next column must be drawn in this same run;
    // without it the points are kept as they are.
    bool joined = false;
    if (in + 1 < n && !LineOff(0, OutCode(X[in + 1], Y[in + 1]))) {
        const TPoint next = m.ToPixel(X[in + 1], Y[in + 1]);
        joined = LineCheck(end.X, end.Y, next.X, next.Y);
    }
    if (joined) {
        // Either way round the same rows; the shorter way is taken.
        const int top = m.Y.ToPixelInt(lo), bottom = m.Y.ToPixelInt(hi), from = Run[Size - 1].Y;
        const bool topFirst =
            std::abs(std::int64_t(from) - top) + std::abs(std::int64_t(bottom) - end.Y) <=
            std::abs(std::int64_t(from) - bottom) + std::abs(std::int64_t(top) - end.Y);
        Run[Size++] = {Column, topFirst ? top : bottom};
        Run[Size++] = {Column, topFirst ? bottom : top};
    } else {
        for (std::size_t k = first + 1; k < in; ++k)
            Run[Size++] = m.ToPixel(X[k], Y[k]);
    }
    Run[Size++] = end;
    return in;
}

void TCanvas2D::Triangle(double X1, double Y1, double X2, double Y2, double X3, double Y3)
{
    VectorStateClean();
    const TPlotRecord recorded = TPlotRecord::Triangle(*this, X1, Y1, X2, Y2, X3, Y3);
    if (std::isnan(X1) || std::isnan(Y1) || std::isnan(X2) || std::isnan(Y2) || std::isnan(X3) || std::isnan(Y3))
        return;
    // Wholly before or past the surface on one axis, which the pixels
    // would show: nothing to map, draw or report.
    const TMapCache& m = Maps();
    if (m.XOff.All(X1, X2, X3) || m.YOff.All(Y1, Y2, Y3))
        return;
    // Each corner's two axes at once.
    const TPoint a = m.ToPixel(X1, Y1), b = m.ToPixel(X2, Y2), c = m.ToPixel(X3, Y3);
    const TDeviceStyle style(*this);
    if (!TriangleDraw(DeviceWidth(), DeviceHeight(), DrawCanvas(), a.X, a.Y, b.X, b.Y, c.X, c.Y))
        FDrawOverflow = true;
}

void TCanvas2D::TextOutA(double X, double Y, int DX, int DY, const std::string& Text)
{
    VectorStateClean();
    if (!PointCheckIn(X, Y))
        return;
    const TPlotRecord recorded = TPlotRecord::Text(*this, X, Y, DX, DY, Text);
    TCanvas& canvas = DrawCanvas();
    canvas.SetBkMode(TRANSPARENT);
    const TDeviceStyle style(*this, true);
    const TMapCache& m = Maps();
    canvas.TextOut(SaturatingInt(std::int64_t(m.X.ToPixelInt(X)) + DeviceLength(DX)),
                   SaturatingInt(std::int64_t(m.Y.ToPixelInt(Y)) + DeviceLength(DY)), Text);
}

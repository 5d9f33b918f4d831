// Long series drawn by Polyline: rejected lines are never mapped, and runs
// of points in one pixel column are drawn as their extremes. Whatever the
// data, the pixels, the changed area, the pen position and the overflow
// must be those of mapping every point and drawing every line.
#include "components/plot/Canvas2dHelpers.h"

#include "components/image/Qelutils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// The general way: every point mapped, the lines beyond one side of the
// window or not a number left out, those too far out to draw reported, the
// rest drawn as runs of the canvas's polyline.
bool DrawEveryLine(TCanvas2D& c, const std::vector<double>& xs, const std::vector<double>& ys)
{
    const TAxisMap xm = c.XMap(), ym = c.YMap();
    auto code = [&](double x, double y) {
        return unsigned(x < c.AxisXMin()) | unsigned(x > c.AxisXMax()) << 1 | unsigned(y < c.AxisYMin()) << 2 |
               unsigned(y > c.AxisYMax()) << 3 | unsigned(std::isnan(x) || std::isnan(y)) << 4;
    };
    bool overflow = false;
    std::vector<TPoint> run;
    auto flush = [&] {
        if (run.size() >= 2)
            c.DrawCanvas().Polyline(run);
        run.clear();
    };
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const unsigned a = code(xs[i], ys[i]), b = code(xs[i + 1], ys[i + 1]);
        const TPoint p1 = {xm.ToPixelInt(xs[i]), ym.ToPixelInt(ys[i])};
        const TPoint p2 = {xm.ToPixelInt(xs[i + 1]), ym.ToPixelInt(ys[i + 1])};
        if ((a & b & 15) || ((a | b) & 16)) {
            flush();
        } else if (!LineCheck(p1.X, p1.Y, p2.X, p2.Y)) {
            overflow = true;
            flush();
        } else {
            if (run.empty())
                run.push_back(p1);
            run.push_back(p2);
        }
    }
    flush();
    return overflow;
}

// Values a series may hold: mostly in the window, some beyond it, some far
// out (at and beyond the int range once mapped), and the special doubles.
double Value(std::mt19937& rng, double lo, double hi)
{
    std::uniform_real_distribution<double> u(0, 1);
    const double p = u(rng), span = hi - lo;
    if (p < 0.8)
        return lo + span * u(rng);
    if (p < 0.9)
        return lo + span * (u(rng) * 3 - 1);
    const double special[] = {NaN, Inf, -Inf, 1e300, -1e300, lo, hi, lo + span * 2147483647.0 / 100,
                              lo - span * 2147483648.0 / 100, lo + span * 81.91 / 100};
    return special[std::uniform_int_distribution<std::size_t>(0, std::size(special) - 1)(rng)];
}

// Both canvases showing the same window, repainted, their changes taken.
void ShowWindow(std::initializer_list<Canvas2DFixture*> fixtures, double x0, double wx, double y0, double wy, bool axes)
{
    for (Canvas2DFixture* f : fixtures) {
        f->c->SetAxisXMin(x0);
        f->c->SetAxisXMax(x0 + wx);
        f->c->SetAxisYMin(y0);
        f->c->SetAxisYMax(y0 + wy);
        f->c->SetAxisShow(axes);
        f->c->Draw();
        // A repaint changes the whole surface, however it is painted.
        ASSERT_EQ(f->Bits().TakeDirty(), std::vector<TRect>{f->Bits().BoundsRect()});
    }
}

void ExpectSamePicture(Canvas2DFixture& fast, Canvas2DFixture& general, const std::string& scope)
{
    for (int y = 0; y < 152; ++y)
        for (int x = 0; x < 152; ++x)
            ASSERT_EQ(fast.At(x, y), general.At(x, y)) << scope << " at " << x << "," << y;
    EXPECT_EQ(fast.Bits().TakeDirty(), general.Bits().TakeDirty()) << scope;
}

}  // namespace

TEST(TCanvas2DSeries, PolylineAndLineDrawWhatEveryLineDraws)
{
    // Line by Line too, which maps only what it must and skips lines of no
    // length; it marks its changes line by line, so only its pixels, pen
    // and overflow are compared.
    std::mt19937 rng(2025);
    std::uniform_real_distribution<double> u(0, 1);
    Canvas2DFixture fast, general, single;
    for (int round = 0; round < 300; ++round) {
        // Windows from the ordinary to a few pixels' worth of a huge range.
        const double x0 = (u(rng) - 0.5) * 100, y0 = (u(rng) - 0.5) * 100;
        const double wx = round % 7 == 0 ? 1e-9 : 0.1 + u(rng) * 50, wy = round % 11 == 0 ? 1e8 : 0.1 + u(rng) * 50;
        // Sorted x, several points to a column and sometimes hundreds, with
        // stretches out of order, repeated x and outliers between.
        const int n = 2 + int(u(rng) * (round % 5 == 0 ? 3000 : 300));
        // Some series stay within a pixel or two, their lines mostly of no
        // length.
        const double gap = round % 10 == 9 ? wx / 1e5 : wx / 100 / (1 + u(rng) * 3000);
        const double swing = round % 10 == 9 ? 0.01 : 1;
        const double rates[] = {0, 0.001, 0.05};
        const double backward = rates[round % 3], special = rates[round / 3 % 3] * 2;
        std::vector<double> xs, ys;
        double x = round % 10 == 9 ? x0 + wx * 0.5 * u(rng) : x0 - wx * 0.2 * u(rng);
        for (int i = 0; i < n; ++i) {
            x += u(rng) < backward ? -gap * 50 * u(rng) : u(rng) < 0.05 ? 0 : gap * u(rng) * 2;
            xs.push_back(u(rng) < special / 5 ? Value(rng, x0, x0 + wx) : x);
            ys.push_back(u(rng) < special ? Value(rng, y0, y0 + wy)
                                          : y0 + wy * (0.5 + swing * (0.3 * std::sin(i / 7.0) + 0.2 * (u(rng) - 0.5))));
        }
        const std::string scope = "round " + std::to_string(round);
        ShowWindow({&fast, &general, &single}, x0, wx, y0, wy, round % 3 != 0);
        for (Canvas2DFixture* f : {&fast, &general, &single}) {
            TCanvas& canvas = f->c->DrawCanvas();
            canvas.Pen.Color = clYellow;
            canvas.MoveTo(-5, -5);
            canvas.Pen.Width = round % 6 == 5 ? 3 : 1;
            canvas.Pen.Mode = round % 8 == 3 ? pmNot : pmCopy;
            if (round % 4 == 1)  // more than one clip rectangle
                canvas.SetClipRegion({Rect(0, 0, 152, 70), Rect(20, 60, 140, 152)});
        }
        const bool generalOverflow = DrawEveryLine(*general.c, xs, ys);
        fast.c->Polyline(xs, ys);
        for (std::size_t i = 0; i + 1 < xs.size(); ++i)
            single.c->Line(xs[i], ys[i], xs[i + 1], ys[i + 1]);
        for (int y = 0; y < 152; ++y)
            for (int x = 0; x < 152; ++x)
                ASSERT_EQ(single.At(x, y), general.At(x, y)) << scope << " by lines at " << x << "," << y;
        ExpectSamePicture(fast, general, scope);
        for (Canvas2DFixture* f : {&fast, &single}) {
            EXPECT_EQ(f->c->DrawCanvas().PenPos, general.c->DrawCanvas().PenPos) << scope;
            EXPECT_EQ(f->c->DrawOverflow(), generalOverflow) << scope;
        }
    }
}

TEST(TCanvas2DSeries, ColumnsOfPointsEndingARunKeepEveryPoint)
{
    // The last column of a run has no line on to the next: its last point
    // is left out unless an earlier line covered it, so the column keeps
    // all of its points. Here the series climbs to its top pixel, leaves it
    // and comes back to end there; the next point is not a number.
    Canvas2DFixture fast, general;
    std::vector<double> xs, ys = {2, 3, 4, 5, 6, 7, 8, 4, 8, 8, 3, 8, 6, 7, 5, 8, 8, 8};
    for (std::size_t k = 0; k < ys.size(); ++k)
        xs.push_back(5 + 0.0001 * double(k));
    xs.push_back(5.1);
    ys.push_back(NaN);
    ShowWindow({&fast, &general}, 0, 10, 0, 10, true);
    for (Canvas2DFixture* f : {&fast, &general})
        f->c->DrawCanvas().Pen.Color = clYellow;
    DrawEveryLine(*general.c, xs, ys);
    fast.c->Polyline(xs, ys);
    ExpectSamePicture(fast, general, "column");
    EXPECT_EQ(fast.c->DrawCanvas().PenPos, general.c->DrawCanvas().PenPos);
}

TEST(TCanvas2DSeries, TrianglesBeyondTheSurfaceAreLeftUnmapped)
{
    // Rejected before mapping only where the mapped corners would all lie
    // before or past the surface: the pixels, the changed area and the
    // overflow stay those of mapping every corner.
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(0, 1);
    Canvas2DFixture fast, general;
    for (int round = 0; round < 400; ++round) {
        const double x0 = (u(rng) - 0.5) * 100, y0 = (u(rng) - 0.5) * 100;
        const double wx = round % 9 == 0 ? 1e-7 : 1 + u(rng) * 20, wy = round % 13 == 0 ? -5 : 1 + u(rng) * 20;
        ShowWindow({&fast, &general}, x0, wx, y0, wy, round % 2 == 0);
        for (Canvas2DFixture* f : {&fast, &general}) {
            f->c->DrawCanvas().Pen.Color = clLime;
            f->c->DrawCanvas().Brush.Color = clRed;
        }
        double v[6];
        for (int k = 0; k < 6; ++k)
            v[k] = Value(rng, k % 2 ? y0 : x0, k % 2 ? y0 + wy : x0 + wx);
        fast.c->Triangle(v[0], v[1], v[2], v[3], v[4], v[5]);
        bool generalOverflow = false;
        if (std::none_of(std::begin(v), std::end(v), [](double d) { return std::isnan(d); })) {
            const TAxisMap xm = general.c->XMap(), ym = general.c->YMap();
            TQelImage& image = general.c->Image();
            generalOverflow = !TriangleDraw(image.Width(), image.Height(), general.c->DrawCanvas(),
                                            xm.ToPixelInt(v[0]), ym.ToPixelInt(v[1]), xm.ToPixelInt(v[2]),
                                            ym.ToPixelInt(v[3]), xm.ToPixelInt(v[4]), ym.ToPixelInt(v[5]));
        }
        const std::string scope = "round " + std::to_string(round);
        ExpectSamePicture(fast, general, scope);
        EXPECT_EQ(fast.c->DrawOverflow(), generalOverflow) << scope;
    }
}

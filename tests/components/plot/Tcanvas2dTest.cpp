#include "components/plot/Canvas2dHelpers.h"

#include "support/BitmapWords.h"
#include "toolkit/system/Sound.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <set>
#include <span>
#include <vector>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(TCanvas2D, InitialState)
{
    TCanvas2D c;
    EXPECT_EQ(c.Width(), 160);
    EXPECT_EQ(c.Height(), 160);
    EXPECT_EQ(c.BevelWidth(), 2);
    EXPECT_EQ(c.BevelInner(), bvLowered);
    EXPECT_EQ(c.BevelOuter(), bvLowered);
    EXPECT_EQ(c.AxisColor(), clWhite);
    EXPECT_EQ(c.AxisFont().Color, clWhite);
    EXPECT_EQ(c.ColorExt(), clBlack);
    EXPECT_EQ(c.ColorInt(), clNavy);
    EXPECT_EQ(c.Format(), ",0.00");
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    EXPECT_EQ(c.ZoomAllXMax(), 10);
    EXPECT_EQ(c.ZoomFactor(), 0.5);
    EXPECT_EQ(c.ZoomSteps(), 5);
    EXPECT_EQ(c.ZoomMode(), zmNone);
    EXPECT_FALSE(c.WheelZoom());
    // The surface sits inside both bevels from the start.
    EXPECT_EQ(c.Image().Left(), 4);
    EXPECT_EQ(c.Image().Width(), 152);

    // What a form sets by name reaches the setters.
    EXPECT_EQ(c.property("ColorInt").value<QColor>(), ColorToQColor(clNavy));
    EXPECT_TRUE(c.setProperty("ColorExt", ColorToQColor(clBtnFace)));
    EXPECT_EQ(c.ColorExt(), clBtnFace);
    EXPECT_TRUE(c.setProperty("Format", QString("0.0")));
    EXPECT_EQ(c.Format(), "0.0");
    EXPECT_TRUE(c.setProperty("AxisXMax", 20.0));
    EXPECT_EQ(c.AxisXMax(), 20);
}

TEST(TCanvas2D, MappingOnA152Surface)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    EXPECT_EQ(c.AxisXMargin(), 50);
    EXPECT_EQ(c.ValToScrX(0), 50);
    EXPECT_EQ(c.ValToScrX(10), 102);
    EXPECT_EQ(c.ValToScrY(10), 30);
    EXPECT_EQ(c.ValToScrY(0), 122);
    EXPECT_DOUBLE_EQ(c.ValToScrYD(2.5), 99.0);
    EXPECT_EQ(c.ScrToValX(50), 0.0);
    EXPECT_NEAR(c.ScrToValX(c.ValToScrX(3.3)), 3.3, 10.0 / 52 / 2);
    EXPECT_EQ(c.ScrToValXS(76), "5.00");
    EXPECT_EQ(c.ClientWidthGet(), 52);
    EXPECT_EQ(c.ClientHeightGet(), 92);
    EXPECT_EQ(c.DrawRectGet(), Rect(51, 31, 101, 121));
    // The frame is not inside; the pixel next to it is.
    EXPECT_FALSE(c.Inside(50, 76));
    EXPECT_TRUE(c.Inside(51, 76));
    EXPECT_TRUE(c.Inside(101, 121));
    EXPECT_FALSE(c.Inside(102, 76));
    EXPECT_FALSE(c.Inside(76, 30));

    c.SetAxisShow(false);
    EXPECT_EQ(c.ValToScrX(10), 152);
    EXPECT_EQ(c.ValToScrY(10), 0);
    EXPECT_EQ(c.DrawRectGet(), Rect(0, 0, 151, 151));
    EXPECT_TRUE(c.Inside(152, 152));
    EXPECT_FALSE(c.Inside(153, 0));
    EXPECT_EQ(c.ScrToValY(76), 5.0);
}

TEST(TCanvas2D, SettersRepaintOnlyWhatChanges)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetAxisXMax(10);
    c.SetColorInt(clNavy);
    EXPECT_EQ(f.draws, 0);
    c.SetAxisXMax(20);
    EXPECT_EQ(f.draws, 1);

    TFont font = c.AxisFont();
    font.Color = clYellow;
    c.SetAxisFont(font);  // through the colour's setter, then once more
    c.SetAxisFont(font);  // always repaints
    EXPECT_EQ(f.draws, 4);
    EXPECT_EQ(c.AxisColor(), clYellow);

    c.SetAxisXMargin(60);  // not below 152 / 2 - 20: refused, but repaints
    EXPECT_EQ(c.AxisXMargin(), 50);
    EXPECT_EQ(f.draws, 5);
    c.SetAxisXMargin(55);
    EXPECT_EQ(c.AxisXMargin(), 55);

    int formats = 0;
    c.OnChangeFormat = [&](TObject* sender) {
        EXPECT_EQ(sender, &c);
        ++formats;
    };
    c.SetFormat("0.0");
    c.SetFormat("0.0");
    EXPECT_EQ(formats, 1);

    c.SetZoomFactor(1);
    c.SetZoomFactor(0);
    c.SetZoomFactor(-0.5);
    c.SetZoomFactor(NaN);
    EXPECT_EQ(c.ZoomFactor(), 0.5);
    c.SetZoomSteps(0);
    EXPECT_EQ(c.ZoomSteps(), 5);
    const int before = f.draws;
    c.SetZoomFactor(0.25);
    c.SetZoomSteps(3);
    EXPECT_EQ(f.draws, before);

    // The home window does not follow the limits.
    EXPECT_EQ(c.ZoomAllXMax(), 10);

    c.SetVisible(false);
    c.SetColorExt(clRed);
    c.SetAxisYMin(-5);
    EXPECT_EQ(f.draws, before);
    c.SetVisible(true);
    c.Draw();
    EXPECT_EQ(f.At(0, 0), clRed);
}

TEST(TCanvas2D, FrameAndTickMarks)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.Draw();
    // Frame on columns 50 and 102 and rows 30 and 122, plot inside it,
    // margins outside.
    for (int y = 30; y <= 122; ++y) {
        EXPECT_EQ(f.At(50, y), clWhite) << y;
        EXPECT_EQ(f.At(102, y), clWhite) << y;
    }
    for (int x = 50; x <= 102; ++x) {
        EXPECT_EQ(f.At(x, 30), clWhite) << x;
        EXPECT_EQ(f.At(x, 122), clWhite) << x;
    }
    EXPECT_EQ(f.At(51, 31), clNavy);
    EXPECT_EQ(f.At(101, 121), clNavy);
    EXPECT_EQ(f.At(103, 77), clBlack);

    // The X ticks cut 0..10 into ten parts, two pixels long above and below
    // the frame; the Y ticks likewise left and right of it. (Looked for
    // between the labels.)
    auto whiteColumns = [&](int y) {
        std::set<int> s;
        for (int x = 47; x < 106; ++x)
            if (f.At(x, y) == clWhite)
                s.insert(x);
        return s;
    };
    auto whiteRows = [&](int x) {
        std::set<int> s;
        for (int y = 27; y < 126; ++y)
            if (f.At(x, y) == clWhite)
                s.insert(y);
        return s;
    };
    const std::set<int> xTicks{50, 55, 60, 66, 71, 76, 81, 86, 92, 97, 102};
    const std::set<int> yTicks{30, 39, 48, 58, 67, 76, 85, 94, 104, 113, 122};
    EXPECT_EQ(whiteColumns(28), xTicks);
    EXPECT_EQ(whiteColumns(29), xTicks);
    EXPECT_EQ(whiteColumns(123), xTicks);
    EXPECT_EQ(whiteColumns(124), xTicks);
    EXPECT_TRUE(whiteColumns(125).empty());
    EXPECT_EQ(whiteRows(48), yTicks);
    EXPECT_EQ(whiteRows(49), yTicks);
    EXPECT_EQ(whiteRows(103), yTicks);
    EXPECT_EQ(whiteRows(104), yTicks);

    c.SetAxisXMarks(0);
    EXPECT_EQ(whiteColumns(29), (std::set<int>{50, 102}));
    EXPECT_EQ(whiteColumns(123), (std::set<int>{50, 102}));
}

TEST(TCanvas2D, LabelsOnAllFourSides)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetAxisXMarks(0);
    c.SetAxisYMarks(0);
    auto lit = [&](int x1, int y1, int x2, int y2) {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                n += f.At(x, y) != clBlack;
        return n;
    };
    // Labels above, below, left and right; none in the corners.
    EXPECT_GT(lit(30, 0, 70, 27), 0);
    EXPECT_GT(lit(30, 126, 70, 152), 0);
    EXPECT_GT(lit(0, 100, 47, 135), 0);
    EXPECT_GT(lit(106, 100, 152, 135), 0);
    EXPECT_GT(lit(106, 20, 152, 60), 0);
    EXPECT_EQ(lit(0, 0, 20, 20), 0);

    // The bottom label sits mostly above its mark, the top one below it.
    TCanvas& canvas = c.DrawCanvas();
    const int h = canvas.TextHeight("0.00");
    auto firstLitRow = [&](int x1, int x2) {
        for (int y = 0; y < 152; ++y)
            for (int x = x1; x < x2; ++x)
                if (f.At(x, y) != clBlack && f.At(x, y) != clNavy)
                    return y;
        return -1;
    };
    const int top = firstLitRow(120, 152);
    EXPECT_GE(top, 30 - h / 3);
    EXPECT_LE(top, 30);
}

TEST(TCanvas2D, AutomaticMarginsFollowTheLabels)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetAxisXMarginAuto(true);
    c.SetAxisYMarginAuto(true);
    TCanvas& canvas = c.DrawCanvas();
    canvas.Font = c.AxisFont();
    EXPECT_EQ(c.AxisXMargin(), canvas.TextWidth("10.00") + 6);
    EXPECT_EQ(c.AxisYMargin(), canvas.TextHeight("0") + 6);
    c.SetAxisYMin(-1000);
    EXPECT_EQ(c.AxisXMargin(), canvas.TextWidth("-1,000.00") + 6);
}

TEST(TCanvas2D, EqualScale)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.AxisXAdjustToY();  // plot area 52 x 92
    EXPECT_DOUBLE_EQ(c.AxisXMax(), 10.0 * 52 / 92);
    EXPECT_EQ(c.AxisXMin(), 0);
    c.SetAxisXMax(26);
    c.AxisYAdjustToX();
    EXPECT_DOUBLE_EQ(c.AxisYMax(), 46);
    EXPECT_EQ(f.draws, 3);
}

TEST(TCanvas2D, PointsAndClipping)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    f.onDraw = [&] {
        TCanvas& canvas = c.DrawCanvas();
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clRed;
        c.Point(5, 5, 2);       // at (76, 76)
        c.Point(2.5, 2.5, -3);  // a single pixel at (63, 99)
        c.Point(10, 10, 0);     // on the frame: hidden by the clip
        c.Point(10.01, 5, 3);   // just beyond a limit: nothing, disc or not
        c.Point(NaN, 5, 3);
    };
    c.Draw();
    int red = 0, minX = 999, maxX = -1;
    for (int y = 0; y < 152; ++y)
        for (int x = 0; x < 152; ++x)
            if (f.At(x, y) == clRed) {
                ++red;
                if (y == 76) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
            }
    EXPECT_EQ(minX, 74);
    EXPECT_EQ(maxX, 78);  // five pixels across
    EXPECT_EQ(f.At(63, 99), clRed);
    EXPECT_EQ(f.At(102, 30), clWhite);
    EXPECT_EQ(f.At(101, 76), clNavy);
    EXPECT_EQ(red, 21 + 1);  // the 5-pixel disc and the single pixel
}

TEST(TCanvas2D, LinesTrianglesAndOverflow)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    std::function<void()> draw;
    f.onDraw = [&] { draw(); };

    draw = [&] { c.Line(-1, 5, -0.5, 5); };
    c.Draw();
    EXPECT_FALSE(c.DrawOverflow());

    draw = [&] { c.Line(5, 5, 5 + 1e6 * 10, 5); };
    c.Draw();
    EXPECT_TRUE(c.DrawOverflow());

    // A NaN coordinate draws nothing and says nothing about the window.
    draw = [&] {
        c.Line(NaN, 5, 5, 5);
        c.Triangle(1, 1, NaN, 2, 3, 1);
    };
    c.Draw();
    EXPECT_FALSE(c.DrawOverflow());

    draw = [&] { c.Line(5, 5, Inf, 5); };
    c.Draw();
    EXPECT_TRUE(c.DrawOverflow());

    draw = [&] { c.Triangle(5, 5, 6, 5, 5, 1e7); };
    c.Draw();
    EXPECT_TRUE(c.DrawOverflow());

    // Wholly off the surface on one side: skipped, no overflow.
    draw = [&] { c.Triangle(-1e9, 5, -1e9, 6, -2e9, 5); };
    c.Draw();
    EXPECT_FALSE(c.DrawOverflow());

    draw = [&] {
        c.DrawCanvas().Pen.Color = clLime;
        c.DrawCanvas().Brush.Color = clLime;
        c.Line(0, 5, 10, 5);  // across the frame: clipped to the inside
        c.Triangle(2, 8, 4, 8, 2, 9);
    };
    c.Draw();
    EXPECT_FALSE(c.DrawOverflow());
    EXPECT_EQ(f.At(50, 76), clWhite);
    EXPECT_EQ(f.At(51, 76), clLime);
    EXPECT_EQ(f.At(101, 76), clLime);
    EXPECT_EQ(f.At(61, 44), clLime);
}

TEST(TCanvas2D, PolylineDrawsWhatItsLinesDraw)
{
    // Within the window and beyond each side, not a number, and too far
    // out to draw, in runs of drawn lines between them.
    const std::vector<double> xs = {1, 2, 2.5, 9, -3, -4, 5, NaN, 6, 7, 1e9, 8, 3, 11, 12, 5, 5, 0, 10};
    const std::vector<double> ys = {1, 8, 2.5, 9, 5, 6, 5, 4, 4, 9, 5, 1, 3, 5, 6, -1, 11, 10, 0};
    Canvas2DFixture lines, poly;
    lines.onDraw = [&] {
        lines.c->DrawCanvas().Pen.Color = clYellow;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i)
            lines.c->Line(xs[i], ys[i], xs[i + 1], ys[i + 1]);
    };
    poly.onDraw = [&] {
        poly.c->DrawCanvas().Pen.Color = clYellow;
        poly.c->Polyline(xs, ys);
    };
    lines.c->Draw();
    poly.c->Draw();
    EXPECT_TRUE(lines.c->DrawOverflow());
    EXPECT_TRUE(poly.c->DrawOverflow());
    EXPECT_EQ(poly.c->DrawCanvas().PenPos, lines.c->DrawCanvas().PenPos);
    int yellow = 0;
    for (int y = 0; y < 152; ++y)
        for (int x = 0; x < 152; ++x) {
            ASSERT_EQ(poly.At(x, y), lines.At(x, y)) << x << "," << y;
            yellow += poly.At(x, y) == clYellow;
        }
    EXPECT_GT(yellow, 100);

    // The shorter series sets the number of points; one point draws nothing.
    poly.onDraw = [&] {
        poly.c->Polyline(std::span(xs).first(3), ys);
        poly.c->Polyline(std::span(xs).first(1), ys);
    };
    lines.onDraw = [&] {
        lines.c->Line(xs[0], ys[0], xs[1], ys[1]);
        lines.c->Line(xs[1], ys[1], xs[2], ys[2]);
    };
    lines.c->Draw();
    poly.c->Draw();
    for (int y = 0; y < 152; ++y)
        for (int x = 0; x < 152; ++x)
            ASSERT_EQ(poly.At(x, y), lines.At(x, y)) << x << "," << y;
}

TEST(TCanvas2D, TextAtWorldPoints)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetAxisShow(false);
    auto lit = [&] {
        int n = 0;
        for (int y = 0; y < 152; ++y)
            for (int x = 0; x < 152; ++x)
                n += f.At(x, y) != clNavy;
        return n;
    };
    // An opaque mode and a red brush that the text must not show.
    f.onDraw = [&] {
        TCanvas& canvas = c.DrawCanvas();
        canvas.Font.Color = clYellow;
        canvas.Brush.Color = clRed;
        canvas.SetBkMode(OPAQUE);
        c.TextOutA(0, 5, 10, -3, "Borde");
    };
    c.Draw();
    EXPECT_GT(lit(), 0);
    // The very text the canvas draws at the point's pixel moved by (DX,
    // DY), with its alignment, on a clear background.
    const auto text = Pixels(f.Bits());
    f.onDraw = [&] {
        TCanvas& canvas = c.DrawCanvas();
        canvas.Font.Color = clYellow;
        canvas.SetBkMode(TRANSPARENT);
        canvas.TextOut(c.ValToScrX(0) + 10, c.ValToScrY(5) - 3, "Borde");
    };
    c.Draw();
    EXPECT_EQ(Pixels(f.Bits()), text);
    f.onDraw = [&] { c.TextOutA(-0.1, 5, 40, 0, "Fuera"); };
    c.Draw();
    EXPECT_EQ(lit(), 0);
}

TEST(TCanvas2D, DegenerateWindowsAndSurfacesNeverFail)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    f.onDraw = [&] {
        c.Point(5, 5, 2);
        c.Line(0, 0, 10, 10);
        c.Triangle(0, 0, 10, 0, 5, 10);
        c.TextOutA(5, 5, 0, 0, "x");
    };
    // Equal limits, NaN and infinite limits, limits whose distance overflows.
    const double limits[][2] = {{5, 5}, {NaN, 10}, {0, Inf}, {-Inf, Inf}, {-1.7e308, 1.7e308}};
    for (const auto& l : limits) {
        c.SetAxisXMin(l[0]);
        c.SetAxisXMax(l[1]);
        c.SetAxisYMin(l[0]);
        c.SetAxisYMax(l[1]);
        c.AxisXAdjustToY();
        (void)c.ScrToValXS(10);
        (void)c.ValToScrY(1e300);
    }
    c.SetAxisXMin(0);
    c.SetAxisXMax(10);
    c.SetAxisYMin(0);
    c.SetAxisYMax(10);

    // Margins of half the surface and more: the plot area is empty or
    // negative, and everything drawn into it is clipped away.
    c.resize(60, 60);  // surface 52, margins 50 and 30
    EXPECT_LT(c.ClientWidthGet(), 0);
    (void)c.ScrToValX(20);
    c.AxisYAdjustToX();
    c.SetAxisYMax(10);
    c.ZoomModeSet(zmZoomIn);
    c.Draw();
    c.ZoomModeSet(zmNone);

    // No surface at all, and a panel smaller than its bevels.
    const int before = f.draws;
    c.resize(8, 8);
    c.resize(3, 200);
    c.Draw();
    EXPECT_EQ(f.draws, before);
    EXPECT_EQ(c.Image().Width(), 0);
    c.resize(160, 160);
    EXPECT_GT(f.draws, before);

    // Hostile marks and margins cost no more than the surface's pixels.
    c.SetAxisXMarks(INT_MAX);
    c.SetAxisYMarks(INT_MIN);
    c.SetAxisXMargin(INT_MIN);
    c.SetAxisYMargin(-2000000000);
    c.Point(5, 5, INT_MIN);
    c.Point(5, 5, INT_MAX);
    c.TextOutA(5, 5, INT_MAX, INT_MIN, "x");
    c.Draw();
}

TEST(TCanvas2D, AxisChangeRefusedOrEmpty)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    BeepRecorder beeps;
    c.AxisChange(0, 0, 1e-21, 1, 5);
    EXPECT_EQ(beeps.Beeps(), std::vector<unsigned>{0});
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    c.AxisChange(0, 0, 1, NaN, 5);
    c.AxisChange(0, 0, 1e21, 1, 5);
    EXPECT_EQ(beeps.Beeps().size(), 3u);
    c.AxisChange(0, 0, 1, 1, 0);  // valid, but no step runs
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 10, 10}));
    EXPECT_EQ(f.draws, 0);
    EXPECT_FALSE(c.Animating());

    c.AxisChange(2, 2, 4, 4, 4);
    EXPECT_EQ(f.draws, 4);
    EXPECT_EQ(c.Window(), (TPlotWindow{2, 2, 4, 4}));
    EXPECT_EQ(beeps.Beeps().size(), 3u);
}

TEST(TCanvas2D, AxisChangeStepsStopAndRollBack)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    std::vector<TPlotWindow> seen;
    std::vector<TCursor> cursors;
    f.onDraw = [&] {
        seen.push_back(c.Window());
        cursors.push_back(c.Image().Cursor());
        EXPECT_TRUE(c.Animating());
        if (f.draws == 2)
            c.Canvas2DMouseDown(&c.Image(), mbRight, 0, 10, 10);
    };
    c.AxisChange(0, 0, 5, 5, 5);
    ASSERT_EQ(seen.size(), 2u);  // stopped after the step that asked
    EXPECT_EQ(seen[0], (TPlotWindow{0, 0, 9, 9}));
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 8, 8}));
    EXPECT_EQ(cursors[0], crHourGlass);
    EXPECT_EQ(c.Image().Cursor(), crDefault);
    EXPECT_FALSE(c.Animating());

    // The third step's drawing overflows: the fourth returns to the start
    // window and ends the change.
    seen.clear();
    f.draws = 0;
    f.onDraw = [&] {
        seen.push_back(c.Window());
        if (f.draws == 3)
            c.Line(c.AxisXMin(), 1, c.AxisXMin() + 1e9, 1);
    };
    c.AxisChange(0, 0, 10, 10, 5);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3], (TPlotWindow{0, 0, 8, 8}));
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 8, 8}));
    EXPECT_FALSE(c.DrawOverflow());

    // A change that starts from an overflowed drawing ends at once.
    f.onDraw = [&] { c.Line(5, 5, 1e12, 5); };
    c.Draw();
    f.draws = 0;
    c.AxisChange(1, 1, 2, 2, 5);
    EXPECT_EQ(f.draws, 1);
    EXPECT_EQ(c.Window(), (TPlotWindow{0, 0, 8, 8}));
}

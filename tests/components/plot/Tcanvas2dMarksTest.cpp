#include "components/plot/AxisMarks.h"
#include "components/plot/Canvas2dHelpers.h"

#include "toolkit/system/SysUtils.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Whether Step is 1, 2 or 5 times a power of ten.
bool RoundStep(double Step)
{
    const double mantissa = Step / std::pow(10.0, std::floor(std::log10(Step)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (std::abs(mantissa - m) < 1e-9 * m)
            return true;
    return false;
}
}  // namespace

TEST(RoundMarks, AwkwardRangesGetRoundSteps)
{
    struct Case {
        double A, B;
        int Intervals;
    };
    const Case cases[] = {{-274.13, 91.2, 10}, {91.2, -274.13, 10}, {0, 1e-9, 10},   {5, 5 + 1e-9, 6},
                          {1e15, 1e15 + 100, 10}, {1e15, 1e15 + 1, 10}, {-1e308, 1e308, 10}, {0, DBL_MAX, 3},
                          {0, 5e-324 * 64, 4},    {1e-300, 3e-300, 10},  {0, 1, 1},          {0, 1, 1000}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.A << ".." << k.B << " in " << k.Intervals);
        const TRoundMarks m = RoundMarks(k.A, k.B, k.Intervals);
        const double lo = std::min(k.A, k.B), hi = std::max(k.A, k.B);
        ASSERT_FALSE(m.Values.empty());
        EXPECT_LE(m.Values.size(), std::size_t(2 * k.Intervals + 2));
        EXPECT_TRUE(RoundStep(m.Step)) << m.Step;
        for (std::size_t i = 0; i < m.Values.size(); ++i) {
            EXPECT_TRUE(std::isfinite(m.Values[i]));
            EXPECT_GE(m.Values[i], lo);
            EXPECT_LE(m.Values[i], hi);
            if (i > 0) {
                EXPECT_LT(m.Values[i - 1], m.Values[i]);
            }
        }
        // Reversed limits mark the same values.
        EXPECT_EQ(RoundMarks(k.B, k.A, k.Intervals).Values, m.Values);
    }

    // The example of a plot whose plain marks read -274.1 ... 91.2.
    const TRoundMarks m = RoundMarks(-274.13, 91.2, 10);
    EXPECT_EQ(m.Values, (std::vector<double>{-250, -200, -150, -100, -50, 0, 50}));
    EXPECT_EQ(m.Decimals, 0);

    // A billionth wide: ten decimals tell the marks apart, and they do.
    const TRoundMarks tiny = RoundMarks(5, 5 + 1e-9, 10);
    EXPECT_EQ(tiny.Decimals, 10);
    const TFormatSettings dot;
    std::set<std::string> labels;
    for (const double v : tiny.Values)
        labels.insert(FormatFloat(RoundMarkFormat(",0.00", tiny.Decimals), v, dot));
    EXPECT_EQ(labels.size(), tiny.Values.size());
    EXPECT_EQ(*labels.begin(), "5.0000000000");
    EXPECT_EQ(*labels.rbegin(), "5.0000000010");

    // Far from zero the marks are whole hundreds of thousands of billions
    // apart from zero but ten apart from each other.
    const TRoundMarks far = RoundMarks(1e15, 1e15 + 100, 10);
    EXPECT_EQ(far.Step, 10);
    EXPECT_EQ(far.Values.size(), 11u);
    EXPECT_EQ(FormatFloat(RoundMarkFormat(",0.00", far.Decimals), far.Values[1], dot), "1,000,000,000,000,010");
}

TEST(RoundMarks, NothingToMarkAndLabelPatterns)
{
    for (const auto& [a, b] : std::vector<std::pair<double, double>>{{5, 5}, {NaN, 1}, {0, NaN}, {0, Inf}, {-Inf, 0}})
        EXPECT_TRUE(RoundMarks(a, b, 10).Values.empty()) << a << ".." << b;
    // No interval count leaves less than one interval.
    EXPECT_EQ(RoundMarks(0, 10, INT_MIN).Values, RoundMarks(0, 10, 1).Values);

    EXPECT_EQ(RoundMarkFormat(",0.00", 1), ",0.0");
    EXPECT_EQ(RoundMarkFormat("0.00", 0), "0");
    EXPECT_EQ(RoundMarkFormat("'a,b' 0.000", 2), "0.00");  // a quoted comma groups nothing
    EXPECT_EQ(RoundMarkFormat("0.0,", 0), "0");  // nor one after the point
    EXPECT_EQ(RoundMarkFormat(",0", INT_MAX).size(), std::size_t(3 + RoundMarkDecimalsMax));
}

namespace {
// The columns of row Y in [X1, X2) and rows of column X in [Y1, Y2) that
// have colour C.
std::set<int> ColumnsOf(Canvas2DFixture& f, int Y, int X1, int X2, TColor C)
{
    std::set<int> s;
    for (int x = X1; x < X2; ++x)
        if (f.At(x, Y) == C)
            s.insert(x);
    return s;
}
std::set<int> RowsOf(Canvas2DFixture& f, int X, int Y1, int Y2, TColor C)
{
    std::set<int> s;
    for (int y = Y1; y < Y2; ++y)
        if (f.At(X, y) == C)
            s.insert(y);
    return s;
}
}  // namespace

TEST(TCanvas2D, RoundMarksTicksLabelsAndMargins)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    EXPECT_FALSE(c.AxisMarksRound());
    EXPECT_FALSE(c.AxisGrid());
    c.SetAxisXMin(-274.13);
    c.SetAxisXMax(91.2);
    c.SetAxisXMarks(9);
    const int draws = f.draws;
    c.SetAxisMarksRound(true);
    EXPECT_EQ(f.draws, draws + 1);
    c.SetAxisMarksRound(true);
    EXPECT_EQ(f.draws, draws + 1);

    // Ticks at -250, -200 ... 50 only: none on the frame's ends.
    std::set<int> ticks;
    for (double v = -250; v <= 50; v += 50)
        ticks.insert(c.ValToScrX(v));
    EXPECT_EQ(ticks.size(), 7u);
    EXPECT_EQ(ColumnsOf(f, 29, 0, 152, clWhite), ticks);
    EXPECT_EQ(ColumnsOf(f, 123, 0, 152, clWhite), ticks);
    const TCanvas2D::TAxisMarks x = c.AxisXMarksGet();
    EXPECT_EQ(x.Format, ",0");

    // Y from 0 to 10 in nine marks keeps its whole numbers; the automatic
    // margin fits the widest of its labels.
    const TCanvas2D::TAxisMarks y = c.AxisYMarksGet();
    EXPECT_EQ(y.Values.size(), 11u);
    EXPECT_EQ(y.Format, ",0");
    c.SetAxisYMin(-1000.5);
    c.SetAxisYMax(20);
    c.SetAxisXMarginAuto(true);
    TCanvas& canvas = c.DrawCanvas();
    canvas.Font = c.AxisFont();
    int widest = 0;
    for (const double v : c.AxisYMarksGet().Values)
        widest = std::max(widest, canvas.TextWidth(FormatFloat(",0", v)));
    EXPECT_EQ(c.AxisXMargin(), widest + 6);
    EXPECT_LT(c.AxisXMargin(), canvas.TextWidth("-1,000.50") + 6);

    // Off again, the marks are the plain ones.
    c.SetAxisMarksRound(false);
    EXPECT_EQ(c.AxisXMarksGet().Values.front(), -274.13);
    EXPECT_EQ(c.AxisXMarksGet().Values.size(), 11u);
}

TEST(TCanvas2D, GridLinesAtEveryMarkBelowThePlot)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    const TColor grid = TCanvas2D::AxisGridColorDefault;
    f.onDraw = [&] {
        c.DrawCanvas().Pen.Color = clRed;
        c.Point(3, 7, 0);
    };
    c.Draw();
    EXPECT_TRUE(ColumnsOf(f, 50, 0, 152, grid).empty());

    c.SetAxisGrid(true);
    // Plain marks: a line at each mark between the ends, across the whole
    // inside and no further; the frame keeps its colour.
    const std::set<int> xs{55, 60, 66, 71, 76, 81, 86, 92, 97};
    const std::set<int> ys{39, 48, 58, 67, 76, 85, 94, 104, 113};
    EXPECT_EQ(ColumnsOf(f, 50, 0, 152, grid), xs);
    EXPECT_EQ(RowsOf(f, 53, 0, 152, grid), ys);
    EXPECT_EQ(RowsOf(f, 55, 0, 152, grid).size(), std::size_t(121 - 31 + 1));
    EXPECT_EQ(f.At(50, 39), clWhite);
    EXPECT_EQ(f.At(53, 50), clNavy);
    // What the owner draws lies on top.
    EXPECT_EQ(f.At(c.ValToScrX(3), c.ValToScrY(7)), clRed);
    EXPECT_EQ(c.DrawCanvas().Pen.Color, clRed);

    // Round marks move the lines with the window, as a zoom step does.
    c.SetAxisMarksRound(true);
    c.SetAxisGridColor(clGreen);
    c.AxisChange(0, 0, 10, 10, 2.5, 2.5, 7.5, 7.5, 2);
    std::set<int> round;
    for (const double v : c.AxisXMarksGet().Values)
        if (c.ValToScrX(v) > 50 && c.ValToScrX(v) < 102)
            round.insert(c.ValToScrX(v));
    EXPECT_EQ(c.AxisXMarksGet().Values.front(), 2.5);
    EXPECT_EQ(ColumnsOf(f, 50, 0, 152, clGreen), round);
    EXPECT_EQ(round.size(), 9u);
}

TEST(TCanvas2D, RoundMarksAndGridOnHostileWindows)
{
    Canvas2DFixture f;
    TCanvas2D& c = *f.c;
    c.SetAxisMarksRound(true);
    c.SetAxisGrid(true);
    c.SetAxisXMarginAuto(true);
    const double limits[][2] = {{5, 5}, {NaN, 10}, {0, Inf}, {-Inf, Inf}, {-1.7e308, 1.7e308}, {0, 1e-300},
                                {1e15, 1e15 + 1}, {10, 0}};
    for (const auto& l : limits) {
        c.SetAxisXMin(l[0]);
        c.SetAxisXMax(l[1]);
        c.SetAxisYMin(l[0]);
        c.SetAxisYMax(l[1]);
        EXPECT_LE(c.AxisXMarksGet().Values.size(), 22u);
    }
    // Reversed limits still get their marks and lines.
    c.SetAxisXMarginAuto(false);
    c.SetAxisXMargin(50);
    EXPECT_EQ(c.AxisXMarksGet().Values.size(), 11u);
    EXPECT_EQ(ColumnsOf(f, 50, 51, 102, TCanvas2D::AxisGridColorDefault).size(), 9u);
    // A huge mark count costs no more than the surface's pixels.
    c.SetAxisXMarks(INT_MAX);
    EXPECT_LE(c.AxisXMarksGet().Values.size(), std::size_t(2 * 153 + 2));
}

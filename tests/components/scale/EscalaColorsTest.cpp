#include "components/scale/EscalaColors.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Denormal = std::numeric_limits<double>::denorm_min();

TEscalaColors Scale(double min, double max, double interval = 0, TEscalaGraduation g = egTwo)
{
    TEscalaColors s;
    s.Minimum = min;
    s.Maximum = max;
    s.Interval = interval;
    s.Graduation = g;
    return s;
}

// Values around every place where the result can change: both sides of each
// step boundary and of each interval multiple, a few units in the last
// place apart, plus the special doubles and random values over and beyond
// the range.
std::vector<double> Probes(const TEscalaColors& s, std::mt19937_64& rnd, int randoms)
{
    std::vector<double> v{NaN, -NaN, Inf, -Inf, DBL_MAX, -DBL_MAX, Denormal, -Denormal, DBL_MIN, 0.0, -0.0,
                          s.Minimum, s.Maximum};
    auto around = [&](double x) {
        if (!std::isfinite(x))
            return;
        double up = x, down = x;
        v.push_back(x);
        for (int i = 0; i < 3; ++i) {
            up = std::nextafter(up, Inf);
            down = std::nextafter(down, -Inf);
            v.push_back(up);
            v.push_back(down);
        }
    };
    const double range = s.Maximum - s.Minimum;
    for (int k = 0; k <= 511; ++k)
        around(s.Minimum + (k - 0.5) * (range / 510));
    // The exact first value of each step, found by bisection.
    if (std::isfinite(range) && range > 0 && s.Interval == 0)
        for (int k = 1; k <= 510; ++k) {
            double below = s.Minimum, at = s.Maximum;
            for (double mid = below + (at - below) / 2; mid != below && mid != at; mid = below + (at - below) / 2)
                (s.Step(mid) >= k ? at : below) = mid;
            around(at);
        }
    if (s.Interval > 0 && std::isfinite(range / s.Interval))
        for (double m = std::floor(s.Minimum / s.Interval) - 1; m * s.Interval <= s.Maximum + s.Interval && v.size() < 200000;
             ++m)
            around(m * s.Interval);
    std::uniform_real_distribution<double> spread(-0.2, 1.2);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < randoms; ++i) {
        v.push_back(std::isfinite(range) ? s.Minimum + spread(rnd) * range : spread(rnd) * DBL_MAX);
        if (i % 16 == 0) {
            const std::uint64_t b = bits(rnd);
            double any;
            std::memcpy(&any, &b, sizeof any);
            v.push_back(any);
        }
    }
    return v;
}

}  // namespace

TEST(EscalaColors, TwoColourGradient)
{
    const TEscalaColors s;
    EXPECT_EQ(s.ValueToColor(50), 0x007F7F7F);  // k = 255: 255 * 255 / 510 = 127 per channel
    EXPECT_EQ(s.ValueToColor(0), 0x00000000);
    EXPECT_EQ(s.ValueToColor(100), 0x00FFFFFF);
    EXPECT_EQ(s.ValueToColor(150), 0x00FFFFFF);
    EXPECT_EQ(s.ValueToColor(-5), 0x00000000);
    EXPECT_EQ(s.ValueToColor(NaN), 0x00000000);

    // Each channel mixes its own bytes, the two quotients truncated apart;
    // system colours are taken as their bytes, and the high byte is dropped.
    TEscalaColors c = s;
    c.GradColor1 = 0x00FF8040;
    c.GradColor2 = 0x00102030;
    EXPECT_EQ(c.StepColor(1), RGB(509 * 0x30 / 510 + 0x40 / 510, 509 * 0x20 / 510 + 0x80 / 510, 509 * 0x10 / 510));
    EXPECT_EQ(c.StepColor(300), RGB(210 * 0x30 / 510 + 300 * 0x40 / 510, 210 * 0x20 / 510 + 300 * 0x80 / 510,
                                    210 * 0x10 / 510 + 300 * 0xFF / 510));
    c.GradColor1 = clBtnFace;
    EXPECT_EQ(c.ValueToColor(100), 0x0000000F);
    EXPECT_EQ(c.StepColor(-7), 0x00102030);
}

TEST(EscalaColors, ThreeColourPalette)
{
    const TEscalaColors s = Scale(0, 100, 0, egThree);
    EXPECT_EQ(s.ValueToColor(0), 0x00FF0000);
    EXPECT_EQ(s.ValueToColor(50), 0x00469600);
    EXPECT_EQ(s.ValueToColor(100), 0x000000FF);
    // Between steps 255 and 256 blue drops from 70 to 0 and red jumps from 0 to 70.
    EXPECT_EQ(s.Step(50.09), 255);
    EXPECT_EQ(s.ValueToColor(50.09), 0x00469600);
    EXPECT_EQ(s.Step(50.1), 256);
    EXPECT_EQ(s.ValueToColor(50.1), 0x00009646);
    EXPECT_EQ(s.StepColor(-3), 0x00FF0000);
    EXPECT_EQ(s.StepColor(600), 0x000000FF);
    EXPECT_EQ(s.ValueToColor(-NaN), 0x00FF0000);
}

TEST(EscalaColors, IntervalAndEveryDouble)
{
    TEscalaColors s = Scale(0, 100, 10);
    EXPECT_EQ(s.Step(37), 153);
    EXPECT_EQ(s.ValueToColor(37), s.ValueToColor(30));
    EXPECT_EQ(s.Step(100), 510);
    // Below Minimum after lowering: the colour of Minimum.
    s = Scale(5, 100, 10);
    EXPECT_LT(s.Step(7), 0);
    EXPECT_EQ(s.ValueToColor(7), s.ValueToColor(5));

    // A range wider than the doubles can subtract.
    s = Scale(-DBL_MAX, DBL_MAX);
    EXPECT_EQ(s.Step(DBL_MAX), 510);
    EXPECT_EQ(s.Step(Inf), 510);
    EXPECT_EQ(s.Step(0), 255);
    EXPECT_EQ(s.Step(-DBL_MAX), 0);
    EXPECT_EQ(s.Step(NaN), 0);
    s = Scale(0, DBL_MAX);  // only the product by 510 overflows
    EXPECT_EQ(s.Step(DBL_MAX / 2), 255);
    EXPECT_EQ(s.Step(DBL_MAX), 510);

    // Tiny ranges and intervals finer than the values' resolution.
    s = Scale(0, Denormal);
    EXPECT_EQ(s.Step(Denormal), 510);
    EXPECT_EQ(s.Step(0), 0);
    s = Scale(0, 100, Denormal);
    EXPECT_EQ(s.Step(50), 255);

    // Empty and reversed ranges give Minimum's colour, whatever the value.
    for (double v : {-1.0, 0.0, 5.0, NaN, Inf}) {
        EXPECT_EQ(Scale(5, 5).Step(v), 0) << v;
        EXPECT_EQ(Scale(10, 0).Step(v), 0) << v;
    }
    // Bounds that are not numbers at all still give a colour.
    EXPECT_EQ(Scale(NaN, 1).ValueToColor(0.5), 0x00000000);
    EXPECT_EQ(Scale(0, Inf).ValueToColor(Inf), 0x00000000);
}

TEST(EscalaColors, ArrayGivesTheSameColours)
{
    std::mt19937_64 rnd(12);
    const std::vector<TEscalaColors> scales{
        Scale(0, 100),
        Scale(-3.7, 12.25),
        Scale(0, 0.3, 0, egThree),
        Scale(17, 23.9),
        Scale(-1e-3, 7e-4),
        Scale(0, 100, 10, egThree),
        Scale(-3.7, 12.25, 0.1),
        Scale(-1e6, 1e6, 3, egThree),
        Scale(1e-300, 3e-300, 1e-301),
        Scale(0, 1, 1e-12),
        Scale(-DBL_MAX, DBL_MAX, 0, egThree),
        Scale(0, DBL_MAX / 100, 1e300),
        Scale(0, 100, Denormal),
        Scale(0, Denormal),
        Scale(5, 5),
        Scale(10, 0, 0, egThree),
        Scale(NaN, 1),
        Scale(0, 100, 1e9),
    };
    std::size_t total = 0;
    for (TEscalaColors s : scales) {
        s.GradColor1 = 0x00C0FF10;
        s.GradColor2 = 0x00200080;
        const std::vector<double> values = Probes(s, rnd, 200000);
        // From an odd start too, so the pairs meet other neighbours.
        for (std::size_t from : {std::size_t(0), std::size_t(1)}) {
            std::vector<TColor> colours(values.size() - from);
            s.ValuesToColors(values.data() + from, colours.data(), colours.size());
            std::size_t wrong = 0;
            for (std::size_t i = 0; i < colours.size(); ++i)
                if (colours[i] != s.ValueToColor(values[from + i]) && wrong++ < 5)
                    ADD_FAILURE() << "value " << values[from + i] << " on " << s.Minimum << ".." << s.Maximum
                                  << " interval " << s.Interval;
            total += colours.size();
        }
    }
    EXPECT_GT(total, std::size_t(6000000));
}

TEST(EscalaColors, ArrayAgreesOnRangesDownToTheSmallestDouble)
{
    // Every power of two from the largest range the quick path takes to the
    // smallest double, with a bound at zero and one away from it, with and
    // without an interval: the reciprocal of the range and its product by
    // 510 overflow at different widths.
    std::mt19937_64 rnd(21);
    std::size_t wrong = 0;
    for (int e = 1000; e >= -1074; e -= 7) {
        const double range = std::ldexp(1.0, e);
        for (const TEscalaColors& s : {Scale(0, range), Scale(-range / 3, range - range / 3, 0, egThree),
                                       Scale(range, 2 * range, range / 64), Scale(0, range * 1.5, range / 1000)}) {
            const std::vector<double> values = Probes(s, rnd, 500);
            std::vector<TColor> colours(values.size());
            s.ValuesToColors(values.data(), colours.data(), colours.size());
            for (std::size_t i = 0; i < colours.size(); ++i)
                if (colours[i] != s.ValueToColor(values[i]) && wrong++ < 5)
                    ADD_FAILURE() << "value " << values[i] << " on " << s.Minimum << ".." << s.Maximum << " interval "
                                  << s.Interval;
        }
    }
    // The case that was reported: 510 / range overflows, 1 / range does not.
    const TEscalaColors s = Scale(0, 1e-307);
    const double v = 2.5e-308;
    TColor c = 0;
    s.ValuesToColors(&v, &c, 1);
    EXPECT_EQ(c, s.ValueToColor(v));
    EXPECT_EQ(c, 0x00404040);
}

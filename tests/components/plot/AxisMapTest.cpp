#include "components/plot/AxisMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(AxisMap, LimitsLandOnTheirPixelsBothWays)
{
    // An x axis 0..10 on pixels 50..102 and a y axis on 122 (bottom) .. 30.
    const TAxisMap x(0, 10, 50, 102), y(0, 10, 122, 30);
    EXPECT_EQ(x.ToPixelInt(0), 50);
    EXPECT_EQ(x.ToPixelInt(10), 102);
    EXPECT_EQ(y.ToPixelInt(10), 30);
    EXPECT_EQ(y.ToPixelInt(0), 122);
    EXPECT_EQ(x.ToWorld(50), 0.0);
    EXPECT_EQ(y.ToWorld(30), 10.0);
    EXPECT_DOUBLE_EQ(y.ToPixel(2.5), 99.0);
    // Halves round away from the first pixel on both axes: 0.5 / 52 of the
    // way is half a pixel.
    EXPECT_EQ(x.ToPixelInt(10 * 0.5 / 52), 51);
    EXPECT_EQ(y.ToPixelInt(10 * 0.5 / 92), 121);
}

TEST(AxisMap, DegenerateAndHostileInputStayInRange)
{
    const TAxisMap equal(3, 3, 10, 110);  // a window without width
    EXPECT_EQ(equal.ToPixelInt(3), 10);
    EXPECT_EQ(equal.ToPixelInt(1e300), 10);
    EXPECT_EQ(equal.ToWorld(70), 3.0);

    const TAxisMap noPixels(0, 10, 76, 76);  // margins of half the surface
    EXPECT_EQ(noPixels.ToWorld(80), 0.0);
    EXPECT_EQ(noPixels.ToPixelInt(5), 76);

    const TAxisMap x(0, 10, 50, 102);
    EXPECT_EQ(x.ToPixelInt(1e300), INT_MAX);
    EXPECT_EQ(x.ToPixelInt(-1e300), INT_MIN);
    EXPECT_EQ(x.ToPixelInt(Inf), INT_MAX);
    EXPECT_EQ(x.ToPixelInt(-Inf), INT_MIN);
    EXPECT_EQ(x.ToPixelInt(NaN), 50);

    for (double lim : {NaN, Inf, -Inf}) {
        const TAxisMap bad(0, lim, 0, 100);
        EXPECT_FALSE(bad.WorldUsable());
        EXPECT_EQ(bad.ToPixelInt(5), 0);
        EXPECT_EQ(bad.ToWorld(50), 0.0);
    }
    // Limits so far apart that their distance overflows.
    EXPECT_FALSE(TAxisMap(-1.7e308, 1.7e308, 0, 100).WorldUsable());
}

TEST(AxisMap, PixelsNearTheSaturationLimitsRoundAndSaturateAsWideArithmeticSays)
{
    // The pixel worked out wide: P1 plus the distance rounded away from P1
    // at halves, each held at the int range.
    auto wide = [](const TAxisMap& m, double w) -> long long {
        const double d = (w - m.W1()) / (m.W2() - m.W1()) * m.PixelSpan();
        if (std::isnan(d))
            return m.P1();
        if (d >= 4294967296.0)
            return INT_MAX;
        if (d <= -4294967296.0)
            return INT_MIN;
        const long long r = std::clamp<long long>(std::llround(d), INT_MIN, INT_MAX);
        return std::clamp<long long>(m.P1() + r, INT_MIN, INT_MAX);
    };
    const TAxisMap maps[] = {{0, 10, 50, 102},        {0, 10, 122, 30},     {-1e300, 1e300, 0, 800},
                             {0, 1e-300, 536870911, 0}, {3, 4, -536870912, 5}, {0, 10, INT_MIN, INT_MAX},
                             {-7, 2, 2000, -2000}};
    for (const TAxisMap& m : maps) {
        const double width = m.W2() - m.W1();
        // From inside the window out past the ranges where the distance or
        // the pixel saturate, on both sides, and just around each power of 2.
        for (int e = -4; e <= 40; ++e)
            for (double k : {1.0, -1.0})
                for (double near : {1 - 1e-12, 1.0, 1 + 1e-12}) {
                    const double w = m.W1() + k * std::ldexp(near, e) * width / std::max(std::abs(m.PixelSpan()), 1);
                    EXPECT_EQ(m.ToPixelInt(w), wide(m, w)) << m.W1() << ".." << m.W2() << " at " << w;
                }
        for (double w : {NaN, Inf, -Inf, 1e308, -1e308})
            EXPECT_EQ(m.ToPixelInt(w), wide(m, w));
    }
}

TEST(AxisMap, ManyValuesAtOnceMapAsOneByOne)
{
    // Pairs of values go through the wide registers; a pair holding a value
    // that needs saturation, or not a number, goes value by value. Every
    // mix of the two, halves of pixels, window limits and odd counts.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0, 1);
    const TAxisMap maps[] = {{0, 10, 50, 102},   {0, 10, 122, 30},  {-1e300, 1e300, 0, 800}, {3, 3, 10, 110},
                             {0, Inf, 0, 100},    {5, 4, 0, 1920},   {3, 4, -536870912, 5},   {0, 10, INT_MIN, INT_MAX},
                             {-7, 2, 2000, -2000}, {0, 1e-300, 7, 0}};
    std::vector<std::vector<double>> values;
    for (const TAxisMap& m : maps) {
        const double lo = m.W1(), width = m.W2() - m.W1(), span = std::max(std::abs(m.PixelSpan()), 1);
        std::vector<double> w;
        for (int i = 0; i < 4001; ++i) {
            const double p = u(rng);
            if (p < 0.6)
                w.push_back(lo + width * (u(rng) * 1.4 - 0.2));
            else if (p < 0.8)  // within a hair of a half pixel
                w.push_back(lo + width * (std::floor(u(rng) * span) + 0.5) / span * (1 + (u(rng) - 0.5) * 1e-15));
            else {
                const double special[] = {NaN, Inf, -Inf, 1e300, -1e300, m.W1(), m.W2(),
                                          lo + width * 2147483647.0 / span, lo - width * 2147483648.0 / span,
                                          lo + width * 536870912.0 / span};
                w.push_back(special[std::uniform_int_distribution<std::size_t>(0, std::size(special) - 1)(rng)]);
            }
        }
        std::vector<int> out(w.size());
        m.ToPixelsInt(w.data(), w.size(), out.data());
        for (std::size_t i = 0; i < w.size(); ++i)
            ASSERT_EQ(out[i], m.ToPixelInt(w[i])) << m.W1() << ".." << m.W2() << " at " << w[i];
        values.push_back(std::move(w));
    }
    // A point's two axes at once, every map on x with every map on y.
    for (std::size_t a = 0; a < std::size(maps); ++a)
        for (std::size_t b = 0; b < std::size(maps); ++b)
            for (std::size_t i = 0; i < values[a].size(); ++i) {
                const double x = values[a][i], y = values[b][values[b].size() - 1 - i];
                const TPoint p = TAxisMap::ToPixelsInt(maps[a], x, maps[b], y);
                ASSERT_EQ(p, (TPoint{maps[a].ToPixelInt(x), maps[b].ToPixelInt(y)}))
                    << "maps " << a << ", " << b << " at " << x << ", " << y;
            }
}

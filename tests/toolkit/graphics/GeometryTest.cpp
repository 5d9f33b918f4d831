#include "toolkit/graphics/Geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(Geometry, RectanglesAreHalfOpen)
{
    constexpr TRect r{2, 3, 5, 7};
    static_assert(r.Width() == 3 && r.Height() == 4);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(4, 6));
    EXPECT_FALSE(r.Contains(5, 3));  // the right edge is outside
    EXPECT_FALSE(r.Contains(2, 7));  // so is the bottom one
    EXPECT_TRUE(TRect(2, 3, 3, 4).Contains(2, 3));
    EXPECT_TRUE(TRect{}.Empty());
    EXPECT_TRUE(TRect(5, 0, 5, 9).Empty());
    EXPECT_TRUE(TRect(6, 0, 5, 9).Empty());
    EXPECT_FALSE(TRect(5, 3, 2, 7).Contains(3, 4));  // reversed corners hold nothing

    // Neighbours that only share an edge have no pixel in common.
    const TRect right{5, 3, 8, 7};
    EXPECT_FALSE(r.Intersects(right));
    EXPECT_EQ(r.Intersected(right), TRect{});
    EXPECT_EQ(r.United(right), TRect(2, 3, 8, 7));
    EXPECT_EQ(r.Intersected({4, 0, 9, 4}), TRect(4, 3, 5, 4));
    EXPECT_TRUE(r.Intersects({4, 6, 5, 7}));
    // An empty rectangle adds nothing to a union, wherever it lies.
    EXPECT_EQ(r.United({100, 100, 100, 200}), r);
    EXPECT_EQ(TRect(-9, -9, -9, -9).United(r), r);
    EXPECT_TRUE(r.Contains(TRect{3, 4, 5, 7}));
    EXPECT_FALSE(r.Contains(TRect{3, 4, 6, 7}));
    EXPECT_TRUE(r.Contains(TRect{50, 50, 40, 40}));

    EXPECT_EQ(r.Offset(-2, 1), TRect(0, 4, 3, 8));
    EXPECT_EQ(r.Inflated(1, 2), TRect(1, 1, 6, 9));
    EXPECT_EQ(RectFromCorners({5, 7}, {2, 3}), r);
    EXPECT_EQ(RectFromCorners({2, 7}, {5, 3}), r);
}

TEST(Geometry, ConversionsSaturateAtTheIntRangeEnds)
{
    static_assert(SaturatingInt(std::int64_t(INT_MAX) + 1) == INT_MAX);
    static_assert(SaturatingInt(std::int64_t(INT_MIN) - 1) == INT_MIN);
    static_assert(SaturatingInt(-5) == -5);
    static_assert(SaturatingTrunc(2.9) == 2 && SaturatingTrunc(-2.9) == -2);

    for (double v : {2147483647.0, 2147483647.4, 2147483648.0, 1e300, Inf})
        EXPECT_EQ(SaturatingTrunc(v), INT_MAX) << v;
    for (double v : {-2147483648.0, -2147483648.9, -2147483649.0, -1e300, -Inf})
        EXPECT_EQ(SaturatingTrunc(v), INT_MIN) << v;
    EXPECT_EQ(SaturatingTrunc(NaN), 0);
    EXPECT_EQ(SaturatingTrunc(2147483646.9), 2147483646);

    EXPECT_EQ(SaturatingRound(2.5), 3);
    EXPECT_EQ(SaturatingRound(-2.5), -3);
    EXPECT_EQ(SaturatingRound(2.4999), 2);
    EXPECT_EQ(SaturatingRound(-0.5), -1);
    EXPECT_EQ(SaturatingRound(-0.0), 0);
    EXPECT_EQ(SaturatingRound(0.49999999999999994), 0);
    EXPECT_EQ(SaturatingRound(2147483646.5), INT_MAX);
    EXPECT_EQ(SaturatingRound(2147483647.5), INT_MAX);
    EXPECT_EQ(SaturatingRound(-2147483648.4), INT_MIN);
    EXPECT_EQ(SaturatingRound(-2147483648.5), INT_MIN);
    EXPECT_EQ(SaturatingRound(Inf), INT_MAX);
    EXPECT_EQ(SaturatingRound(-Inf), INT_MIN);
    EXPECT_EQ(SaturatingRound(NaN), 0);

    // Rectangle edges saturate too instead of wrapping round.
    const TRect wide{INT_MIN, 0, INT_MAX, 1};
    EXPECT_EQ(wide.Inflated(1, 0), wide);
    EXPECT_EQ(wide.Offset(5, 0), TRect(INT_MIN + 5, 0, INT_MAX, 1));
    EXPECT_EQ(wide.Offset(-5, 0), TRect(INT_MIN, 0, INT_MAX - 5, 1));
}

TEST(Geometry, TransformsComposeInOrderAndRoundToPixelsHalvesUp)
{
    const TAffine scale{2, 0, 0, 3, 0, 0};
    const TAffine shift{1, 0, 0, 1, 10, -4};
    EXPECT_EQ(scale.Then(shift).Apply({1, 1}), TPointF(12, -1));
    EXPECT_EQ(shift.Then(scale).Apply({1, 1}), TPointF(22, -9));
    const TAffine turn{0, 1, -1, 0, 0, 0};  // a quarter turn
    EXPECT_FALSE(turn.AxisAligned());
    EXPECT_DOUBLE_EQ(turn.Then(scale).Scale(), std::sqrt(6.0));

    EXPECT_EQ(PixelRound(2.5), 3);
    EXPECT_EQ(PixelRound(-2.5), -2);
    EXPECT_EQ(PixelRound(1e12), PixelRange);
    EXPECT_EQ(PixelRound(-1e12), -PixelRange);
    EXPECT_EQ(PixelRound(NaN), -PixelRange);
    EXPECT_EQ(TAffine{}.MapToPixel({-0.5, 0.49}), TPoint(0, 0));
    EXPECT_FALSE((TAffine{NaN, 0, 0, 1, 0, 0}.Finite()));
}

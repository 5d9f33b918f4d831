#include "components/plot/PlotNavigation.h"

#include <gtest/gtest.h>

#include <limits>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(PlotNavigation, WindowValidity)
{
    EXPECT_TRUE(WindowValid({0, 0, 10, 10}));
    EXPECT_TRUE(WindowValid({0, 0, 1e-20, 1e20}));
    EXPECT_FALSE(WindowValid({0, 0, 1e-21, 1}));
    EXPECT_FALSE(WindowValid({0, 0, 1, 1.1e20}));
    EXPECT_FALSE(WindowValid({10, 0, 0, 1}));  // reversed
    EXPECT_FALSE(WindowValid({0, 0, NaN, 1}));
    EXPECT_FALSE(WindowValid({0, -Inf, 1, 1}));
    EXPECT_FALSE(WindowValid({-1e308, 0, 1e308, 1}));
}

TEST(PlotNavigation, WindowArithmetic)
{
    EXPECT_EQ(WindowAround(5, 5, 5, 5), (TPlotWindow{2.5, 2.5, 7.5, 7.5}));
    EXPECT_EQ(WindowMoved({0, 0, 10, 10}, 1, -2), (TPlotWindow{-1, 2, 9, 12}));
    const TPlotWindow from{0, 0, 10, 10}, to{2.5, 2.5, 7.5, 7.5};
    EXPECT_EQ(WindowBetween(from, to, 2, 5), (TPlotWindow{1, 1, 9, 9}));
    // The last step is the target itself, not an interpolation of it.
    const TPlotWindow odd{0.1, 0.2, 0.3, 0.7};
    EXPECT_EQ(WindowBetween(from, odd, 3, 3), odd);
}

TEST(PlotNavigation, HistoryBackForwardAndBranching)
{
    const TPlotWindow a{0, 0, 10, 10}, b{2.5, 2.5, 7.5, 7.5}, c{3, 3, 5, 5}, d{-5, -5, 15, 15};
    TZoomHistory h;
    EXPECT_FALSE(h.Back());
    h.Record(a, b);
    h.Record(b, c);
    EXPECT_EQ(h.Size(), 3u);
    EXPECT_EQ(h.Back(), b);
    EXPECT_EQ(h.Back(), a);
    EXPECT_FALSE(h.Back());
    EXPECT_EQ(h.Forward(), b);
    // A new change from b drops c, which lay ahead.
    h.Record(b, d);
    EXPECT_FALSE(h.Forward());
    EXPECT_EQ(h.Back(), b);
    EXPECT_EQ(h.Back(), a);

    // A window set by other means since the last record is kept as well.
    TZoomHistory moved;
    moved.Record(a, b);
    moved.Record(c, d);
    EXPECT_EQ(moved.Size(), 4u);
    EXPECT_EQ(moved.Back(), c);

    // A window that cannot be shown is not kept; back from it leads to the
    // current entry, and nothing moves until Go.
    const TPlotWindow flat{3, 0, 3, 10};
    TZoomHistory kept;
    kept.Record(a, b);
    kept.Record(b, flat);
    kept.Record(flat, c);
    EXPECT_EQ(kept.Size(), 3u);
    EXPECT_EQ(kept.BackIndex(flat), 2u);
    EXPECT_EQ(kept.BackIndex(c), 1u);
    EXPECT_FALSE(kept.ForwardIndex());
    kept.Go(0);
    EXPECT_EQ(kept.At(*kept.ForwardIndex()), b);
}

TEST(PlotNavigation, HistoryIsBounded)
{
    TZoomHistory h(4);
    for (int i = 0; i < 10; ++i)
        h.Record({double(i), 0, i + 1.0, 1}, {i + 1.0, 0, i + 2.0, 1});
    EXPECT_EQ(h.Size(), 4u);
    int back = 0;
    while (h.Back())
        ++back;
    EXPECT_EQ(back, 3);
}

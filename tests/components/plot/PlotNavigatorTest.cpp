#include "components/plot/PlotNavigator.h"

#include <gtest/gtest.h>

namespace {

// A 152 x 152 surface without axes showing 0..10 on both axes.
TNavView View(TPlotWindow w = {0, 0, 10, 10}, double factor = 0.5, bool animating = false)
{
    return {w, TAxisMap(w.XMin, w.XMax, 0, 152), TAxisMap(w.YMin, w.YMax, 152, 0), 152, 152, 152, 152, factor,
            animating};
}

TRubber Box(int x, int y, int half) { return {TRubber::Box, {x, y}, {half, half}}; }
TRubber Line(TPoint a, TPoint b) { return {TRubber::Line, a, b}; }

}  // namespace

TEST(PlotNavigator, ZoomInFollowsThePointerAndComesBackCentred)
{
    TPlotNavigator nav;
    TNavCommand c = nav.SetMode(zmZoomIn, View());
    EXPECT_EQ(c.Figures, std::vector{Box(76, 76, 38)});
    EXPECT_TRUE(nav.SetMode(zmZoomIn, View()).Figures.empty());  // drawn once

    // A box drawn with an earlier factor is erased as it was drawn.
    c = nav.Move({60, 70}, View({0, 0, 10, 10}, 0.25));
    EXPECT_EQ(c.Figures, (std::vector{Box(76, 76, 38), Box(60, 70, 19)}));
    EXPECT_FALSE(c.To);

    // The press erases the box and asks for the window around its centre;
    // the box mode comes back after the change.
    c = nav.Press(true, {60, 70}, View());
    EXPECT_EQ(c.Figures, std::vector{Box(60, 70, 19)});
    ASSERT_TRUE(c.To);
    EXPECT_DOUBLE_EQ(c.To->XMin, 60.0 / 152 * 10 - 2.5);
    EXPECT_DOUBLE_EQ(c.To->YMax, 10 - 70.0 / 152 * 10 + 2.5);
    EXPECT_EQ(c.ModeAfter, zmZoomIn);
    EXPECT_EQ(nav.Mode(), zmNone);
    EXPECT_FALSE(nav.BoxShown());
    nav.Arrived({0, 0, 10, 10}, *c.To, c.Entry);
    EXPECT_EQ(nav.History().Size(), 2u);
    EXPECT_EQ(nav.SetMode(zmZoomIn, View(*c.To)).Figures, std::vector{Box(76, 76, 38)});

    // A window too narrow to show: a beep instead, and the box back.
    c = nav.Press(true, {76, 76}, View({0, 0, 1e-19, 10}, 0.05));
    EXPECT_TRUE(c.Beep);
    EXPECT_FALSE(c.To);
    EXPECT_EQ(c.ModeAfter, zmZoomIn);

    // Any other button leaves the mode and takes the box away.
    nav.SetMode(zmZoomIn, View());
    c = nav.Press(false, {5, 5}, View());
    EXPECT_EQ(c.Figures, std::vector{Box(76, 76, 38)});
    EXPECT_EQ(nav.Mode(), zmNone);
    EXPECT_FALSE(c.Swallow);
}

TEST(PlotNavigator, DragToPan)
{
    TPlotNavigator nav;
    nav.SetMode(zmPan, View());
    // A release with no drag in progress, and a move, change nothing.
    TNavCommand c = nav.Release(true, {100, 50}, View());
    EXPECT_TRUE(c.Figures.empty());
    EXPECT_FALSE(c.To);
    EXPECT_TRUE(nav.Move({100, 50}, View()).Figures.empty());

    c = nav.Press(true, {100, 50}, View());
    EXPECT_EQ(c.Figures, std::vector{Line({100, 50}, {100, 50})});
    EXPECT_TRUE(nav.Dragging());
    c = nav.Move({110, 50}, View());
    EXPECT_EQ(c.Figures, (std::vector{Line({100, 50}, {100, 50}), Line({100, 50}, {110, 50})}));
    EXPECT_TRUE(nav.Release(false, {110, 50}, View()).Figures.empty());  // only the left button ends it

    // The release erases the line; the world point under the press ends up
    // under the pointer.
    c = nav.Release(true, {120, 50}, View());
    EXPECT_EQ(c.Figures, std::vector{Line({100, 50}, {110, 50})});
    ASSERT_TRUE(c.To);
    EXPECT_NEAR(c.To->XMin, -10.0 / 152 * 10, 1e-12);
    EXPECT_EQ(c.To->YMin, 0);
    EXPECT_EQ(c.ModeAfter, zmPan);
    EXPECT_FALSE(nav.Dragging());

    // A drag abandoned by another mode takes its line with it.
    nav.SetMode(zmPan, View());
    nav.Press(true, {20, 20}, View());
    nav.Move({90, 120}, View());
    c = nav.SetMode(zmZoomOut, View());
    EXPECT_EQ(c.Figures, std::vector{Line({20, 20}, {90, 120})});
    EXPECT_FALSE(nav.Dragging());
    EXPECT_FALSE(nav.Release(true, {90, 120}, View()).To);
}

TEST(PlotNavigator, InputWhileAWindowChangeRuns)
{
    TPlotNavigator nav;
    nav.SetMode(zmZoomIn, View());
    const TNavView running = View({0, 0, 10, 10}, 0.5, true);
    // A left press is swallowed whole; another button asks the change to stop.
    TNavCommand c = nav.Press(true, {76, 76}, running);
    EXPECT_TRUE(c.Swallow);
    EXPECT_TRUE(c.Figures.empty());
    EXPECT_FALSE(c.To);
    EXPECT_FALSE(nav.StopRequested());
    c = nav.Press(false, {76, 76}, running);
    EXPECT_FALSE(c.Swallow);
    EXPECT_TRUE(c.Figures.empty());
    EXPECT_TRUE(nav.StopRequested());
    EXPECT_EQ(nav.Mode(), zmZoomIn);

    // The wheel adds up parts of a notch, also while it cannot zoom.
    EXPECT_FALSE(nav.Wheel(200, {38, 114}, running).To);
    EXPECT_EQ(nav.WheelRest(), 80);
    c = nav.Wheel(40, {38, 114}, View());
    ASSERT_TRUE(c.To);
    EXPECT_EQ(*c.To, (TPlotWindow{1.25, 1.25, 6.25, 6.25}));
    EXPECT_EQ(nav.WheelRest(), 0);
}

TEST(PlotNavigator, RepaintPutsTheFiguresBack)
{
    TPlotNavigator nav;
    EXPECT_TRUE(nav.Repainted(View()).empty());
    nav.SetMode(zmZoomIn, View());
    nav.Move({30, 40}, View());
    nav.PictureCleared();
    EXPECT_EQ(nav.Repainted(View()), std::vector{Box(30, 40, 38)});
    nav.SetMode(zmPan, View());
    EXPECT_TRUE(nav.Repainted(View()).empty());
    nav.Press(true, {10, 10}, View());
    nav.Move({20, 30}, View());
    EXPECT_EQ(nav.Repainted(View()), std::vector{Line({10, 10}, {20, 30})});
}

TEST(PlotNavigator, HistorySteps)
{
    TPlotNavigator nav;
    const TPlotWindow home{0, 0, 10, 10}, zoomed{2.5, 2.5, 7.5, 7.5};
    nav.Arrived(home, home, std::nullopt);  // no move, nothing recorded
    EXPECT_EQ(nav.History().Size(), 0u);
    nav.Arrived(home, zoomed, std::nullopt);
    TNavCommand back = nav.Back(View(zoomed));
    EXPECT_EQ(back.To, home);
    EXPECT_EQ(back.Entry, 0u);
    // A step that did not arrive leaves the position.
    nav.Arrived(zoomed, zoomed, back.Entry);
    EXPECT_FALSE(nav.History().CanForward());
    nav.Arrived(zoomed, home, back.Entry);
    EXPECT_EQ(nav.Forward(View(home)).To, zoomed);
    EXPECT_EQ(nav.History().Size(), 2u);
}

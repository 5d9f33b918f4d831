#include "components/plot/PlotNavigator.h"

#include <algorithm>
#include <cmath>

void TPlotNavigator::Target(TNavCommand& c, const TPlotWindow& To) const
{
    if (WindowValid(To))
        c.To = To;
    else
        c.Beep = true;
}

TRubber TPlotNavigator::BoxToggle(const TNavView& View)
{
    // A box is erased as it was drawn, whatever changed since; a new one
    // takes the area's size of now.
    if (box_) {
        const TRubber shown = *box_;
        box_.reset();
        return shown;
    }
    box_ = TRubber{TRubber::Box, centre_,
                   {SaturatingRound(View.AreaWidth * 0.5 * View.ZoomFactor),
                    SaturatingRound(View.AreaHeight * 0.5 * View.ZoomFactor)}};
    return *box_;
}

TNavCommand TPlotNavigator::SetMode(int Mode, const TNavView& View)
{
    TNavCommand c;
    // Only the four modes exist; another number would leave a box or a line
    // on the picture that nothing erases.
    if (Mode == mode_ || (Mode != zmNone && Mode != zmZoomIn && Mode != zmZoomOut && Mode != zmPan))
        return c;
    const int old = mode_;
    // Leaving pan mode ends a drag, and its line goes with it.
    if (old == zmPan && dragging_) {
        c.Figures.push_back(DragLine());
        dragging_ = false;
    }
    if (Mode == zmZoomIn) {
        centre_ = {View.SurfaceWidth / 2, View.SurfaceHeight / 2};
        c.Figures.push_back(BoxToggle(View));
    } else if (old == zmZoomIn) {
        c.Figures.push_back(BoxToggle(View));
    }
    mode_ = Mode;
    return c;
}

TNavCommand TPlotNavigator::Press(bool Left, TPoint P, const TNavView& View)
{
    if (!Left) {
        // Any other button leaves the mode, or stops a change that runs.
        TNavCommand c;
        if (!View.Animating)
            c = SetMode(zmNone, View);
        stop_ = true;
        return c;
    }
    // A zoom runs inside its press; a second press would start another
    // from a window that is still moving.
    if (View.Animating) {
        TNavCommand swallowed;
        swallowed.Swallow = true;
        return swallowed;
    }
    TNavCommand c;
    switch (mode_) {
    case zmZoomIn: return ZoomMore(View);
    case zmZoomOut: return ZoomLess(P, View);
    case zmPan:
        dragStart_ = dragEnd_ = P;
        dragging_ = true;
        // The line is shown from the press on, so that every later draw of
        // it is an erase or a draw, never out of step.
        c.Figures.push_back(DragLine());
        break;
    default: break;
    }
    return c;
}

TNavCommand TPlotNavigator::Move(TPoint P, const TNavView& View)
{
    TNavCommand c;
    if (mode_ == zmZoomIn) {
        c.Figures.push_back(BoxToggle(View));
        centre_ = P;
        c.Figures.push_back(BoxToggle(View));
    } else if (mode_ == zmPan && dragging_) {
        c.Figures.push_back(DragLine());
        dragEnd_ = P;
        c.Figures.push_back(DragLine());
    }
    return c;
}

TNavCommand TPlotNavigator::Release(bool Left, TPoint, const TNavView& View)
{
    if (!Left || mode_ != zmPan || !dragging_)
        return {};
    // The drag ends where the line was last drawn.
    TRubber line = DragLine();
    dragging_ = false;
    TNavCommand c = Pan(View);
    c.Figures.insert(c.Figures.begin(), line);
    return c;
}

TNavCommand TPlotNavigator::Wheel(int Delta, TPoint P, const TNavView& View)
{
    // Fine-grained wheels and touchpads send parts of a notch; they add up.
    wheelRest_ += Delta;
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches == 0 || View.Animating)
        return {};
    return ZoomAt(P, std::clamp(notches, -8, 8), View);
}

TNavCommand TPlotNavigator::ZoomMore(const TNavView& View)
{
    const TPlotWindow& w = View.Window;
    const double width = (w.XMax - w.XMin) * View.ZoomFactor, height = (w.YMax - w.YMin) * View.ZoomFactor;
    const TPlotWindow to = WindowAround(View.X.ToWorld(centre_.X), View.Y.ToWorld(centre_.Y), width, height);
    // The box goes while the window moves and comes back at the centre.
    TNavCommand c = SetMode(zmNone, View);
    Target(c, to);
    c.ModeAfter = zmZoomIn;
    return c;
}

TNavCommand TPlotNavigator::ZoomLess(TPoint P, const TNavView& View)
{
    const TPlotWindow& w = View.Window;
    const double width = (w.XMax - w.XMin) / View.ZoomFactor, height = (w.YMax - w.YMin) / View.ZoomFactor;
    TNavCommand c;
    Target(c, WindowAround(View.X.ToWorld(P.X), View.Y.ToWorld(P.Y), width, height));
    return c;
}

TNavCommand TPlotNavigator::Pan(const TNavView& View)
{
    // The world point under the drag's start ends up under its end.
    const double dx = View.X.ToWorld(dragEnd_.X) - View.X.ToWorld(dragStart_.X);
    const double dy = View.Y.ToWorld(dragEnd_.Y) - View.Y.ToWorld(dragStart_.Y);
    const TPlotWindow to = WindowMoved(View.Window, dx, dy);
    TNavCommand c = SetMode(zmNone, View);
    Target(c, to);
    c.ModeAfter = zmPan;
    return c;
}

TNavCommand TPlotNavigator::ZoomAt(TPoint P, int Steps, const TNavView& View)
{
    if (Steps == 0)
        return {};
    // The world point under P stays there: its distance to each limit
    // scales with the window.
    const double f = std::pow(View.ZoomFactor, Steps);
    const double px = View.X.ToWorld(P.X), py = View.Y.ToWorld(P.Y);
    const TPlotWindow& w = View.Window;
    TPlotWindow to;
    to.XMin = px - (px - w.XMin) * f;
    to.XMax = px + (w.XMax - px) * f;
    to.YMin = py - (py - w.YMin) * f;
    to.YMax = py + (w.YMax - py) * f;
    TNavCommand c;
    Target(c, to);
    return c;
}

TNavCommand TPlotNavigator::Back(const TNavView& View) const
{
    TNavCommand c;
    if (const auto entry = history_.BackIndex(View.Window)) {
        c.To = history_.At(*entry);
        c.Entry = entry;
    }
    return c;
}

TNavCommand TPlotNavigator::Forward(const TNavView&) const
{
    TNavCommand c;
    if (const auto entry = history_.ForwardIndex()) {
        c.To = history_.At(*entry);
        c.Entry = entry;
    }
    return c;
}

std::vector<TRubber> TPlotNavigator::Repainted(const TNavView& View)
{
    if (mode_ == zmZoomIn)
        return {BoxToggle(View)};
    if (mode_ == zmPan && dragging_)
        return {DragLine()};
    return {};
}

void TPlotNavigator::Arrived(const TPlotWindow& From, const TPlotWindow& Shown, std::optional<std::size_t> Entry)
{
    if (Shown == From)
        return;
    if (Entry)
        history_.Go(*Entry);
    else
        history_.Record(From, Shown);
}

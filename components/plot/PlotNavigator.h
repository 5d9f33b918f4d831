// The plot's mouse navigation as a plain object: the zoom mode, the drag,
// the zoom box on the picture, the wheel's remainder, the request to stop a
// running change and the history of the windows visited. It takes surface
// pixels and the plot as it stands, and returns what the widget is to do:
// the rubber figures to draw with an inverting pen, a window to move to or
// a beep. It neither draws nor animates.
#pragma once

#include "components/plot/AxisMap.h"
#include "components/plot/PlotNavigation.h"
#include "toolkit/graphics/Geometry.h"

#include <cstddef>
#include <optional>
#include <vector>

// The plot as the navigator sees it at one piece of input.
struct TNavView {
    TPlotWindow Window;  // The window shown.
    TAxisMap X, Y;       // World to surface pixels, for that window.
    // The size of the area the zoom box is ZoomFactor of, in pixels: the
    // plot interior with axes, the whole surface without.
    int AreaWidth = 0, AreaHeight = 0;
    int SurfaceWidth = 0, SurfaceHeight = 0;  // The drawing surface, whose centre a new box takes.
    double ZoomFactor = 0.5;                  // See TCanvas2D::ZoomFactor.
    bool Animating = false;                   // A window change is running.
};

// A figure drawn over the picture with an inverting pen: drawing it again
// restores the picture. Surface pixels.
struct TRubber {
    enum TKind { Box, Line };
    TKind Kind = Box;
    TPoint A;  // The box's centre; the line's start.
    TPoint B;  // The box's half width and half height; the line's end.
    friend bool operator==(const TRubber&, const TRubber&) = default;  // Same figure.
};

// What the widget is to do for one piece of input, in this order: draw the
// figures (erasing those on the picture), beep or move the window to To
// (and tell the navigator with Arrived), then set the mode to ModeAfter.
struct TNavCommand {
    bool Swallow = false;             // The owner does not hear of the input.
    std::vector<TRubber> Figures;     // Drawn in order; the erasures come first.
    bool Beep = false;                // The window asked for cannot be shown.
    std::optional<TPlotWindow> To;    // The window to move to, animated.
    std::optional<std::size_t> Entry;  // To is this entry of the history.
    std::optional<int> ModeAfter;      // The mode once the window has moved.
};

class TPlotNavigator {
public:
    int Mode() const { return mode_; }          // zmNone, zmZoomIn, zmZoomOut or zmPan.
    bool Dragging() const { return dragging_; }  // A pan drag is in progress.
    // Whether a zoom box is on the picture, and where.
    bool BoxShown() const { return box_.has_value(); }
    // The box as it was drawn, centre and half sizes; see BoxShown.
    TRubber Box() const { return box_.value_or(TRubber{}); }
    TPoint BoxCentre() const { return centre_; }  // Where the next box is drawn.
    TRubber DragLine() const { return {TRubber::Line, dragStart_, dragEnd_}; }  // From the press to the last move.
    int WheelRest() const { return wheelRest_; }  // Wheel turned short of a notch, in eighths of a degree.
    const TZoomHistory& History() const { return history_; }  // The windows visited.

    // A change is stopped after its current step once this is set.
    bool StopRequested() const { return stop_; }
    void RequestStop() { stop_ = true; }
    void ClearStop() { stop_ = false; }  // A change starts.

    // Another mode: erases the box and the drag line, and draws the box at
    // the surface's centre for zmZoomIn. Numbers that are no mode, and the
    // mode in force, change nothing.
    TNavCommand SetMode(int Mode, const TNavView& View);
    // The mouse, in surface pixels (Left: the left button).
    TNavCommand Press(bool Left, TPoint P, const TNavView& View);
    TNavCommand Move(TPoint P, const TNavView& View);                // See Press.
    TNavCommand Release(bool Left, TPoint P, const TNavView& View);  // See Press.
    // The wheel turned by Delta eighths of a degree over P; parts of a
    // notch add up.
    TNavCommand Wheel(int Delta, TPoint P, const TNavView& View);

    // Zoom in onto the box, keeping to zoom-in mode.
    TNavCommand ZoomMore(const TNavView& View);
    TNavCommand ZoomLess(TPoint P, const TNavView& View);  // Zoom out around P; the mode stays.
    // Moves the window by the drag, keeping to pan mode.
    TNavCommand Pan(const TNavView& View);
    // Zoom in (Steps > 0) or out around P, which keeps its world point.
    TNavCommand ZoomAt(TPoint P, int Steps, const TNavView& View);
    // The previous and the next window of the history, if any.
    TNavCommand Back(const TNavView& View) const;
    TNavCommand Forward(const TNavView& View) const;  // See Back.

    // Draws the box at its centre, or erases the box shown as it was drawn.
    TRubber BoxToggle(const TNavView& View);
    void BoxCentreSet(TPoint P) { centre_ = P; }  // Where the next box is drawn.
    void DragEndSet(TPoint P) { dragEnd_ = P; }    // The drag line's end.
    // The picture was cleared: no box is on it any more.
    void PictureCleared() { box_.reset(); }
    // The picture was painted again without the rubber figures: the
    // figures of the mode to put back on it.
    std::vector<TRubber> Repainted(const TNavView& View);
    // The window moved from From to Shown as a command asked (Entry: the
    // command's). Moves in the history or records the new window.
    void Arrived(const TPlotWindow& From, const TPlotWindow& Shown, std::optional<std::size_t> Entry);

private:
    void Target(TNavCommand& c, const TPlotWindow& To) const;

    int mode_ = zmNone;
    TPoint centre_;
    std::optional<TRubber> box_;
    TPoint dragStart_, dragEnd_;
    bool dragging_ = false;
    int wheelRest_ = 0;
    bool stop_ = false;
    TZoomHistory history_;
};

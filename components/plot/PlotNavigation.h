// Zoom and pan of a plot, apart from the widget that shows it: the window
// of world coordinates and the arithmetic of its changes, the check that a
// window can be shown, the history of visited windows and the modes.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <vector>

// A rectangle of world coordinates, y growing upward.
struct TPlotWindow {
    double XMin = 0;  // Left edge.
    double YMin = 0;  // Bottom edge.
    double XMax = 0;  // Right edge.
    double YMax = 0;  // Top edge.
    friend bool operator==(const TPlotWindow&, const TPlotWindow&) = default;  // Same four limits.
};
// Writes the four limits (for test messages).
void PrintTo(const TPlotWindow& w, std::ostream* os);

// Narrowest and widest extent a window may have on either axis.
constexpr double WindowExtentMin = 1e-20;
constexpr double WindowExtentMax = 1e20;  // See WindowExtentMin.

// True when both extents lie in WindowExtentMin..WindowExtentMax; NaN and
// infinite limits fail.
bool WindowValid(const TPlotWindow& w);

// The window of width Width and height Height centred on (CX, CY).
TPlotWindow WindowAround(double CX, double CY, double Width, double Height);

// The window moved by DX, DY world units.
TPlotWindow WindowMoved(const TPlotWindow& w, double DX, double DY);

// Step Step of Steps on the way from From to To; the last step is To
// exactly, whatever the rounding of the steps before it.
TPlotWindow WindowBetween(const TPlotWindow& From, const TPlotWindow& To, int Step, int Steps);

// The windows that navigation visited, with the position of the one shown.
// A new window drops those ahead of the position, as a browser's history
// does; the oldest go when there are more than Depth. Only windows that
// WindowValid accepts are kept: every one can be shown again.
class TZoomHistory {
public:
    static constexpr std::size_t DefaultDepth = 64;  // Windows kept unless told otherwise.
    // An empty history keeping at most Depth windows (at least 2).
    explicit TZoomHistory(std::size_t Depth = DefaultDepth) : depth_(Depth < 2 ? 2 : Depth) {}

    // A change from From to To ended. From is recorded first when the
    // window was moved by other means since the last record.
    void Record(const TPlotWindow& From, const TPlotWindow& To);
    // The entry to go back to from the window Shown, and the one ahead;
    // nothing at either end. When Shown is not the current entry (the
    // window was moved by other means, or to one that is not kept), back
    // leads to the current entry. Nothing moves until Go.
    std::optional<std::size_t> BackIndex(const TPlotWindow& Shown) const;
    std::optional<std::size_t> ForwardIndex() const;  // See BackIndex.
    // Entry Index, oldest first; Index must be below Size.
    const TPlotWindow& At(std::size_t Index) const { return windows_[Index]; }
    // Makes entry Index (from the two above) the current one.
    void Go(std::size_t Index);
    // The window before (after) the current one, which becomes current.
    std::optional<TPlotWindow> Back();
    // See Back.
    std::optional<TPlotWindow> Forward();
    bool CanBack() const { return index_ > 0; }                       // Whether Back has a window.
    bool CanForward() const { return index_ + 1 < windows_.size(); }  // Whether Forward has one.
    std::size_t Size() const { return windows_.size(); }              // Windows recorded.
    void Clear();                                                     // Forgets every window.

private:
    void Push(const TPlotWindow& w);
    std::optional<TPlotWindow> Step(std::optional<std::size_t> To);

    std::vector<TPlotWindow> windows_;
    std::size_t index_ = 0;
    std::size_t depth_;
};

// Navigation modes as the canvas stores them.
constexpr int zmNone = 0;
constexpr int zmZoomIn = 1;    // A left click zooms onto a box.
constexpr int zmZoomOut = -1;  // A left click zooms out around it.
constexpr int zmPan = 2;       // A left drag moves the window.

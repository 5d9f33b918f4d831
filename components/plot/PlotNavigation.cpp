#include "components/plot/PlotNavigation.h"

#include <cmath>
#include <ostream>

void PrintTo(const TPlotWindow& w, std::ostream* os)
{
    *os << "(" << w.XMin << ", " << w.YMin << ")..(" << w.XMax << ", " << w.YMax << ")";
}

bool WindowValid(const TPlotWindow& w)
{
    // Written so that a NaN difference fails every comparison, and an
    // infinite one the upper bound.
    auto extentOk = [](double lo, double hi) {
        const double d = hi - lo;
        return d >= WindowExtentMin && d <= WindowExtentMax;
    };
    return extentOk(w.XMin, w.XMax) && extentOk(w.YMin, w.YMax);
}

TPlotWindow WindowAround(double CX, double CY, double Width, double Height)
{
    TPlotWindow w;
    w.XMin = CX - 0.5 * Width;
    w.YMin = CY - 0.5 * Height;
    w.XMax = w.XMin + Width;
    w.YMax = w.YMin + Height;
    return w;
}

TPlotWindow WindowMoved(const TPlotWindow& w, double DX, double DY)
{
    return {w.XMin - DX, w.YMin - DY, w.XMax - DX, w.YMax - DY};
}

TPlotWindow WindowBetween(const TPlotWindow& From, const TPlotWindow& To, int Step, int Steps)
{
    if (Step >= Steps)
        return To;
    const double t = double(Step) / Steps;
    auto at = [t](double a, double b) { return a + (b - a) * t; };
    return {at(From.XMin, To.XMin), at(From.YMin, To.YMin), at(From.XMax, To.XMax), at(From.YMax, To.YMax)};
}

// ----------------------------------------------------------- history

void TZoomHistory::Push(const TPlotWindow& w)
{
    if (!windows_.empty())
        windows_.resize(index_ + 1);
    windows_.push_back(w);
    if (windows_.size() > depth_)
        windows_.erase(windows_.begin(), windows_.begin() + std::ptrdiff_t(windows_.size() - depth_));
    index_ = windows_.size() - 1;
}

void TZoomHistory::Record(const TPlotWindow& From, const TPlotWindow& To)
{
    if (WindowValid(From) && (windows_.empty() || !(windows_[index_] == From)))
        Push(From);
    if (WindowValid(To) && (windows_.empty() || !(windows_[index_] == To)))
        Push(To);
}

std::optional<std::size_t> TZoomHistory::BackIndex(const TPlotWindow& Shown) const
{
    if (windows_.empty())
        return std::nullopt;
    if (!(windows_[index_] == Shown))
        return index_;
    if (!CanBack())
        return std::nullopt;
    return index_ - 1;
}

std::optional<std::size_t> TZoomHistory::ForwardIndex() const
{
    if (!CanForward())
        return std::nullopt;
    return index_ + 1;
}

void TZoomHistory::Go(std::size_t Index)
{
    if (Index < windows_.size())
        index_ = Index;
}

std::optional<TPlotWindow> TZoomHistory::Step(std::optional<std::size_t> To)
{
    if (!To)
        return std::nullopt;
    Go(*To);
    return windows_[*To];
}

std::optional<TPlotWindow> TZoomHistory::Back()
{
    return Step(windows_.empty() ? std::nullopt : BackIndex(windows_[index_]));
}

std::optional<TPlotWindow> TZoomHistory::Forward() { return Step(ForwardIndex()); }

void TZoomHistory::Clear()
{
    windows_.clear();
    index_ = 0;
}

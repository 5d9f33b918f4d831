// The canvas's animated window changes and its mouse navigation: zoom in
// onto a box, zoom out around a point, pan by dragging, the way back and
// forth through the windows visited, and the wheel.
#include "components/plot/Tcanvas2d.h"

#include "components/image/Qelutils.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

// ----------------------------------------------------------------- AxisChange

void TCanvas2D::AxisChange(double XMin, double YMin, double XMax, double YMax, int Steps)
{
    if (!WindowValid({XMin, YMin, XMax, YMax})) {
        MessageBeep(MB_OK);
        return;
    }
    QPointer<TCanvas2D> alive(this);
    const TCursor cursor = FImage->Cursor();
    FImage->SetCursor(crHourGlass);
    AxisChange(FAxisXMin, FAxisYMin, FAxisXMax, FAxisYMax, XMin, YMin, XMax, YMax, Steps);
    if (alive)
        FImage->SetCursor(cursor);
}

namespace {

// However many steps a change asks for, it lasts about a second at most and
// draws no more than this many of them: evenly spread over the steps, and
// further apart when drawing falls behind the second.
constexpr std::uint32_t kAnimationMs = 1000;
constexpr int kAnimationFrames = 120;

}  // namespace

void TCanvas2D::AxisChange(double XMin0, double YMin0, double XMax0, double YMax0, double XMin1, double YMin1,
                           double XMax1, double YMax1, int Steps)
{
    // Input handled between the steps may do anything, the canvas's
    // destruction included: nothing of it is touched once it is gone.
    QPointer<TCanvas2D> alive(this);
    const TPlotWindow from{XMin0, YMin0, XMax0, YMax0}, to{XMin1, YMin1, XMax1, YMax1};
    if (FAnimating++ == 0 && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
    FStopRequest = false;
    FFinishRequest = false;
    // Starting a change stops one that is running (this may run inside its
    // message processing); so does any other change of the window.
    WindowChangedOutside();
    const unsigned changes = FWindowChanges;
    const int frames = std::min(Steps, kAnimationFrames);
    const std::uint32_t start = GetTickCount();
    int i = 0;
    for (int frame = 1; frame <= frames && i < Steps; ++frame) {
        const std::uint32_t elapsed = GetTickCount() - start;
        const std::int64_t byFrame = (std::int64_t(frame) * Steps + frames - 1) / frames;
        const std::int64_t byTime = elapsed >= kAnimationMs ? Steps : std::int64_t(Steps) * elapsed / kAnimationMs;
        // Hidden or about to quit: straight to the end, drawn once.
        i = FFinishRequest ? Steps : int(std::max({std::int64_t(i) + 1, byFrame, byTime}));
        TPlotWindow w = WindowBetween(from, to, i, Steps);
        // The last drawing overflowed: this window cannot be shown.
        if (FDrawOverflow) {
            w = from;
            FStopRequest = true;
        }
        FAxisXMin = w.XMin;
        FAxisYMin = w.YMin;
        FAxisXMax = w.XMax;
        FAxisYMax = w.YMax;
        Draw();
        // Each step reaches the screen before the next one is drawn.
        if (FImage->isVisible())
            FImage->Repaint();
        if (Application)
            Application->ProcessMessages();
        if (!alive)
            return;
        if (FStopRequest || FWindowChanges != changes)
            break;
    }
    if (--FAnimating == 0 && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void TCanvas2D::hideEvent(QHideEvent* Event)
{
    if (Animating())
        FFinishRequest = true;
    TCustomPanel::hideEvent(Event);
}

// ----------------------------------------------------------------- modes

void TCanvas2D::ZoomModeSet(int Mode)
{
    if (Mode == FZoomMode)
        return;
    // Only the four modes exist; another number would leave a box or a line
    // on the picture that nothing erases.
    if (Mode != zmNone && Mode != zmZoomIn && Mode != zmZoomOut && Mode != zmPan)
        return;
    const int old = FZoomMode;
    // Leaving pan mode ends a drag, and its line goes with it.
    if (old == zmPan && FPanning) {
        PanDraw();
        FPanning = false;
    }
    switch (Mode) {
    case zmZoomIn:
        FImage->SetCursor(2);
        ZoomDraw(SurfaceWidth() / 2, SurfaceHeight() / 2);
        break;
    case zmNone:
        if (old == zmZoomIn)
            ZoomDraw();
        FImage->SetCursor(crDefault);
        break;
    case zmZoomOut:
        FImage->SetCursor(3);
        if (old == zmZoomIn)
            ZoomDraw();
        break;
    case zmPan:
        FImage->SetCursor(1);
        if (old == zmZoomIn)
            ZoomDraw();
        break;
    }
    FZoomMode = Mode;
}

void TCanvas2D::RubberPenSet()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Mode = pmNot;
    canvas.Pen.Width = DeviceLength(2);
}

void TCanvas2D::RubberPenReset()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Mode = pmCopy;
    canvas.Pen.Width = 1;
}

void TCanvas2D::ZoomDraw()
{
    if (FAxisShow)
        DrawRegionSet();
    if (FZoomBox.Shown) {
        FZoomBox.Shown = false;
    } else {
        const double w = FAxisShow ? ClientWidthGet() : SurfaceWidth();
        const double h = FAxisShow ? ClientHeightGet() : SurfaceHeight();
        FZoomBox = {true, FZoomCentre, RoundInt(w * 0.5 * FZoomFactor), RoundInt(h * 0.5 * FZoomFactor)};
    }
    const std::int64_t cx = FZoomBox.Centre.X, cy = FZoomBox.Centre.Y, hw = FZoomBox.HalfWidth,
                       hh = FZoomBox.HalfHeight;
    // The box is kept in surface pixels and drawn in the bitmap's.
    const int left = DeviceLength(SaturatingInt(cx - hw)), right = DeviceLength(SaturatingInt(cx + hw)),
              top = DeviceLength(SaturatingInt(cy - hh)), bottom = DeviceLength(SaturatingInt(cy + hh));
    const int corner = DeviceLength(2);
    TCanvas& canvas = DrawCanvas();
    RubberPenSet();
    canvas.MoveTo(left, top);
    canvas.LineTo(right, top);
    canvas.MoveTo(left, bottom);
    canvas.LineTo(right, bottom);
    // The sides stop short of the corners, which the wide top and bottom
    // already cover: an inverting pen must not touch a pixel twice.
    canvas.MoveTo(left, SaturatingInt(std::int64_t(top) + corner));
    canvas.LineTo(left, SaturatingInt(std::int64_t(bottom) - corner));
    canvas.MoveTo(right, SaturatingInt(std::int64_t(top) + corner));
    canvas.LineTo(right, SaturatingInt(std::int64_t(bottom) - corner));
    RubberPenReset();
}

void TCanvas2D::ZoomDraw(int X, int Y)
{
    FZoomCentre = {X, Y};
    ZoomDraw();
}

void TCanvas2D::PanDraw()
{
    TCanvas& canvas = DrawCanvas();
    RubberPenSet();
    canvas.MoveTo(DeviceLength(FPanStart.X), DeviceLength(FPanStart.Y));
    canvas.LineTo(DeviceLength(FPanEnd.X), DeviceLength(FPanEnd.Y));
    RubberPenReset();
}

void TCanvas2D::PanDraw(int X, int Y)
{
    FPanEnd = {X, Y};
    PanDraw();
}

// ----------------------------------------------------------------- changes

void TCanvas2D::Navigate(const TPlotWindow& To)
{
    QPointer<TCanvas2D> alive(this);
    const TPlotWindow from = Window();
    AxisChange(To.XMin, To.YMin, To.XMax, To.YMax, FZoomSteps);
    if (alive && !(Window() == from))
        FHistory.Record(from, Window());
}

void TCanvas2D::ZoomMore()
{
    const double w = (FAxisXMax - FAxisXMin) * FZoomFactor;
    const double h = (FAxisYMax - FAxisYMin) * FZoomFactor;
    const double cx = ScrToValX(FZoomCentre.X), cy = ScrToValY(FZoomCentre.Y);
    const TPlotWindow to = WindowAround(cx, cy, w, h);
    QPointer<TCanvas2D> alive(this);
    ZoomModeSet(zmNone);
    Navigate(to);
    if (alive)
        ZoomModeSet(zmZoomIn);
}

void TCanvas2D::ZoomLess(int X, int Y)
{
    const double w = (FAxisXMax - FAxisXMin) / FZoomFactor;
    const double h = (FAxisYMax - FAxisYMin) / FZoomFactor;
    Navigate(WindowAround(ScrToValX(X), ScrToValY(Y), w, h));
}

void TCanvas2D::ZoomAll()
{
    ZoomModeSet(zmNone);
    const TPlotWindow from = Window();
    FAxisXMin = FZoomAllXMin;
    FAxisYMin = FZoomAllYMin;
    FAxisXMax = FZoomAllXMax;
    FAxisYMax = FZoomAllYMax;
    WindowChangedOutside();
    if (!(Window() == from))
        FHistory.Record(from, Window());
    Draw();
}

void TCanvas2D::Pan()
{
    const double dx = ScrToValX(FPanEnd.X) - ScrToValX(FPanStart.X);
    const double dy = ScrToValY(FPanEnd.Y) - ScrToValY(FPanStart.Y);
    const TPlotWindow to = WindowMoved(Window(), dx, dy);
    QPointer<TCanvas2D> alive(this);
    ZoomModeSet(zmNone);
    Navigate(to);
    if (alive)
        ZoomModeSet(zmPan);
}

void TCanvas2D::HistoryGo(std::optional<std::size_t> To)
{
    if (!To)
        return;
    QPointer<TCanvas2D> alive(this);
    const TPlotWindow from = Window(), to = FHistory.At(*To);
    AxisChange(to.XMin, to.YMin, to.XMax, to.YMax, FZoomSteps);
    if (alive && !(Window() == from))
        FHistory.Go(*To);
}

void TCanvas2D::ZoomBack() { HistoryGo(FHistory.BackIndex(Window())); }

void TCanvas2D::ZoomForward() { HistoryGo(FHistory.ForwardIndex()); }

void TCanvas2D::ZoomAt(int X, int Y, int Steps)
{
    if (Steps == 0)
        return;
    // The world point under (X, Y) stays there: its distance to each limit
    // scales with the window.
    const double f = std::pow(FZoomFactor, Steps);
    const double px = ScrToValX(X), py = ScrToValY(Y);
    TPlotWindow to;
    to.XMin = px - (px - FAxisXMin) * f;
    to.XMax = px + (FAxisXMax - px) * f;
    to.YMin = py - (py - FAxisYMin) * f;
    to.YMax = py + (FAxisYMax - py) * f;
    Navigate(to);
}

// ----------------------------------------------------------------- mouse

void TCanvas2D::Canvas2DMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TCanvas2D> alive(this);
    switch (NavPress(FZoomMode, Button == mbLeft, Animating())) {
    case TNavAction::Ignore: return;
    case TNavAction::ZoomIn: ZoomMore(); break;
    case TNavAction::ZoomOut: ZoomLess(X, Y); break;
    case TNavAction::PanBegin:
        FPanStart = FPanEnd = {X, Y};
        FPanning = true;
        // The line is shown from the press on, so that every later draw of
        // it is an erase or a draw, never out of step.
        PanDraw();
        break;
    case TNavAction::LeaveMode:
        ZoomModeSet(zmNone);
        FStopRequest = true;
        break;
    case TNavAction::Stop: FStopRequest = true; break;
    default: break;
    }
    if (alive)
        RaiseAndEmit(this, OnMouseDown, &TCanvas2D::mousePressed, Button, Shift, X, Y);
}

void TCanvas2D::Canvas2DMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    switch (NavMove(FZoomMode, FPanning)) {
    case TNavAction::BoxFollow:
        ZoomDraw();
        ZoomDraw(X, Y);
        break;
    case TNavAction::LineFollow:
        PanDraw();
        PanDraw(X, Y);
        break;
    default: break;
    }
    RaiseAndEmit(this, OnMouseMove, &TCanvas2D::mouseMoved, Shift, X, Y);
}

void TCanvas2D::Canvas2DMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TCanvas2D> alive(this);
    if (NavRelease(FZoomMode, Button == mbLeft, FPanning) == TNavAction::PanFinish) {
        PanDraw();
        FPanning = false;
        Pan();
    }
    if (alive)
        RaiseAndEmit(this, OnMouseUp, &TCanvas2D::mouseReleased, Button, Shift, X, Y);
}

void TCanvas2D::Canvas2DDblClick(TObject*)
{
    RaiseAndEmit(this, OnDblClick, &TCanvas2D::doubleClicked);
}

bool TCanvas2D::eventFilter(QObject* Watched, QEvent* Event)
{
    // The application's own events reach here only while a change runs:
    // being asked to quit ends it.
    if (Watched == QCoreApplication::instance()) {
        if (Event->type() == QEvent::Quit)
            FFinishRequest = true;
        return false;
    }
    if (Watched == FImage && Event->type() == QEvent::Paint)
        PixelRatioCheck();
    if (Watched == FImage && Event->type() == QEvent::Wheel && FWheelZoom) {
        WheelTurn(static_cast<QWheelEvent*>(Event));
        return true;
    }
    return TCustomPanel::eventFilter(Watched, Event);
}

void TCanvas2D::WheelTurn(QWheelEvent* e)
{
    // Fine-grained wheels and touchpads send parts of a notch; they add up.
    FWheelRest += e->angleDelta().y();
    const int notches = FWheelRest / 120;
    FWheelRest -= notches * 120;
    if (notches == 0 || Animating())
        return;
    const QPoint p = e->position().toPoint();
    ZoomAt(p.x(), p.y(), std::clamp(notches, -8, 8));
}

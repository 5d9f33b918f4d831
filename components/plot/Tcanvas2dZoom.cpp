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
    AxisChange(FWindow.XMin, FWindow.YMin, FWindow.XMax, FWindow.YMax, XMin, YMin, XMax, YMax, Steps);
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
    FNav.ClearStop();
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
            FNav.RequestStop();
        }
        FWindow = w;
        Draw();
        // Each step reaches the screen before the next one is drawn.
        if (FImage->isVisible())
            FImage->Repaint();
        if (Application)
            Application->ProcessMessages();
        if (!alive)
            return;
        if (FNav.StopRequested() || FWindowChanges != changes)
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

// ----------------------------------------------------------------- navigation

TNavView TCanvas2D::NavView() const
{
    const TMapCache& m = Maps();
    return {FWindow, m.X, m.Y, ClientWidthGet(), ClientHeightGet(), SurfaceWidth(), SurfaceHeight(), FZoomFactor,
            Animating()};
}

void TCanvas2D::Run(const TNavCommand& Command)
{
    for (const TRubber& figure : Command.Figures)
        RubberDraw(figure);
    // The cursor tells the mode; it changes only with the mode.
    if (FNav.Mode() != FCursorMode) {
        FCursorMode = FNav.Mode();
        switch (FCursorMode) {
        case zmZoomIn: FImage->SetCursor(2); break;
        case zmZoomOut: FImage->SetCursor(3); break;
        case zmPan: FImage->SetCursor(1); break;
        default: FImage->SetCursor(crDefault); break;
        }
    }
    if (Command.Beep)
        MessageBeep(MB_OK);
    if (Command.To) {
        // Input handled during the change may destroy the canvas.
        QPointer<TCanvas2D> alive(this);
        const TPlotWindow from = FWindow, &to = *Command.To;
        AxisChange(to.XMin, to.YMin, to.XMax, to.YMax, FZoomSteps);
        if (!alive)
            return;
        FNav.Arrived(from, FWindow, Command.Entry);
    }
    if (Command.ModeAfter)
        ZoomModeSet(*Command.ModeAfter);
}

void TCanvas2D::RubberDraw(const TRubber& Figure)
{
    TCanvas& canvas = DrawCanvas();
    if (Figure.Kind == TRubber::Line) {
        RubberPenSet();
        canvas.MoveTo(DeviceLength(Figure.A.X), DeviceLength(Figure.A.Y));
        canvas.LineTo(DeviceLength(Figure.B.X), DeviceLength(Figure.B.Y));
        RubberPenReset();
        return;
    }
    // The box stays inside the plot.
    if (FAxisShow)
        DrawRegionSet();
    const std::int64_t cx = Figure.A.X, cy = Figure.A.Y, hw = Figure.B.X, hh = Figure.B.Y;
    // The figures are kept in surface pixels and drawn in the bitmap's.
    const int left = DeviceLength(SaturatingInt(cx - hw)), right = DeviceLength(SaturatingInt(cx + hw)),
              top = DeviceLength(SaturatingInt(cy - hh)), bottom = DeviceLength(SaturatingInt(cy + hh));
    const int corner = DeviceLength(2);
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

void TCanvas2D::ZoomModeSet(int Mode) { Run(FNav.SetMode(Mode, NavView())); }
void TCanvas2D::ZoomDraw() { RubberDraw(FNav.BoxToggle(NavView())); }

void TCanvas2D::ZoomDraw(int X, int Y)
{
    FNav.BoxCentreSet({X, Y});
    ZoomDraw();
}

void TCanvas2D::PanDraw() { RubberDraw(FNav.DragLine()); }

void TCanvas2D::PanDraw(int X, int Y)
{
    FNav.DragEndSet({X, Y});
    PanDraw();
}

void TCanvas2D::ZoomMore() { Run(FNav.ZoomMore(NavView())); }
void TCanvas2D::ZoomLess(int X, int Y) { Run(FNav.ZoomLess({X, Y}, NavView())); }
void TCanvas2D::Pan() { Run(FNav.Pan(NavView())); }
void TCanvas2D::ZoomAt(int X, int Y, int Steps) { Run(FNav.ZoomAt({X, Y}, Steps, NavView())); }
void TCanvas2D::ZoomBack() { Run(FNav.Back(NavView())); }
void TCanvas2D::ZoomForward() { Run(FNav.Forward(NavView())); }

void TCanvas2D::ZoomAll()
{
    // Neither checked nor animated: the home window as it stands.
    ZoomModeSet(zmNone);
    const TPlotWindow from = FWindow;
    FWindow = FHome;
    WindowChangedOutside();
    FNav.Arrived(from, FWindow, std::nullopt);
    Draw();
}

// ----------------------------------------------------------------- mouse

void TCanvas2D::Canvas2DMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TCanvas2D> alive(this);
    const TNavCommand command = FNav.Press(Button == mbLeft, {X, Y}, NavView());
    if (command.Swallow)
        return;
    Run(command);
    if (alive)
        RaiseAndEmit(this, OnMouseDown, &TCanvas2D::mousePressed, Button, Shift, X, Y);
}

void TCanvas2D::Canvas2DMouseMove(TObject*, TShiftState Shift, int X, int Y)
{
    Run(FNav.Move({X, Y}, NavView()));
    RaiseAndEmit(this, OnMouseMove, &TCanvas2D::mouseMoved, Shift, X, Y);
}

void TCanvas2D::Canvas2DMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    QPointer<TCanvas2D> alive(this);
    Run(FNav.Release(Button == mbLeft, {X, Y}, NavView()));
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
        const auto* e = static_cast<QWheelEvent*>(Event);
        const QPoint p = e->position().toPoint();
        Run(FNav.Wheel(e->angleDelta().y(), {p.x(), p.y()}, NavView()));
        return true;
    }
    return TCustomPanel::eventFilter(Watched, Event);
}

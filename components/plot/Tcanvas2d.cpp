#include "components/plot/Tcanvas2d.h"

#include "components/image/Qelutils.h"
#include "toolkit/graphics/VectorState.h"
#include "toolkit/system/SysUtils.h"

#include <QEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

// The cursors live in this library's resources, which a static library must
// register itself (outside any namespace).
static void CursorResourcesInit()
{
    Q_INIT_RESOURCE(Tcanvas2d);
}

TCanvas2D::TCanvas2D(QWidget* Owner) : TCustomPanel(Owner), FImage(new TQelImage(this))
{
    FFormat = "";
    FImage->SetParent(this);
    FImage->Canvas();
    FAxisFont = TFont();

    SetAlign(alNone);
    SetBevelInner(bvLowered);
    SetBevelOuter(bvLowered);
    SetBevelWidth(2);
    SetHeight(160);
    // A panel on a form is visible; one without an owner is a window of its
    // own, which the owner shows when it wants to.
    if (Owner)
        SetVisible(true);
    SetWidth(160);

    FAxisColor = clWhite;
    FAxisFont.Color = clWhite;
    FAxisShow = true;
    FAxisXMargin = 50;
    FAxisXMarginAuto = true;
    FAxisXMarks = 9;
    FWindow = {0, 0, 10, 10};
    FAxisYMargin = 30;
    FAxisYMarginAuto = true;
    FAxisYMarks = 9;
    FColorExt = clBlack;
    FColorInt = clNavy;
    FFormat = ",0.00";
    FHome = FWindow;
    FZoomFactor = 0.5;
    FZoomSteps = 5;
    FAxisMarksRound = false;
    FAxisGrid = false;
    FAxisGridColor = AxisGridColorDefault;
    FHighDensity = true;
    FAnimating = 0;

    // Every canvas enters the same three cursors; the table is global.
    CursorResourcesInit();
    Screen->SetCursor(1, LoadCursorFromResource("PANNING"));
    Screen->SetCursor(2, LoadCursorFromResource("ZOOMMORE"));
    Screen->SetCursor(3, LoadCursorFromResource("ZOOMLESS"));

    // The surface takes its place at once, so the mapping holds before the
    // first repaint.
    ImageResize();
    FResizeConnected = true;
    FImage->OnDblClick = [this](TObject* Sender) { Canvas2DDblClick(Sender); };
    FImage->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Canvas2DMouseDown(Sender, Button, Shift, X, Y);
    };
    FImage->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        Canvas2DMouseMove(Sender, Shift, X, Y);
    };
    FImage->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        Canvas2DMouseUp(Sender, Button, Shift, X, Y);
    };
    FImage->installEventFilter(this);
}

TCanvas2D::~TCanvas2D()
{
    // The surface's events must not reach a canvas that is going away.
    FImage->removeEventFilter(this);
    FImage->OnDblClick = nullptr;
    FImage->OnMouseDown = nullptr;
    FImage->OnMouseMove = nullptr;
    FImage->OnMouseUp = nullptr;
}

// ----------------------------------------------------------------- setters

void TCanvas2D::SetAxisColor(TColor Value)
{
    if (!ChangeField(FAxisColor, Value))
        return;
    FAxisFont.Color = Value;
    Draw();
}

void TCanvas2D::SetAxisFont(const TFont& Value)
{
    FAxisFont = Value;
    SetAxisColor(FAxisFont.Color);
    Draw();
}

void TCanvas2D::SetAxisShow(bool Value)
{
    if (ChangeField(FAxisShow, Value))
        Draw();
}

void TCanvas2D::SetAxisXMargin(int Value)
{
    if (Value == FAxisXMargin)
        return;
    if (Value < SurfaceWidth() / 2 - 20)
        FAxisXMargin = Value;
    Draw();
}

void TCanvas2D::SetAxisYMargin(int Value)
{
    if (Value == FAxisYMargin)
        return;
    if (Value < SurfaceHeight() / 2 - 20)
        FAxisYMargin = Value;
    Draw();
}

void TCanvas2D::SetAxisXMarginAuto(bool Value)
{
    if (ChangeField(FAxisXMarginAuto, Value))
        Draw();
}

void TCanvas2D::SetAxisYMarginAuto(bool Value)
{
    if (ChangeField(FAxisYMarginAuto, Value))
        Draw();
}

void TCanvas2D::SetAxisXMarks(int Value)
{
    if (ChangeField(FAxisXMarks, Value))
        Draw();
}

void TCanvas2D::SetAxisYMarks(int Value)
{
    if (ChangeField(FAxisYMarks, Value))
        Draw();
}

void TCanvas2D::SetAxisMarksRound(bool Value)
{
    if (ChangeField(FAxisMarksRound, Value))
        Draw();
}

void TCanvas2D::SetAxisGrid(bool Value)
{
    if (ChangeField(FAxisGrid, Value))
        Draw();
}

void TCanvas2D::SetAxisGridColor(TColor Value)
{
    if (ChangeField(FAxisGridColor, Value))
        Draw();
}

void TCanvas2D::SetHighDensity(bool Value)
{
    if (ChangeField(FHighDensity, Value))
        Draw();
}

void TCanvas2D::WindowChangedOutside() { ++FWindowChanges; }

void TCanvas2D::WindowDraw(double& Field, double Value)
{
    // A NaN compares unequal to itself and so always counts as a change.
    if (!ChangeField(Field, Value))
        return;
    WindowChangedOutside();
    Draw();
}

void TCanvas2D::SetAxisXMax(double Value) { WindowDraw(FWindow.XMax, Value); }
void TCanvas2D::SetAxisXMin(double Value) { WindowDraw(FWindow.XMin, Value); }
void TCanvas2D::SetAxisYMax(double Value) { WindowDraw(FWindow.YMax, Value); }
void TCanvas2D::SetAxisYMin(double Value) { WindowDraw(FWindow.YMin, Value); }

void TCanvas2D::SetColorExt(TColor Value)
{
    if (ChangeField(FColorExt, Value))
        Draw();
}

void TCanvas2D::SetColorInt(TColor Value)
{
    if (ChangeField(FColorInt, Value))
        Draw();
}

void TCanvas2D::SetFormat(const std::string& Value)
{
    if (!ChangeField(FFormat, Value))
        return;
    Draw();
    RaiseAndEmit(this, OnChangeFormat, &TCanvas2D::formatChanged);
}

void TCanvas2D::SetZoomFactor(double Value)
{
    if (Value > 0 && Value < 1)
        ChangeField(FZoomFactor, Value);
}

void TCanvas2D::SetZoomSteps(int Value)
{
    if (Value > 0)
        ChangeField(FZoomSteps, Value);
}

// ----------------------------------------------------------------- mapping

// The world limits of the pixels 0..Size on one axis, checked by mapping
// them back: the map never decreases (or never increases) with the value.
TCanvas2D::TMapCache::TOffSurface TCanvas2D::TMapCache::TOffSurface::Of(const TAxisMap& Map, int Size)
{
    TCanvas2D::TMapCache::TOffSurface o;
    const double direction = double(Map.PixelSpan()) * (Map.W2() - Map.W1());
    if (!Map.WorldUsable() || !(direction != 0))
        return o;
    o.Rising = direction > 0;
    const double before = Map.ToWorld(-2), past = Map.ToWorld(double(Size) + 2);
    if (Map.ToPixelInt(before) < 0)
        o.Before = before;
    if (Map.ToPixelInt(past) > Size)
        o.Past = past;
    return o;
}

bool TCanvas2D::TMapCache::TOffSurface::All(double A, double B, double C) const
{
    if (Rising)
        return (A <= Before && B <= Before && C <= Before) || (A >= Past && B >= Past && C >= Past);
    return (A >= Before && B >= Before && C >= Before) || (A <= Past && B <= Past && C <= Past);
}

TAxisMap TCanvas2D::XMapOf(int W, int XMargin) const
{
    if (FAxisShow)
        return {FWindow.XMin, FWindow.XMax, XMargin, SaturatingInt(std::int64_t(W) - XMargin)};
    return {FWindow.XMin, FWindow.XMax, 0, W};
}

TAxisMap TCanvas2D::YMapOf(int H, int YMargin) const
{
    // World y grows upward: its minimum goes to the bottom pixel.
    if (FAxisShow)
        return {FWindow.YMin, FWindow.YMax, SaturatingInt(std::int64_t(H) - YMargin), YMargin};
    return {FWindow.YMin, FWindow.YMax, H, 0};
}

const TCanvas2D::TMapCache& TCanvas2D::MapsMake() const
{
    TMapCache& m = FMaps;
    m = {MapKey(), {}, {}, {}, {}};
    FLineEnd = {};
    // In bitmap pixels.
    const int dw = DeviceWidth(), dh = DeviceHeight();
    m.X = XMapOf(dw, DeviceLength(FAxisXMargin));
    m.Y = YMapOf(dh, DeviceLength(FAxisYMargin));
    m.XOff = TMapCache::TOffSurface::Of(m.X, dw);
    m.YOff = TMapCache::TOffSurface::Of(m.Y, dh);
    // A point of the window maps between the ends of each axis's pixels.
    auto drawable = [](const TAxisMap& a) { return LineCheck(a.P1(), a.P2(), a.P2(), a.P1()); };
    m.Drawable = drawable(m.X) && drawable(m.Y);
    return m;
}

// The callers' maps are in the surface's own pixels.
TAxisMap TCanvas2D::XMap() const { return PixelRatio() == 1 ? Maps().X : XMapOf(SurfaceWidth(), FAxisXMargin); }
TAxisMap TCanvas2D::YMap() const { return PixelRatio() == 1 ? Maps().Y : YMapOf(SurfaceHeight(), FAxisYMargin); }

int TCanvas2D::ValToScrX(double X) const { return XMap().ToPixelInt(X); }
int TCanvas2D::ValToScrY(double Y) const { return YMap().ToPixelInt(Y); }
double TCanvas2D::ValToScrXD(double X) const { return XMap().ToPixel(X); }
double TCanvas2D::ValToScrYD(double Y) const { return YMap().ToPixel(Y); }
double TCanvas2D::ScrToValX(int X) const { return XMap().ToWorld(X); }
double TCanvas2D::ScrToValY(int Y) const { return YMap().ToWorld(Y); }
std::string TCanvas2D::ScrToValXS(int X) const { return FormatFloat(LabelFormat(FFormat), ScrToValX(X)); }
std::string TCanvas2D::ScrToValYS(int Y) const { return FormatFloat(LabelFormat(FFormat), ScrToValY(Y)); }

int TCanvas2D::ClientWidthGet() const
{
    return FAxisShow ? SaturatingInt(std::int64_t(SurfaceWidth()) - 2 * std::int64_t(FAxisXMargin)) : SurfaceWidth();
}

int TCanvas2D::ClientHeightGet() const
{
    return FAxisShow ? SaturatingInt(std::int64_t(SurfaceHeight()) - 2 * std::int64_t(FAxisYMargin)) : SurfaceHeight();
}

// ----------------------------------------------------------------- repaint

void TCanvas2D::Draw()
{
    VectorStateClean();
    if (!Visible() && !FExporting)
        return;
    FImage->SetPixelRatio(PixelRatioWanted(SurfaceWidth(), SurfaceHeight()));
    const TCursor cursor = FImage->Cursor();
    FImage->SetCursor(crHourGlass);
    if (FAxisXMarginAuto)
        AxisXMarginAdjust();
    if (FAxisYMarginAuto)
        AxisYMarginAdjust();
    TCanvas& canvas = DrawCanvas();
    canvas.ClearClipRegion();
    Clear();
    DrawRegionSet();
    FDrawOverflow = false;
    // An empty surface has nothing to show the owner's drawing on.
    if (SurfaceWidth() > 0 && SurfaceHeight() > 0) {
        RaiseAndEmit(this, OnDraw, &TCanvas2D::drawRequested);
        // The repaint rebuilt the picture without the rubber figures, which
        // a saved picture leaves out.
        if (!FExporting)
            for (const TRubber& figure : FNav.Repainted(NavView()))
                RubberDraw(figure);
    }
    FImage->SetCursor(cursor);
}

double TCanvas2D::PixelRatioWanted(int W, int H) const
{
    return FHighDensity ? TImage::PixelRatioFor(devicePixelRatioF(), W, H) : 1;
}

void TCanvas2D::PixelRatioCheck()
{
    // On a screen of another density the picture is drawn again for it,
    // after the paint that found out.
    if (FRatioCheckQueued || PixelRatioWanted(SurfaceWidth(), SurfaceHeight()) == PixelRatio())
        return;
    FRatioCheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FRatioCheckQueued = false;
            Draw();
        },
        Qt::QueuedConnection);
}

void TCanvas2D::Clear()
{
    // The picture starts again, without a zoom box.
    FNav.PictureCleared();
    ImageResize();
    TCanvas& canvas = DrawCanvas();
    if (FAxisShow) {
        const TMapCache& m = Maps();
        const int l = SaturatingInt(std::int64_t(m.X.ToPixelInt(FWindow.XMin)) + 1);
        const int t = SaturatingInt(std::int64_t(m.Y.ToPixelInt(FWindow.YMax)) + 1);
        const int r = m.X.ToPixelInt(FWindow.XMax), b = m.Y.ToPixelInt(FWindow.YMin);
        // A one-pixel pen that paints covers the plot's whole rectangle
        // with the inside colour: the outside colour goes only around it.
        if (l < r && t < b && canvas.Pen.Width <= 1 && canvas.Pen.Style != psClear && canvas.Pen.Mode != pmNot) {
            CanvasClear(0, 0, canvas, FColorExt);
            const int w = DeviceWidth(), h = DeviceHeight();
            for (const TRect& band : {Rect(0, 0, w, t), Rect(0, t, l, b), Rect(r, t, w, b), Rect(0, b, w, h)})
                canvas.FillRect(band);
        } else {
            CanvasClear(DeviceWidth(), DeviceHeight(), canvas, FColorExt);
        }
        canvas.Pen.Color = FColorInt;
        canvas.Brush.Color = FColorInt;
        canvas.Rectangle(l, t, r, b);
        AxisDraw();
    } else {
        CanvasClear(DeviceWidth(), DeviceHeight(), canvas, FColorInt);
    }
}

void TCanvas2D::ImageResize()
{
    if (FExporting)
        return;  // the picture being saved keeps the size asked for
    const std::int64_t b = BevelWidth();
    FImage->SetPixelRatio(PixelRatioWanted(SaturatingInt(Width() - 4 * b), SaturatingInt(Height() - 4 * b)));
    FImage->BevelFit(*this);
}

void TCanvas2D::DrawRegionSet()
{
    if (!FAxisShow)
        return;
    // An inverted rectangle (margins of half the surface or more) clips
    // everything away, as it should.
    const std::int64_t xm = DeviceLength(FAxisXMargin), ym = DeviceLength(FAxisYMargin);
    DrawCanvas().SetClipRect(Rect(SaturatingInt(xm + 1), SaturatingInt(ym + 1), SaturatingInt(DeviceWidth() - xm), SaturatingInt(DeviceHeight() - ym)));
}

TRect TCanvas2D::DrawRectGet() const
{
    const std::int64_t w = SurfaceWidth(), h = SurfaceHeight();
    if (!FAxisShow)
        return Rect(0, 0, SaturatingInt(w - 1), SaturatingInt(h - 1));
    const std::int64_t xm = FAxisXMargin, ym = FAxisYMargin;
    return Rect(SaturatingInt(xm + 1), SaturatingInt(ym + 1), SaturatingInt(w - xm - 1), SaturatingInt(h - ym - 1));
}

bool TCanvas2D::Inside(int X, int Y) const
{
    const std::int64_t w = SurfaceWidth(), h = SurfaceHeight();
    if (!FAxisShow)
        return X >= 0 && X <= w && Y >= 0 && Y <= h;
    const std::int64_t xm = FAxisXMargin, ym = FAxisYMargin;
    return xm < X && X < w - xm && ym < Y && Y < h - ym;
}

void TCanvas2D::Canvas2DResize(TObject*) { Draw(); }

void TCanvas2D::Resize()
{
    TCustomPanel::Resize();
    if (FResizeConnected)
        Canvas2DResize(this);
}

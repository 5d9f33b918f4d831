// A panel that shows a two-dimensional plot: a window of world coordinates
// mapped onto a drawing surface, optionally framed with marked and labelled
// axes on all four sides, drawn by the owner in world units from OnDraw and
// explored with the mouse by animated zoom and pan.
#pragma once

#include "components/plot/AxisMap.h"
#include "components/plot/PlotNavigation.h"
#include "components/image/Tqelimage.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/controls/Properties.h"
#include "toolkit/graphics/Graphics.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QWheelEvent;

class TCanvas2D : public TCustomPanel {
    Q_OBJECT
    Q_PROPERTY(QColor AxisColor READ AxisColorQ WRITE SetAxisColorQ)
    Q_PROPERTY(QFont AxisFont READ AxisFontQ WRITE SetAxisFontQ)
    Q_PROPERTY(bool AxisShow READ AxisShow WRITE SetAxisShow)
    Q_PROPERTY(int AxisXMargin READ AxisXMargin WRITE SetAxisXMargin)
    Q_PROPERTY(bool AxisXMarginAuto READ AxisXMarginAuto WRITE SetAxisXMarginAuto)
    Q_PROPERTY(int AxisXMarks READ AxisXMarks WRITE SetAxisXMarks)
    Q_PROPERTY(double AxisXMax READ AxisXMax WRITE SetAxisXMax)
    Q_PROPERTY(double AxisXMin READ AxisXMin WRITE SetAxisXMin)
    Q_PROPERTY(int AxisYMargin READ AxisYMargin WRITE SetAxisYMargin)
    Q_PROPERTY(bool AxisYMarginAuto READ AxisYMarginAuto WRITE SetAxisYMarginAuto)
    Q_PROPERTY(int AxisYMarks READ AxisYMarks WRITE SetAxisYMarks)
    Q_PROPERTY(double AxisYMax READ AxisYMax WRITE SetAxisYMax)
    Q_PROPERTY(double AxisYMin READ AxisYMin WRITE SetAxisYMin)
    Q_PROPERTY(QColor ColorExt READ ColorExtQ WRITE SetColorExtQ)
    Q_PROPERTY(QColor ColorInt READ ColorIntQ WRITE SetColorIntQ)
    Q_PROPERTY(QString Format READ FormatQ WRITE SetFormatQ)
    Q_PROPERTY(double ZoomAllXMax READ ZoomAllXMax WRITE SetZoomAllXMax)
    Q_PROPERTY(double ZoomAllXMin READ ZoomAllXMin WRITE SetZoomAllXMin)
    Q_PROPERTY(double ZoomAllYMax READ ZoomAllYMax WRITE SetZoomAllYMax)
    Q_PROPERTY(double ZoomAllYMin READ ZoomAllYMin WRITE SetZoomAllYMin)
    Q_PROPERTY(double ZoomFactor READ ZoomFactor WRITE SetZoomFactor)
    Q_PROPERTY(int ZoomSteps READ ZoomSteps WRITE SetZoomSteps)
    Q_PROPERTY(bool WheelZoom READ WheelZoom WRITE SetWheelZoom)

public:
    explicit TCanvas2D(QWidget* Owner = nullptr);
    ~TCanvas2D() override;

    // ------------------------------------------------------- properties
    TColor AxisColor() const { return FAxisColor; }
    void SetAxisColor(TColor Value);
    const TFont& AxisFont() const { return FAxisFont; }
    // Always repaints; AxisColor takes the font's colour.
    void SetAxisFont(const TFont& Value);
    bool AxisShow() const { return FAxisShow; }
    void SetAxisShow(bool Value);
    int AxisXMargin() const { return FAxisXMargin; }
    // Kept only below half the surface less 20 pixels; repaints either way.
    void SetAxisXMargin(int Value);
    bool AxisXMarginAuto() const { return FAxisXMarginAuto; }
    void SetAxisXMarginAuto(bool Value);
    int AxisXMarks() const { return FAxisXMarks; }
    void SetAxisXMarks(int Value);
    double AxisXMax() const { return FAxisXMax; }
    void SetAxisXMax(double Value);
    double AxisXMin() const { return FAxisXMin; }
    void SetAxisXMin(double Value);
    int AxisYMargin() const { return FAxisYMargin; }
    void SetAxisYMargin(int Value);
    bool AxisYMarginAuto() const { return FAxisYMarginAuto; }
    void SetAxisYMarginAuto(bool Value);
    int AxisYMarks() const { return FAxisYMarks; }
    void SetAxisYMarks(int Value);
    double AxisYMax() const { return FAxisYMax; }
    void SetAxisYMax(double Value);
    double AxisYMin() const { return FAxisYMin; }
    void SetAxisYMin(double Value);
    TColor ColorExt() const { return FColorExt; }
    void SetColorExt(TColor Value);
    TColor ColorInt() const { return FColorInt; }
    void SetColorInt(TColor Value);
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& Value);
    TK_COLOR_PROPERTY(AxisColor)
    TK_FONT_PROPERTY(AxisFont)
    TK_COLOR_PROPERTY(ColorExt)
    TK_COLOR_PROPERTY(ColorInt)
    TK_CAPTION_PROPERTY(Format)
    // The home window of ZoomAll; stored only.
    double ZoomAllXMax() const { return FZoomAllXMax; }
    void SetZoomAllXMax(double Value) { FZoomAllXMax = Value; }
    double ZoomAllXMin() const { return FZoomAllXMin; }
    void SetZoomAllXMin(double Value) { FZoomAllXMin = Value; }
    double ZoomAllYMax() const { return FZoomAllYMax; }
    void SetZoomAllYMax(double Value) { FZoomAllYMax = Value; }
    double ZoomAllYMin() const { return FZoomAllYMin; }
    void SetZoomAllYMin(double Value) { FZoomAllYMin = Value; }
    double ZoomFactor() const { return FZoomFactor; }
    // Kept only when 0 < Value < 1; never repaints.
    void SetZoomFactor(double Value);
    int ZoomSteps() const { return FZoomSteps; }
    // Kept only when positive; never repaints.
    void SetZoomSteps(int Value);
    // The mouse wheel zooms around the pointer when set (off by default).
    bool WheelZoom() const { return FWheelZoom; }
    void SetWheelZoom(bool Value) { FWheelZoom = Value; }

    // Raised with the canvas as Sender. The mouse events carry pixels of
    // the drawing surface. (OnDblClick and the mouse events are the
    // control's own.)
    TNotifyEvent OnChangeFormat;
    TNotifyEvent OnDraw;

    // The inherited mouse signals come with the surface's mouse events, in
    // its pixels.
signals:
    void formatChanged();  // After OnChangeFormat.
    void drawRequested();  // After OnDraw: draw the plot now.

public:
    // The drawing surface, whose canvas the primitives draw on with the pen,
    // brush and font it holds.
    TQelImage& Image() { return *FImage; }
    TCanvas& DrawCanvas() { return FImage->Canvas(); }
    int ZoomMode() const { return FZoomMode; }
    bool Animating() const { return FAnimating > 0; }
    bool DrawOverflow() const { return FDrawOverflow; }
    TPlotWindow Window() const { return {FAxisXMin, FAxisYMin, FAxisXMax, FAxisYMax}; }

    // ------------------------------------------------------- mapping
    int ValToScrX(double X) const;
    int ValToScrY(double Y) const;
    double ValToScrXD(double X) const;
    double ValToScrYD(double Y) const;
    double ScrToValX(int X) const;
    double ScrToValY(int Y) const;
    std::string ScrToValXS(int X) const;
    std::string ScrToValYS(int Y) const;
    int ClientWidthGet() const;
    int ClientHeightGet() const;
    TAxisMap XMap() const;
    TAxisMap YMap() const;

    // ------------------------------------------------------- axes
    // Moves the window to the given one in Steps repaints, letting pending
    // input be handled between them; refused with a beep when either
    // extent is narrower than 1e-20 or wider than 1e20. Many steps are
    // thinned out: at most 120 are drawn, in about a second (by the tick
    // count). Hiding the canvas or quitting the application shows the end
    // at once.
    void AxisChange(double XMin, double YMin, double XMax, double YMax, int Steps);
    // The same from the first window to the second, unchecked.
    void AxisChange(double XMin0, double YMin0, double XMax0, double YMax0, double XMin1, double YMin1, double XMax1,
                    double YMax1, int Steps);
    // One world unit spans as many pixels on X as on Y.
    void AxisXAdjustToY();
    void AxisYAdjustToX();
    void AxisXMarginAdjust();
    void AxisYMarginAdjust();
    void AxisDraw();
    void MarkXDraw(double X);
    void MarkYDraw(double Y);
    void MarkYDrawText(int X, int Y, double Value, const std::string& Text);

    // ------------------------------------------------------- drawing
    // Repaints everything and raises OnDraw, clipped to the plot.
    void Draw();
    void Clear();
    void ImageResize();
    void DrawRegionSet();
    // The plot interior; right and bottom are its last pixels, inclusive.
    TRect DrawRectGet() const;
    bool Inside(int X, int Y) const;
    bool PointCheckIn(double X, double Y) const
    {
        return FAxisXMin <= X && X <= FAxisXMax && FAxisYMin <= Y && Y <= FAxisYMax;
    }
    void Point(double X, double Y, int Radius);
    void Line(double X1, double Y1, double X2, double Y2);
    // The lines between consecutive points (X[i], Y[i]), each drawn as Line
    // draws it, with every point mapped once: the way to draw a long
    // series. The shorter span sets the number of points.
    void Polyline(std::span<const double> X, std::span<const double> Y);
    void Triangle(double X1, double Y1, double X2, double Y2, double X3, double Y3);
    void TextOutA(double X, double Y, int DX, int DY, const std::string& Text);
    void Canvas2DResize(TObject* Sender);

    // ------------------------------------------------------- zoom and pan
    void ZoomModeSet(int Mode);
    void ZoomMore();
    void ZoomLess(int X, int Y);
    void ZoomAll();
    // Draws the zoom box at the centre, or erases the box shown, at the
    // place and size it was drawn with.
    void ZoomDraw();
    void ZoomDraw(int X, int Y);
    void Pan();
    void PanDraw();
    void PanDraw(int X, int Y);
    // Step through the windows that zoom, pan and ZoomAll visited. A step
    // whose window is refused or given up leaves the position in the
    // history where it was.
    void ZoomBack();
    void ZoomForward();
    const TZoomHistory& ZoomHistory() const { return FHistory; }
    // Zooms in (Steps > 0) or out around the surface pixel (X, Y), which
    // keeps its world point.
    void ZoomAt(int X, int Y, int Steps);

    void Canvas2DMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Canvas2DMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Canvas2DMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Canvas2DDblClick(TObject* Sender);

protected:
    void Resize() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    // A change that is running goes to its end at once.
    void hideEvent(QHideEvent* Event) override;
    // The bevels are not part of the plot: the owner hears only of the
    // drawing surface's input, in its pixels.
    void MouseDown(TMouseButton, TShiftState, int, int) override {}
    void MouseMove(TShiftState, int, int) override {}
    void MouseUp(TMouseButton, TShiftState, int, int) override {}
    void Click() override {}
    void DblClick() override {}

private:
    int SurfaceWidth() const { return FImage->Width(); }
    int SurfaceHeight() const { return FImage->Height(); }
    // A window change that did not come from the running animation.
    void WindowChangedOutside();
    void WindowDraw(double& Field, double Value);
    // Runs a validating AxisChange and records the change in the history.
    void Navigate(const TPlotWindow& To);
    // Goes to entry To of the history, if any.
    void HistoryGo(std::optional<std::size_t> To);
    void RubberPenSet();
    void RubberPenReset();
    void WheelTurn(QWheelEvent* e);

    // The primitives map every vertex, so the maps are remembered together
    // with what they were made from, and made again when any of that
    // changes. A polyline drawn as lines maps each vertex once: the last
    // line's mapped end is kept for the next line's start.
    struct TMapCache {
        double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
        int Width = -1, Height = -1, XMargin = 0, YMargin = 0;
        bool Show = false;
        TAxisMap X, Y;
        TPoint ToPixel(double WX, double WY) const { return {X.ToPixelInt(WX), Y.ToPixelInt(WY)}; }
        double EndX = std::numeric_limits<double>::quiet_NaN(), EndY = EndX;
        int EndSX = 0, EndSY = 0;
        // World values from which on every value maps before the surface's
        // first pixel (Before) or past its size (Past); NaN when there is
        // none. Rising when pixels grow with the value.
        struct TOffSurface {
            double Before = std::numeric_limits<double>::quiet_NaN(), Past = Before;
            bool Rising = true;
            bool All(double A, double B, double C) const;
            static TOffSurface Of(const TAxisMap& Map, int Size);
        } XOff, YOff;
    };
    // Every primitive asks, so the check is inline.
    TMapCache& Maps() const
    {
        const int w = SurfaceWidth(), h = SurfaceHeight();
        const TMapCache& m = FMaps;
        if (m.XMin == FAxisXMin && m.XMax == FAxisXMax && m.YMin == FAxisYMin && m.YMax == FAxisYMax &&
            m.Width == w && m.Height == h && m.XMargin == FAxisXMargin && m.YMargin == FAxisYMargin &&
            m.Show == FAxisShow)
            return FMaps;
        return MapsMake(w, h);
    }
    TMapCache& MapsMake(int w, int h) const;
    mutable TMapCache FMaps;
    // Which sides of the window a point lies beyond (bits 0-3: left,
    // right, below, above), or that it is not a number (bit 4).
    unsigned OutCode(double X, double Y) const;
    // The mapped points of the polyline run being drawn.
    std::vector<TPoint> FPolylinePixels;
    std::size_t ColumnRun(const TMapCache& m, std::span<const double> X, std::span<const double> Y, std::size_t First,
                          int Column, std::size_t& NoRunBefore, TPoint* Run, std::size_t& Size);

    TQelImage* FImage;
    TColor FAxisColor = clWhite;
    TFont FAxisFont;
    bool FAxisShow = true;
    int FAxisXMargin = 50;
    bool FAxisXMarginAuto = true;
    int FAxisXMarks = 9;
    double FAxisXMax = 10;
    double FAxisXMin = 0;
    int FAxisYMargin = 30;
    bool FAxisYMarginAuto = true;
    int FAxisYMarks = 9;
    double FAxisYMax = 10;
    double FAxisYMin = 0;
    TColor FColorExt = clBlack;
    TColor FColorInt = clNavy;
    std::string FFormat;
    double FZoomAllXMax = 10;
    double FZoomAllXMin = 0;
    double FZoomAllYMax = 10;
    double FZoomAllYMin = 0;
    double FZoomFactor = 0.5;
    int FZoomSteps = 5;
    bool FWheelZoom = false;
    int FWheelRest = 0;

    int FZoomMode = zmNone;
    TPoint FZoomCentre;
    // The zoom box on the picture: where and how large it was drawn, so
    // that it is erased as it was drawn whatever changed since.
    struct TZoomBox {
        bool Shown = false;
        TPoint Centre;
        int HalfWidth = 0, HalfHeight = 0;
    } FZoomBox;
    TPoint FPanStart, FPanEnd;
    bool FPanning = false;
    // Depth of running AxisChange loops; one may start inside another's
    // message processing.
    int FAnimating = 0;
    bool FStopRequest = false;
    // Hidden or quitting: the running change shows its end and stops.
    bool FFinishRequest = false;
    bool FDrawOverflow = false;
    // Counts window changes from outside a running animation, which then
    // stops instead of overwriting them with its next step.
    unsigned FWindowChanges = 0;
    bool FResizeConnected = false;
    TZoomHistory FHistory;
};

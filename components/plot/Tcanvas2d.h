// A panel that shows a two-dimensional plot: a window of world coordinates
// mapped onto a drawing surface, optionally framed with marked and labelled
// axes on all four sides, drawn by the owner in world units from OnDraw and
// explored with the mouse by animated zoom and pan.
#pragma once

#include "components/plot/AxisMap.h"
#include "components/plot/PlotNavigator.h"
#include "components/image/Qelutils.h"
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

// The plot panel. The window is AxisXMin..AxisXMax by AxisYMin..AxisYMax
// in world units; with AxisShow the plot interior is the drawing surface
// less AxisXMargin pixels left and right and AxisYMargin pixels above and
// below, where the axes and their labels go.
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
    Q_PROPERTY(bool AxisMarksRound READ AxisMarksRound WRITE SetAxisMarksRound)
    Q_PROPERTY(bool AxisGrid READ AxisGrid WRITE SetAxisGrid)
    Q_PROPERTY(QColor AxisGridColor READ AxisGridColorQ WRITE SetAxisGridColorQ)
    Q_PROPERTY(bool HighDensity READ HighDensity WRITE SetHighDensity)

public:
    static constexpr TColor AxisGridColorDefault = 0x00A05030;  // A blue that stays behind the plot.

    // A panel inside Owner showing the window 0..10 by 0..10 with axes.
    explicit TCanvas2D(QWidget* Owner = nullptr);
    ~TCanvas2D() override;

    // ------------------------------------------------------- properties
    TColor AxisColor() const { return FAxisColor; }  // The colour of the axes, marks and labels.
    void SetAxisColor(TColor Value);  // Sets it, the label font's colour too, and repaints.
    const TFont& AxisFont() const { return FAxisFont; }  // The font of the axis labels.
    // Always repaints; AxisColor takes the font's colour.
    void SetAxisFont(const TFont& Value);
    bool AxisShow() const { return FAxisShow; }  // Whether the axes and margins are shown.
    void SetAxisShow(bool Value);  // Shows or hides the axes and repaints.
    int AxisXMargin() const { return FAxisXMargin; }  // Left and right margin, in pixels.
    // Kept only below half the surface less 20 pixels; repaints either way.
    void SetAxisXMargin(int Value);
    bool AxisXMarginAuto() const { return FAxisXMarginAuto; }  // Whether Draw fits AxisXMargin to the labels.
    void SetAxisXMarginAuto(bool Value);  // Sets the fitting and repaints.
    int AxisXMarks() const { return FAxisXMarks; }  // Marks between the ends of the X axis.
    void SetAxisXMarks(int Value);  // Sets the X marks and repaints.
    double AxisXMax() const { return FWindow.XMax; }  // The window's right edge, in world units.
    void SetAxisXMax(double Value);  // Moves the right edge and repaints.
    double AxisXMin() const { return FWindow.XMin; }  // The window's left edge, in world units.
    void SetAxisXMin(double Value);  // Moves the left edge and repaints.
    int AxisYMargin() const { return FAxisYMargin; }  // Top and bottom margin, in pixels.
    void SetAxisYMargin(int Value);  // As SetAxisXMargin, for the height.
    bool AxisYMarginAuto() const { return FAxisYMarginAuto; }  // Whether Draw fits AxisYMargin to the font.
    void SetAxisYMarginAuto(bool Value);  // Sets the fitting and repaints.
    int AxisYMarks() const { return FAxisYMarks; }  // Marks between the ends of the Y axis.
    void SetAxisYMarks(int Value);  // Sets the Y marks and repaints.
    double AxisYMax() const { return FWindow.YMax; }  // The window's top edge, in world units.
    void SetAxisYMax(double Value);  // Moves the top edge and repaints.
    double AxisYMin() const { return FWindow.YMin; }  // The window's bottom edge, in world units.
    void SetAxisYMin(double Value);  // Moves the bottom edge and repaints.
    TColor ColorExt() const { return FColorExt; }  // The colour of the margins around the plot.
    void SetColorExt(TColor Value);  // Sets the margin colour and repaints.
    TColor ColorInt() const { return FColorInt; }  // The background of the plot interior.
    void SetColorInt(TColor Value);  // Sets the interior colour and repaints.
    const std::string& Format() const { return FFormat; }  // The number format of the axis labels.
    void SetFormat(const std::string& Value);  // Sets the format, repaints and raises OnChangeFormat.
    TK_COLOR_PROPERTY(AxisColor)
    TK_FONT_PROPERTY(AxisFont)
    TK_COLOR_PROPERTY(ColorExt)
    TK_COLOR_PROPERTY(ColorInt)
    TK_CAPTION_PROPERTY(Format)
    // The home window of ZoomAll; stored only.
    double ZoomAllXMax() const { return FHome.XMax; }
    void SetZoomAllXMax(double Value) { FHome.XMax = Value; }  // See ZoomAllXMax.
    double ZoomAllXMin() const { return FHome.XMin; }  // The home window's left edge.
    void SetZoomAllXMin(double Value) { FHome.XMin = Value; }  // See ZoomAllXMin.
    double ZoomAllYMax() const { return FHome.YMax; }  // The home window's top edge.
    void SetZoomAllYMax(double Value) { FHome.YMax = Value; }  // See ZoomAllYMax.
    double ZoomAllYMin() const { return FHome.YMin; }  // The home window's bottom edge.
    void SetZoomAllYMin(double Value) { FHome.YMin = Value; }  // See ZoomAllYMin.
    double ZoomFactor() const { return FZoomFactor; }  // The share of the window a zoom in keeps, per axis.
    // Kept only when 0 < Value < 1; never repaints.
    void SetZoomFactor(double Value);
    int ZoomSteps() const { return FZoomSteps; }  // Repaints a zoom or pan is animated in.
    // Kept only when positive; never repaints.
    void SetZoomSteps(int Value);
    // The mouse wheel zooms around the pointer when set (off by default).
    bool WheelZoom() const { return FWheelZoom; }
    void SetWheelZoom(bool Value) { FWheelZoom = Value; }  // See WheelZoom.
    // Marks at round values (steps of 1, 2 or 5 times a power of ten, about
    // AxisXMarks + 1 and AxisYMarks + 1 of them across the window) instead
    // of at the ends and equal fractions; their labels have the decimals
    // the step needs and Format's thousands grouping. Off by default.
    bool AxisMarksRound() const { return FAxisMarksRound; }
    void SetAxisMarksRound(bool Value);  // Sets it and repaints.
    // A line across the plot interior at each mark, in AxisGridColor, below
    // what OnDraw draws. Off by default.
    bool AxisGrid() const { return FAxisGrid; }
    void SetAxisGrid(bool Value);  // Shows or hides the grid and repaints.
    TColor AxisGridColor() const { return FAxisGridColor; }  // The colour of the grid lines.
    void SetAxisGridColor(TColor Value);  // Sets it and repaints.
    TK_COLOR_PROPERTY(AxisGridColor)
    // On a high-density screen the surface has the screen's device pixels
    // (PixelRatio of them per pixel of the canvas), so lines are one device
    // pixel thin and text is rasterised at the device size; off, the plot
    // is drawn in the canvas's pixels and the screen enlarges it. On by
    // default; the same picture either way on an ordinary screen.
    bool HighDensity() const { return FHighDensity; }
    void SetHighDensity(bool Value);  // Sets it and repaints.

    // Raised with the canvas as Sender. The mouse events carry pixels of
    // the drawing surface. (OnDblClick and the mouse events are the
    // control's own.)
    TNotifyEvent OnChangeFormat;  // Format changed.
    TNotifyEvent OnDraw;  // Draw the plot now, with the primitives.

    // The inherited mouse signals come with the surface's mouse events, in
    // its pixels.
signals:
    void formatChanged();  // After OnChangeFormat.
    void drawRequested();  // After OnDraw: draw the plot now.

public:
    // The drawing surface, whose canvas the primitives draw on with the pen,
    // brush and font it holds.
    TQelImage& Image() { return *FImage; }
    // The surface's canvas, owned by the surface. It draws in the bitmap's
    // pixels, PixelRatio of them per pixel of the mapping; the primitives
    // scale the pen's width (above 1) and the font to match.
    TCanvas& DrawCanvas() { return FImage->Canvas(); }
    // Bitmap pixels per surface pixel: the screen's device pixel ratio with
    // HighDensity, else 1.
    double PixelRatio() const { return FImage->PixelRatio(); }
    int ZoomMode() const { return FNav.Mode(); }  // What a left click does: zmNone, zmZoomIn, zmZoomOut or zmPan.
    bool Animating() const { return FAnimating > 0; }  // Whether a window change is running.
    bool DrawOverflow() const { return FDrawOverflow; }  // Whether a primitive since the last Draw was too far out to draw.
    const TPlotWindow& Window() const { return FWindow; }  // The window shown.

    // ------------------------------------------------------- mapping
    int ValToScrX(double X) const;  // The surface pixel column of world X.
    int ValToScrY(double Y) const;  // The surface pixel row of world Y.
    double ValToScrXD(double X) const;  // ValToScrX before rounding.
    double ValToScrYD(double Y) const;  // ValToScrY before rounding.
    double ScrToValX(int X) const;  // The world X of surface pixel column X.
    double ScrToValY(int Y) const;  // The world Y of surface pixel row Y.
    std::string ScrToValXS(int X) const;  // ScrToValX in the label format.
    std::string ScrToValYS(int Y) const;  // ScrToValY in the label format.
    int ClientWidthGet() const;  // The plot interior's width in pixels: the surface less both X margins.
    int ClientHeightGet() const;  // The plot interior's height in pixels: the surface less both Y margins.
    TAxisMap XMap() const;  // World X to surface columns, for the current window and size.
    TAxisMap YMap() const;  // World Y to surface rows, for the current window and size.

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
    void AxisYAdjustToX();  // As AxisXAdjustToY, moving AxisYMax instead; repaints.
    void AxisXMarginAdjust();  // Fits AxisXMargin to the widest end label of Y.
    void AxisYMarginAdjust();  // Fits AxisYMargin to the label font's height.
    void AxisDraw();  // Draws the grid if asked, the frame, the end marks and the marks between.
    void MarkXDraw(double X);  // Mark and label of world X, above and below the plot.
    void MarkYDraw(double Y);  // Mark and label of world Y, left and right of the plot.
    // Draws a Y label at bitmap pixel X, with the canvas's alignment,
    // centred on bitmap row Y; the labels of AxisYMin and AxisYMax lean
    // into the plot's height.
    void MarkYDrawText(int X, int Y, double Value, const std::string& Text);
    // The values AxisDraw marks on one axis, the ends first when there are
    // end marks, and the label format they share.
    struct TAxisMarks {
        std::vector<double> Values;  // See above.
        std::string Format;          // See above.
    };
    TAxisMarks AxisXMarksGet() const;
    TAxisMarks AxisYMarksGet() const;  // See AxisXMarksGet.

    // ------------------------------------------------------- drawing
    // Repaints everything and raises OnDraw, clipped to the plot.
    void Draw();
    void Clear();  // Fills margins and interior with their colours; draws the axes.
    void ImageResize();  // Fits the drawing surface inside the bevels.
    void DrawRegionSet();  // With AxisShow, clips the canvas to the plot interior.
    // The plot interior; right and bottom are its last pixels, inclusive.
    TRect DrawRectGet() const;
    bool Inside(int X, int Y) const;  // Whether surface pixel (X, Y) lies in the plot interior.
    // Whether world point (X, Y) lies in the window, edges included.
    bool PointCheckIn(double X, double Y) const
    {
        return FWindow.XMin <= X && X <= FWindow.XMax && FWindow.YMin <= Y && Y <= FWindow.YMax;
    }
    // A dot of Radius pixels (below 1: a single pixel) at a world point in
    // the window.
    void Point(double X, double Y, int Radius);
    void Line(double X1, double Y1, double X2, double Y2);  // The line between two world points, with the canvas's pen.
    // The lines between consecutive points (X[i], Y[i]), each drawn as Line
    // draws it, with every point mapped once: the way to draw a long
    // series. The shorter span sets the number of points.
    void Polyline(std::span<const double> X, std::span<const double> Y);
    void Triangle(double X1, double Y1, double X2, double Y2, double X3, double Y3);  // A filled triangle of world points.
    // Text at a world point in the window, moved by (DX, DY) pixels, drawn
    // with the canvas's font and alignment on a clear background.
    void TextOutA(double X, double Y, int DX, int DY, const std::string& Text);
    void Canvas2DResize(TObject* Sender);  // Repaints for a new size.
    // Writes the plot as it would show on a surface of Width x Height
    // pixels: PNG, BMP, JPEG (or the other picture files) pixel for pixel
    // as that surface, SVG and PDF as a drawing whose primitives keep
    // their world coordinates. The format follows the name's extension;
    // an unknown one, a size beyond the picture files' limits or a file
    // that cannot be written raises EInvalidGraphic, and the old file stays
    // as it was. The repaint raises OnDraw once, to draw on the picture;
    // the surface shown is not touched. Called from that OnDraw, it
    // raises EInvalidOperation.
    void SaveToFile(const std::string& FileName, int Width, int Height);

    // ------------------------------------------------------- zoom and pan
    void ZoomModeSet(int Mode);  // Sets ZoomMode and its cursor; other numbers are ignored.
    void ZoomMore();  // Zooms in by ZoomFactor around the zoom box's centre.
    void ZoomLess(int X, int Y);  // Zooms out by ZoomFactor around surface pixel (X, Y).
    void ZoomAll();  // Goes to the home window ZoomAll... and repaints.
    // Draws the zoom box at the centre, or erases the box shown, at the
    // place and size it was drawn with.
    void ZoomDraw();
    void ZoomDraw(int X, int Y);  // Moves the zoom box's centre to (X, Y) and draws it.
    void Pan();  // Moves the window by the drag from its start to its end.
    void PanDraw();  // Draws (or erases) the pan line from the drag's start to its end.
    void PanDraw(int X, int Y);  // Moves the drag's end to (X, Y) and draws the line.
    // Step through the windows that zoom, pan and ZoomAll visited. A step
    // whose window is refused or given up leaves the position in the
    // history where it was.
    void ZoomBack();
    void ZoomForward();  // See ZoomBack.
    const TZoomHistory& ZoomHistory() const { return FNav.History(); }  // The windows visited.
    // Zooms in (Steps > 0) or out around the surface pixel (X, Y), which
    // keeps its world point.
    void ZoomAt(int X, int Y, int Steps);

    // The surface's mouse events: zoom and pan by ZoomMode, then the
    // canvas's own events in surface pixels.
    void Canvas2DMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Canvas2DMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);  // See Canvas2DMouseDown.
    void Canvas2DMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);  // See Canvas2DMouseDown.
    void Canvas2DDblClick(TObject* Sender);  // Raises OnDblClick.

protected:
    void Resize() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;  // Wheel zoom on the surface, and quitting during a change.
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
    // The surface and lengths on it in bitmap pixels; the same numbers at a
    // pixel ratio of 1.
    int DeviceWidth() const { return FImage->BitmapSide(SurfaceWidth()); }
    int DeviceHeight() const { return FImage->BitmapSide(SurfaceHeight()); }
    int DeviceLength(int Length) const { return LengthScaled(Length, PixelRatio()); }
    TFont DeviceFont(const TFont& Font) const { return FontScaled(Font, PixelRatio()); }
    // The maps of the window onto a surface of W x H with the given margins.
    TAxisMap XMapOf(int W, int XMargin) const;
    TAxisMap YMapOf(int H, int YMargin) const;
    // The pen's width and the font scaled to bitmap pixels while a
    // primitive draws, then given back.
    class TDeviceStyle;
    // The pixel ratio for a surface of W x H.
    double PixelRatioWanted(int W, int H) const;
    // Draws again when the screen's pixel ratio is no longer the surface's.
    void PixelRatioCheck();
    // A window change that did not come from the running animation.
    void WindowChangedOutside();
    void WindowDraw(double& Field, double Value);
    // The plot as the navigator needs to know it now.
    TNavView NavView() const;
    // Does what the navigator asked: draws its figures, shows the mode's
    // cursor, beeps or runs the window change, then sets the next mode.
    void Run(const TNavCommand& Command);
    void RubberDraw(const TRubber& Figure);  // Draws (or erases) a figure with the inverting pen.
    TAxisMarks AxisMarksGet(double Min, double Max, int Marks, int Pixels) const;
    void MarkXDraw(double X, const std::string& Label);
    void MarkYDraw(double Y, const std::string& Label);
    void GridDraw(const TAxisMarks& X, const TAxisMarks& Y);
    void RubberPenSet();
    void RubberPenReset();

    // The primitives map every vertex (to bitmap pixels), so the maps are
    // remembered together with what they were made from, and made again
    // when any of that changes.
    struct TMapKey {
        TPlotWindow Window;
        int Width = -1, Height = -1, XMargin = 0, YMargin = 0;
        bool Show = false;
        double Ratio = 1;  // Bitmap pixels per surface pixel.
    };
    TMapKey MapKey() const
    {
        return {FWindow, SurfaceWidth(), SurfaceHeight(), FAxisXMargin, FAxisYMargin, FAxisShow, PixelRatio()};
    }
    struct TMapCache {
        TMapKey Key;
        TAxisMap X, Y;
        TPoint ToPixel(double WX, double WY) const { return TAxisMap::ToPixelsInt(X, WX, Y, WY); }
        // World values from which on every value maps before the surface's
        // first pixel (Before) or past its size (Past); NaN when there is
        // none. Rising when pixels grow with the value.
        struct TOffSurface {
            double Before = std::numeric_limits<double>::quiet_NaN(),  // See above.
                   Past = Before;                                      // See above.
            bool Rising = true;                                        // See above.
            // Whether all three values lie on one off-surface side.
            bool All(double A, double B, double C) const;
            static TOffSurface Of(const TAxisMap& Map, int Size);  // The limits of Map over Size pixels.
        } XOff, YOff;
        // Every point of the window maps to a pixel from which the canvas
        // can draw a line to any other such pixel.
        bool Drawable = false;
    };
    // Every primitive asks, so the check is inline, and compares in place
    // rather than through a copy of the key. A NaN limit compares unequal
    // to itself and so makes the maps again every time.
    const TMapCache& Maps() const
    {
        const TMapKey& key = FMaps.Key;
        if (key.Window == FWindow && key.Width == SurfaceWidth() && key.Height == SurfaceHeight() &&
            key.XMargin == FAxisXMargin && key.YMargin == FAxisYMargin && key.Show == FAxisShow &&
            key.Ratio == PixelRatio()) [[likely]]
            return FMaps;
        return MapsMake();
    }
    const TMapCache& MapsMake() const;
    mutable TMapCache FMaps;
    // A polyline drawn as lines maps each vertex once: the last line's
    // mapped end and its OutCode, kept for the next line's start. New maps
    // forget them.
    struct TLineEnd {
        double X = std::numeric_limits<double>::quiet_NaN(), Y = X;
        TPoint Pixel;
        unsigned Code = 0;
    };
    mutable TLineEnd FLineEnd;
    // Which sides of the window a point lies beyond (bits 0-3: left,
    // right, below, above), or that it is not a number (bit 4).
    unsigned OutCode(double X, double Y) const;
    // The OutCodes of N points; the series goes on to Readable points,
    // which are asked for ahead.
    void OutCodes(const double* X, const double* Y, std::size_t N, std::size_t Readable, unsigned* Codes) const;
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
    // The window shown, and the home window of ZoomAll.
    TPlotWindow FWindow{0, 0, 10, 10};
    TPlotWindow FHome{0, 0, 10, 10};
    int FAxisYMargin = 30;
    bool FAxisYMarginAuto = true;
    int FAxisYMarks = 9;
    TColor FColorExt = clBlack;
    TColor FColorInt = clNavy;
    std::string FFormat;
    double FZoomFactor = 0.5;
    int FZoomSteps = 5;
    bool FWheelZoom = false;
    bool FAxisMarksRound = false;
    bool FAxisGrid = false;
    TColor FAxisGridColor = AxisGridColorDefault;
    bool FHighDensity = true;
    bool FRatioCheckQueued = false;

    TPlotNavigator FNav;
    int FCursorMode = zmNone;  // The mode whose cursor the surface shows.
    // Depth of running AxisChange loops; one may start inside another's
    // message processing.
    int FAnimating = 0;
    // Hidden or quitting: the running change shows its end and stops.
    bool FFinishRequest = false;
    bool FDrawOverflow = false;
    // Counts window changes from outside a running animation, which then
    // stops instead of overwriting them with its next step.
    unsigned FWindowChanges = 0;
    bool FResizeConnected = false;
    // Set while SaveToFile repaints onto its picture instead of the surface.
    bool FExporting = false;
};

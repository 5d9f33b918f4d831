// The canvas's frame, its marks and labels, and the margins they need.
#include "components/plot/Tcanvas2d.h"

#include "components/image/Qelutils.h"
#include "toolkit/system/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cstdint>

void TCanvas2D::AxisXMarginAdjust()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Font = FAxisFont;
    // Only the end labels are measured: the marks between them lie inside
    // their range, and their labels are seldom wider.
    FAxisXMargin = std::max(canvas.TextWidth(FormatFloat(LabelFormat(FFormat), FWindow.YMax)),
                            canvas.TextWidth(FormatFloat(LabelFormat(FFormat), FWindow.YMin))) +
                   6;
}

void TCanvas2D::AxisYMarginAdjust()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Font = FAxisFont;
    FAxisYMargin = canvas.TextHeight("0") + 6;
}

void TCanvas2D::AxisXAdjustToY()
{
    const double w = ClientWidthGet(), h = ClientHeightGet();
    // On a plot area without height there is no scale to match.
    if (h != 0)
        FWindow.XMax = (FWindow.YMax - FWindow.YMin) * w / h + FWindow.XMin;
    WindowChangedOutside();
    Draw();
}

void TCanvas2D::AxisYAdjustToX()
{
    const double w = ClientWidthGet(), h = ClientHeightGet();
    if (w != 0)
        FWindow.YMax = (FWindow.XMax - FWindow.XMin) * h / w + FWindow.YMin;
    WindowChangedOutside();
    Draw();
}

void TCanvas2D::AxisDraw()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Brush.Style = bsClear;
    // One pixel beyond the mapped maxima, so the outline lies on all four.
    canvas.Rectangle(ValToScrX(FWindow.XMin), ValToScrY(FWindow.YMax),
                     SaturatingInt(std::int64_t(ValToScrX(FWindow.XMax)) + 1),
                     SaturatingInt(std::int64_t(ValToScrY(FWindow.YMin)) + 1));
    canvas.Brush.Style = bsSolid;

    MarkXDraw(FWindow.XMin);
    MarkXDraw(FWindow.XMax);
    MarkYDraw(FWindow.YMin);
    MarkYDraw(FWindow.YMax);
    // The marks cut each axis into Marks + 1 equal parts. A surface can show
    // no more distinct marks than it has pixels, so a huge count costs no
    // more than that.
    const int xMarks = std::min(FAxisXMarks, std::max(SurfaceWidth(), 0));
    for (int i = 1; i <= xMarks; ++i)
        MarkXDraw(FWindow.XMin + (FWindow.XMax - FWindow.XMin) * i / (double(xMarks) + 1));
    const int yMarks = std::min(FAxisYMarks, std::max(SurfaceHeight(), 0));
    for (int i = 1; i <= yMarks; ++i)
        MarkYDraw(FWindow.YMin + (FWindow.YMax - FWindow.YMin) * i / (double(yMarks) + 1));
}

void TCanvas2D::MarkXDraw(double X)
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Font = FAxisFont;
    canvas.SetTextAlign(TA_CENTER | TA_TOP);
    canvas.SetBkMode(TRANSPARENT);

    const int sx = ValToScrX(X);
    const std::string label = FormatFloat(LabelFormat(FFormat), X);
    const std::int64_t ym = FAxisYMargin;
    canvas.MoveTo(sx, SaturatingInt(ym - 2));
    canvas.LineTo(sx, SaturatingInt(ym));
    canvas.TextOut(sx, SaturatingInt(ym - 3 - canvas.TextHeight(label)), label);

    const std::int64_t b = std::int64_t(SurfaceHeight()) - ym;
    canvas.MoveTo(sx, SaturatingInt(b + 1));
    canvas.LineTo(sx, SaturatingInt(b + 3));
    canvas.TextOut(sx, SaturatingInt(b + 4), label);
}

void TCanvas2D::MarkYDraw(double Y)
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Font = FAxisFont;
    canvas.SetBkMode(TRANSPARENT);

    const int sy = ValToScrY(Y);
    const std::string label = FormatFloat(LabelFormat(FFormat), Y);
    const std::int64_t xm = FAxisXMargin;
    canvas.SetTextAlign(TA_RIGHT | TA_TOP);
    canvas.MoveTo(SaturatingInt(xm - 2), sy);
    canvas.LineTo(SaturatingInt(xm), sy);
    MarkYDrawText(SaturatingInt(xm - 3), sy, Y, label);

    const std::int64_t r = std::int64_t(SurfaceWidth()) - xm;
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.MoveTo(SaturatingInt(r + 1), sy);
    canvas.LineTo(SaturatingInt(r + 3), sy);
    MarkYDrawText(SaturatingInt(r + 4), sy, Y, label);
}

void TCanvas2D::MarkYDrawText(int X, int Y, double Value, const std::string& Text)
{
    TCanvas& canvas = DrawCanvas();
    const std::int64_t h = canvas.TextHeight(Text);
    // The end labels lean into the plot's height, the others are centred.
    std::int64_t top = Y - h / 2;
    if (Value == FWindow.YMin)
        top = Y - (2 * h) / 3;
    else if (Value == FWindow.YMax)
        top = Y - h / 3;
    canvas.TextOut(X, SaturatingInt(top), Text);
}

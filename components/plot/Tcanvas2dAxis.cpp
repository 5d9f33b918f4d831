// The canvas's frame, its marks and labels, and the margins they need.
#include "components/plot/Tcanvas2d.h"

#include "components/image/Qelutils.h"
#include "components/plot/AxisMarks.h"

#include "toolkit/system/SysUtils.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

void TCanvas2D::AxisXMarginAdjust()
{
    TCanvas& canvas = DrawCanvas();
    // Measured as drawn, in bitmap pixels, and brought back to the
    // surface's (rounding up, so that no label reaches the frame).
    canvas.Font = DeviceFont(FAxisFont);
    auto surfacePixels = [&](int Bitmap) {
        const double r = PixelRatio();
        return r == 1 ? Bitmap : int(std::ceil(Bitmap / r));
    };
    // Round marks need not include the ends: their own labels are measured.
    if (AxisMarksRound()) {
        const TAxisMarks y = AxisYMarksGet();
        if (!y.Values.empty()) {
            int widest = 0;
            for (const double v : y.Values)
                widest = std::max(widest, canvas.TextWidth(FormatFloat(y.Format, v)));
            FAxisXMargin = surfacePixels(widest) + 6;
            canvas.Font = FAxisFont;
            return;
        }
    }
    // Only the end labels are measured: the marks between them lie inside
    // their range, and their labels are seldom wider.
    FAxisXMargin = surfacePixels(std::max(canvas.TextWidth(FormatFloat(LabelFormat(FFormat), FWindow.YMax)),
                                          canvas.TextWidth(FormatFloat(LabelFormat(FFormat), FWindow.YMin)))) +
                   6;
    // The owner's drawing finds the font in surface pixels, as set.
    canvas.Font = FAxisFont;
}

void TCanvas2D::AxisYMarginAdjust()
{
    TCanvas& canvas = DrawCanvas();
    canvas.Font = DeviceFont(FAxisFont);
    const double r = PixelRatio();
    const int h = canvas.TextHeight("0");
    FAxisYMargin = (r == 1 ? h : int(std::ceil(h / r))) + 6;
    canvas.Font = FAxisFont;
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

TCanvas2D::TAxisMarks TCanvas2D::AxisMarksGet(double Min, double Max, int Marks, int Pixels) const
{
    // A surface can show no more distinct marks than it has pixels, so a
    // huge count costs no more than that.
    const int marks = std::min(Marks, std::max(Pixels, 0));
    TAxisMarks m;
    if (AxisMarksRound()) {
        TRoundMarks round = RoundMarks(Min, Max, marks + 1);
        m.Values = std::move(round.Values);
        m.Format = RoundMarkFormat(Format(), round.Decimals);
        return m;
    }
    // The ends, then the marks that cut the axis into Marks + 1 equal
    // parts; zero or fewer leave only the ends.
    m.Format = LabelFormat(Format());
    m.Values = {Min, Max};
    for (int i = 1; i <= marks; ++i)
        m.Values.push_back(Min + (Max - Min) * i / (double(marks) + 1));
    return m;
}

TCanvas2D::TAxisMarks TCanvas2D::AxisXMarksGet() const
{
    return AxisMarksGet(AxisXMin(), AxisXMax(), AxisXMarks(), SurfaceWidth());
}

TCanvas2D::TAxisMarks TCanvas2D::AxisYMarksGet() const
{
    return AxisMarksGet(AxisYMin(), AxisYMax(), AxisYMarks(), SurfaceHeight());
}

void TCanvas2D::AxisDraw()
{
    const TAxisMarks x = AxisXMarksGet(), y = AxisYMarksGet();
    if (AxisGrid())
        GridDraw(x, y);

    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Brush.Style = bsClear;
    // One pixel beyond the mapped maxima, so the outline lies on all four.
    const TMapCache& m = Maps();
    canvas.Rectangle(m.X.ToPixelInt(FWindow.XMin), m.Y.ToPixelInt(FWindow.YMax),
                     SaturatingInt(std::int64_t(m.X.ToPixelInt(FWindow.XMax)) + 1),
                     SaturatingInt(std::int64_t(m.Y.ToPixelInt(FWindow.YMin)) + 1));
    canvas.Brush.Style = bsSolid;

    // The end marks of both axes first, then those between them.
    const std::size_t ends = AxisMarksRound() ? 0 : 2;
    for (std::size_t i = 0; i < ends; ++i)
        MarkXDraw(x.Values[i], FormatFloat(x.Format, x.Values[i]));
    for (std::size_t i = 0; i < ends; ++i)
        MarkYDraw(y.Values[i], FormatFloat(y.Format, y.Values[i]));
    for (std::size_t i = ends; i < x.Values.size(); ++i)
        MarkXDraw(x.Values[i], FormatFloat(x.Format, x.Values[i]));
    for (std::size_t i = ends; i < y.Values.size(); ++i)
        MarkYDraw(y.Values[i], FormatFloat(y.Format, y.Values[i]));
}

void TCanvas2D::GridDraw(const TAxisMarks& X, const TAxisMarks& Y)
{
    TCanvas& canvas = DrawCanvas();
    const TPen pen = canvas.Pen;
    canvas.Pen = TPen{AxisGridColor(), 1, pmCopy, psSolid};
    // Only inside the frame: the end marks lie on it.
    const TMapCache& m = Maps();
    const auto [left, right] = std::minmax({m.X.ToPixelInt(AxisXMin()), m.X.ToPixelInt(AxisXMax())});
    const auto [top, bottom] = std::minmax({m.Y.ToPixelInt(AxisYMin()), m.Y.ToPixelInt(AxisYMax())});
    for (const double v : X.Values) {
        const int sx = m.X.ToPixelInt(v);
        if (left < sx && sx < right && top < bottom) {
            canvas.MoveTo(sx, top + 1);
            canvas.LineTo(sx, bottom);
        }
    }
    for (const double v : Y.Values) {
        const int sy = m.Y.ToPixelInt(v);
        if (top < sy && sy < bottom && left < right) {
            canvas.MoveTo(left + 1, sy);
            canvas.LineTo(right, sy);
        }
    }
    canvas.Pen = pen;
}

void TCanvas2D::MarkXDraw(double X) { MarkXDraw(X, FormatFloat(LabelFormat(FFormat), X)); }

void TCanvas2D::MarkXDraw(double X, const std::string& label)
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Font = DeviceFont(FAxisFont);
    canvas.SetTextAlign(TA_CENTER | TA_TOP);
    canvas.SetBkMode(TRANSPARENT);

    // In bitmap pixels: the tick is two surface pixels long, the label
    // one further out.
    const int sx = Maps().X.ToPixelInt(X);
    const std::int64_t ym = DeviceLength(FAxisYMargin), tick = DeviceLength(2), gap = DeviceLength(3);
    canvas.MoveTo(sx, SaturatingInt(ym - tick));
    canvas.LineTo(sx, SaturatingInt(ym));
    canvas.TextOut(sx, SaturatingInt(ym - gap - canvas.TextHeight(label)), label);

    const std::int64_t b = std::int64_t(DeviceHeight()) - ym;
    canvas.MoveTo(sx, SaturatingInt(b + 1));
    canvas.LineTo(sx, SaturatingInt(b + 1 + tick));
    canvas.TextOut(sx, SaturatingInt(b + 1 + gap), label);
    canvas.Font = FAxisFont;
}

void TCanvas2D::MarkYDraw(double Y) { MarkYDraw(Y, FormatFloat(LabelFormat(FFormat), Y)); }

void TCanvas2D::MarkYDraw(double Y, const std::string& label)
{
    TCanvas& canvas = DrawCanvas();
    canvas.Pen.Color = FAxisColor;
    canvas.Font = DeviceFont(FAxisFont);
    canvas.SetBkMode(TRANSPARENT);

    const int sy = Maps().Y.ToPixelInt(Y);
    const std::int64_t xm = DeviceLength(FAxisXMargin), tick = DeviceLength(2), gap = DeviceLength(3);
    canvas.SetTextAlign(TA_RIGHT | TA_TOP);
    canvas.MoveTo(SaturatingInt(xm - tick), sy);
    canvas.LineTo(SaturatingInt(xm), sy);
    MarkYDrawText(SaturatingInt(xm - gap), sy, Y, label);

    const std::int64_t r = std::int64_t(DeviceWidth()) - xm;
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.MoveTo(SaturatingInt(r + 1), sy);
    canvas.LineTo(SaturatingInt(r + 1 + tick), sy);
    MarkYDrawText(SaturatingInt(r + 1 + gap), sy, Y, label);
    canvas.Font = FAxisFont;
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

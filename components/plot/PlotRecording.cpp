// The plot in a recording of its surface, and the plot written to a file.
#include "components/plot/PlotRecording.h"

#include "toolkit/system/Errors.h"

#include <algorithm>
#include <vector>

namespace {

// The points mapped onto the surface, unrounded.
std::vector<TPointF> Mapped(const TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
{
    const TAxisMap xm = Plot.XMap(), ym = Plot.YMap();
    std::vector<TPointF> points(std::min(X.size(), Y.size()));
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {xm.ToPixel(X[i]), ym.ToPixel(Y[i])};
    return points;
}

}  // namespace

template <class Record>
TPlotRecord TPlotRecord::Make(TCanvas2D& Plot, Record&& Keep)
{
    TPictureRecording* recording = dynamic_cast<TPictureRecording*>(Plot.DrawCanvas().Recorder);
    if (!recording)
        return {};
    Keep(*recording, Plot.DrawCanvas());
    return TPlotRecord(recording);
}

TPlotRecord TPlotRecord::PointMake(TCanvas2D& Plot, double X, double Y, int Radius)
{
    return Make(Plot, [&](TPictureRecording& r, const TCanvas& c) {
        r.PreciseDisc(c, {Plot.ValToScrXD(X), Plot.ValToScrYD(Y)}, Radius);
    });
}

TPlotRecord TPlotRecord::LinesMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
{
    return Make(Plot, [&](TPictureRecording& r, const TCanvas& c) { r.PreciseLines(c, Mapped(Plot, X, Y)); });
}

TPlotRecord TPlotRecord::TriangleMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
{
    return Make(Plot, [&](TPictureRecording& r, const TCanvas& c) { r.PrecisePolygon(c, Mapped(Plot, X, Y)); });
}

TPlotRecord TPlotRecord::TextMake(TCanvas2D& Plot, double X, double Y, int DX, int DY, const std::string& Text)
{
    return Make(Plot, [&](TPictureRecording& r, const TCanvas& c) {
        r.PreciseText(c, {Plot.ValToScrXD(X) + DX, Plot.ValToScrYD(Y) + DY}, Text);
    });
}

void TCanvas2D::SaveToFile(const std::string& FileName, int Width, int Height)
{
    // From OnDraw while a picture is drawn, it would draw it again and again.
    if (FExporting)
        throw EInvalidOperation("Cannot save the plot while its picture is being drawn");
    PictureDrawnSave(FileName, Width, Height, [this](TQelImage& Surface) {
        // The repaint runs on the picture, with the canvas's state, but
        // without the zoom box or pan line of the mouse modes; what it
        // changes of the canvas is put back after, however it ends.
        Surface.Canvas().AssignState(DrawCanvas());
        struct TShown {
            TCanvas2D& Plot;
            TQelImage* Image;
            bool DrawOverflow;
            TPlotNavigator Nav;
            int XMargin, YMargin;
            ~TShown()
            {
                Plot.FImage = Image;
                Plot.FExporting = false;
                Plot.FDrawOverflow = DrawOverflow;
                Plot.FNav = std::move(Nav);
                Plot.FAxisXMargin = XMargin;
                Plot.FAxisYMargin = YMargin;
            }
        } shown{*this, FImage, FDrawOverflow, FNav, FAxisXMargin, FAxisYMargin};
        FImage = &Surface;
        FExporting = true;
        Draw();
    });
}

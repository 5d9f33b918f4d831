// The plot in a recording of its surface, and the plot written to a file.
#include "components/plot/PlotRecording.h"

#include <algorithm>
#include <vector>

namespace {

TPictureRecording* RecordingOf(TCanvas2D& Plot) { return dynamic_cast<TPictureRecording*>(Plot.DrawCanvas().Recorder); }

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

TPlotRecord TPlotRecord::PointMake(TCanvas2D& Plot, double X, double Y, int Radius)
{
    TPictureRecording* recording = RecordingOf(Plot);
    if (!recording)
        return {};
    recording->PreciseDisc(Plot.DrawCanvas(), {Plot.ValToScrXD(X), Plot.ValToScrYD(Y)}, Radius);
    return TPlotRecord(recording);
}

TPlotRecord TPlotRecord::LinesMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
{
    TPictureRecording* recording = RecordingOf(Plot);
    if (!recording)
        return {};
    recording->PreciseLines(Plot.DrawCanvas(), Mapped(Plot, X, Y));
    return TPlotRecord(recording);
}

TPlotRecord TPlotRecord::TriangleMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
{
    TPictureRecording* recording = RecordingOf(Plot);
    if (!recording)
        return {};
    recording->PrecisePolygon(Plot.DrawCanvas(), Mapped(Plot, X, Y));
    return TPlotRecord(recording);
}

TPlotRecord TPlotRecord::TextMake(TCanvas2D& Plot, double X, double Y, int DX, int DY, const std::string& Text)
{
    TPictureRecording* recording = RecordingOf(Plot);
    if (!recording)
        return {};
    recording->PreciseText(Plot.DrawCanvas(), {Plot.ValToScrXD(X) + DX, Plot.ValToScrYD(Y) + DY}, Text);
    return TPlotRecord(recording);
}

void TCanvas2D::SaveToFile(const std::string& FileName, int Width, int Height)
{
    PictureDrawnSave(FileName, Width, Height, [this](TQelImage& Surface) {
        // The repaint runs on the picture, with the canvas's state, but
        // without the zoom box or pan line of the mouse modes; what it
        // changes of the canvas is put back after, however it ends.
        Surface.Canvas().AssignState(DrawCanvas());
        struct TShown {
            TCanvas2D& Plot;
            TQelImage* Image;
            int ZoomMode;
            bool Panning, DrawOverflow;
            TZoomBox ZoomBox;
            int XMargin, YMargin;
            ~TShown()
            {
                Plot.FImage = Image;
                Plot.FExporting = false;
                Plot.FZoomMode = ZoomMode;
                Plot.FPanning = Panning;
                Plot.FDrawOverflow = DrawOverflow;
                Plot.FZoomBox = ZoomBox;
                Plot.FAxisXMargin = XMargin;
                Plot.FAxisYMargin = YMargin;
            }
        } shown{*this, FImage, FZoomMode, FPanning, FDrawOverflow, FZoomBox, FAxisXMargin, FAxisYMargin};
        FImage = &Surface;
        FExporting = true;
        FZoomMode = zmNone;
        FPanning = false;
        Draw();
    });
}

// The plotting canvas against the plotting library its users would pick
// instead, on the same picture: an 800 x 600 plot framed with labelled
// marks on all four sides, a random walk of 100,000 segments and 10,000
// points of radius 2, no antialiasing, each drawn into an off-screen
// picture. Also one step of an animated zoom on that plot.
#include "PlotPeer.h"
#include "QtBenchMain.h"
#include "components/plot/Tcanvas2d.h"


#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int PlotWidth = 800;
constexpr int PlotHeight = 600;
constexpr int Segments = 100000;
constexpr int Points = 10000;

struct Scene {
    std::vector<double> walkX, walkY, pointX, pointY;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;

    Scene()
    {
        std::mt19937 rng(16);
        std::normal_distribution<double> step(0.0, 1.0);
        double x = 0, y = 0;
        for (int i = 0; i <= Segments; ++i) {
            walkX.push_back(x);
            walkY.push_back(y);
            x += step(rng);
            y += step(rng);
        }
        xMin = *std::ranges::min_element(walkX);
        xMax = *std::ranges::max_element(walkX);
        yMin = *std::ranges::min_element(walkY);
        yMax = *std::ranges::max_element(walkY);
        std::uniform_real_distribution<double> ux(xMin, xMax), uy(yMin, yMax);
        for (int i = 0; i < Points; ++i) {
            pointX.push_back(ux(rng));
            pointY.push_back(uy(rng));
        }
    }
};

const Scene& TheScene()
{
    static const Scene scene;
    return scene;
}

// The windows a zoom step alternates between: the whole walk and 90 % of it
// around its centre.
TPlotWindow ZoomStepWindow(int step)
{
    const Scene& s = TheScene();
    const double cx = (s.xMin + s.xMax) / 2, cy = (s.yMin + s.yMax) / 2;
    const double f = step % 2 ? 1.0 : 0.9;
    const double wx = (s.xMax - s.xMin) / 2 * f, wy = (s.yMax - s.yMin) / 2 * f;
    return {cx - wx, cy - wy, cx + wx, cy + wy};
}

// A canvas whose drawing surface is 800 x 600, with the scene in OnDraw:
// the walk drawn as one polyline, or line by line when LineByLine is set.
struct Canvas {
    TCanvas2D c;
    explicit Canvas(bool LineByLine = false)
    {
        const Scene& s = TheScene();
        c.resize(PlotWidth + 4 * c.BevelWidth(), PlotHeight + 4 * c.BevelWidth());
        c.SetAxisXMin(s.xMin);
        c.SetAxisXMax(s.xMax);
        c.SetAxisYMin(s.yMin);
        c.SetAxisYMax(s.yMax);
        c.SetFormat("0.0");
        c.OnDraw = [this, &s, LineByLine](TObject*) {
            TCanvas& canvas = c.DrawCanvas();
            canvas.Pen.Color = clYellow;
            if (LineByLine)
                for (int i = 0; i < Segments; ++i)
                    c.Line(s.walkX[i], s.walkY[i], s.walkX[i + 1], s.walkY[i + 1]);
            else
                c.Polyline(s.walkX, s.walkY);
            canvas.Pen.Color = clLime;
            canvas.Brush.Color = clLime;
            for (int i = 0; i < Points; ++i)
                c.Point(s.pointX[i], s.pointY[i], 2);
        };
        // Drawn only when visible; the benchmarks show nothing on screen.
        c.SetVisible(true);
    }
};

// Run with QT_SCALE_FACTOR=2 for a high-density screen: the label gives
// the size of the bitmap drawn, in device pixels.
void RedrawLoop(benchmark::State& state, Canvas& plot)
{
    for (auto _ : state) {
        plot.c.Draw();
        plot.c.Image().Picture().Bitmap().TakeDirty();
        benchmark::ClobberMemory();
    }
    const TBitmap& b = plot.c.Image().Picture().Bitmap();
    state.SetLabel(std::to_string(b.Width()) + "x" + std::to_string(b.Height()));
}

void BM_Canvas2DRedraw(benchmark::State& state)
{
    Canvas plot;
    RedrawLoop(state, plot);
}
BENCHMARK(BM_Canvas2DRedraw)->Unit(benchmark::kMillisecond);

// The same with the walk drawn by 100,000 calls of Line.
void BM_Canvas2DRedrawLineByLine(benchmark::State& state)
{
    Canvas plot(true);
    RedrawLoop(state, plot);
}
BENCHMARK(BM_Canvas2DRedrawLineByLine)->Unit(benchmark::kMillisecond);

// One step of an animated zoom: the window moves, the plot is redrawn and
// pending input is processed. The steps are timed by the clock: Qt hands
// part of putting a picture on the screen to a thread of its own, whose
// time the main thread's processor time would leave out.
void BM_Canvas2DZoomStep(benchmark::State& state)
{
    Canvas plot;
    int step = 0;
    for (auto _ : state) {
        const TPlotWindow w = ZoomStepWindow(step++);
        plot.c.AxisChange(w.XMin, w.YMin, w.XMax, w.YMax, 1);
        plot.c.Image().Picture().Bitmap().TakeDirty();
    }
}
BENCHMARK(BM_Canvas2DZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scene saved at its size: one repaint onto a picture, recorded for
// SVG and PDF, and the file written (flushed to disk). The file's size is
// the counter "bytes"; with BENCH_KEEP set the file stays in the temporary
// folder, to be looked at.
void SaveLoop(benchmark::State& state, const std::string& extension)
{
    Canvas plot;
    const std::string file =
        (std::filesystem::temp_directory_path() / ("bench_canvas2d-" + std::to_string(::getpid()) + extension)).string();
    for (auto _ : state)
        plot.c.SaveToFile(file, PlotWidth, PlotHeight);
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    if (!std::getenv("BENCH_KEEP"))
        std::filesystem::remove(file);
}
void BM_Canvas2DSaveSvg(benchmark::State& state) { SaveLoop(state, ".svg"); }
BENCHMARK(BM_Canvas2DSaveSvg)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Canvas2DSavePdf(benchmark::State& state) { SaveLoop(state, ".pdf"); }
BENCHMARK(BM_Canvas2DSavePdf)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_Canvas2DSavePng(benchmark::State& state) { SaveLoop(state, ".png"); }
BENCHMARK(BM_Canvas2DSavePng)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same scene in the peer library, rendered into an image.
struct ScenePeer : PeerPlot {
    QCPCurve* walk;

    ScenePeer() : PeerPlot(PlotWidth, PlotHeight)
    {
        const Scene& s = TheScene();
        SetWindow({s.xMin, s.yMin, s.xMax, s.yMax});

        walk = new QCPCurve(plot.xAxis, plot.yAxis);
        walk->setData(QVector<double>(s.walkX.begin(), s.walkX.end()), QVector<double>(s.walkY.begin(), s.walkY.end()));
        walk->setPen(QPen(Qt::yellow));

        QCPGraph* dots = plot.addGraph();
        dots->setData(QVector<double>(s.pointX.begin(), s.pointX.end()),
                      QVector<double>(s.pointY.begin(), s.pointY.end()));
        dots->setLineStyle(QCPGraph::lsNone);
        dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Qt::green, Qt::green, 5));
    }
    // One step of an animation that redraws the way Redraw says.
    template <class Redraw>
    void ZoomSteps(benchmark::State& state, Redraw redraw)
    {
        int step = 0;
        for (auto _ : state) {
            SetWindow(ZoomStepWindow(step++));
            redraw();
            QCoreApplication::processEvents();
        }
    }
};

void BM_QCustomPlotRedraw(benchmark::State& state)
{
    ScenePeer peer;
    for (auto _ : state) {
        peer.Render();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_QCustomPlotRedraw)->Unit(benchmark::kMillisecond);

void BM_QCustomPlotZoomStep(benchmark::State& state)
{
    ScenePeer peer;
    peer.ZoomSteps(state, [&] { peer.Render(); });
}
BENCHMARK(BM_QCustomPlotZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer's own animation step: the plot shown, and replotted at once.
void BM_QCustomPlotZoomStepShown(benchmark::State& state)
{
    ScenePeer peer;
    peer.plot.show();
    peer.ZoomSteps(state, [&] { peer.plot.replot(QCustomPlot::rpImmediateRefresh); });
}
BENCHMARK(BM_QCustomPlotZoomStepShown)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    // To look at both pictures: bench_canvas2d --save <folder>
    return QtBenchmarkMain(argc, argv, [](int argc, char** argv) {
        if (argc != 3 || std::string(argv[1]) != "--save")
            return false;
        const std::string dir = argv[2];
        Canvas ours;
        ours.c.Draw();
        TBitmap& b = ours.c.Image().Picture().Bitmap();
        QImage(reinterpret_cast<const uchar*>(b.ScanLine(0)), b.Width(), b.Height(), b.Width() * 4,
               QImage::Format_RGB32)
            .save(QString::fromStdString(dir + "/canvas2d.png"));
        ScenePeer peer;
        peer.Render();
        peer.image.save(QString::fromStdString(dir + "/peer.png"));
        return true;
    });
}

// The plotting canvas against QCustomPlot on each kind of plot users draw,
// with the same data in the same run: the two contenders take turns
// iteration by iteration, so neither runs with caches warmed by itself
// alone, and each turn is timed by the thread's processor clock. The
// counters give the medians of the turns and their ratio.
//
// PLOT_BENCH_SIDE=ours (or peer) runs one side only, for a profiler.
#include "PlotPeer.h"
#include "QtBenchMain.h"
#include "components/plot/Tcanvas2d.h"

#include <benchmark/benchmark.h>

#include <QPainter>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int PlotWidth = 800, PlotHeight = 600;
constexpr int WalkSegments = 100000;
constexpr int Triangles = 20000;
constexpr int Discs = 10000;
constexpr int LargeWidth = 1920, LargeHeight = 1080;
constexpr int LargePoints = 1000000;

// A walk whose steps vary in length and direction: mostly short, one in ten
// ten times longer, one in a hundred a hundred times longer.
struct Walk {
    std::vector<double> x, y;
    TPlotWindow all;
    Walk()
    {
        std::mt19937 rng(25);
        std::normal_distribution<double> step(0.0, 1.0);
        std::uniform_real_distribution<double> pick(0, 1);
        double px = 0, py = 0;
        for (int i = 0; i <= WalkSegments; ++i) {
            x.push_back(px);
            y.push_back(py);
            const double u = pick(rng), f = u < 0.01 ? 100 : u < 0.1 ? 10 : 1;
            px += f * step(rng);
            py += f * step(rng);
        }
        all = {*std::ranges::min_element(x), *std::ranges::min_element(y), *std::ranges::max_element(x),
               *std::ranges::max_element(y)};
    }
    // A tenth of the range on each axis, around a point the walk passes.
    TPlotWindow Zoomed() const
    {
        const double wx = (all.XMax - all.XMin) / 20, wy = (all.YMax - all.YMin) / 20;
        const double cx = x[WalkSegments / 3], cy = y[WalkSegments / 3];
        return {cx - wx, cy - wy, cx + wx, cy + wy};
    }
};

const Walk& TheWalk()
{
    static const Walk w;
    return w;
}

// Triangles of sizes from one to a hundred pixels, every shape and
// direction, a fifth of them reaching beyond the window.
struct TriangleSet {
    std::vector<double> x, y;  // three corners each
    TriangleSet()
    {
        const TPlotWindow w = TheWalk().all;
        const double ex = (w.XMax - w.XMin) * 0.1, ey = (w.YMax - w.YMin) * 0.1;
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> cx(w.XMin - ex, w.XMax + ex), cy(w.YMin - ey, w.YMax + ey);
        std::uniform_real_distribution<double> logSize(0, std::log(100.0)), angle(0, 6.2832);
        const double px = (w.XMax - w.XMin) / PlotWidth, py = (w.YMax - w.YMin) / PlotHeight;
        for (int i = 0; i < Triangles; ++i) {
            const double mx = cx(rng), my = cy(rng), r = std::exp(logSize(rng)) / 2;
            for (int k = 0; k < 3; ++k) {
                const double a = angle(rng);
                x.push_back(mx + r * px * std::cos(a));
                y.push_back(my + r * py * std::sin(a));
            }
        }
    }
};

const TriangleSet& TheTriangles()
{
    static const TriangleSet t;
    return t;
}

// Discs over the walk's window.
struct DiscSet {
    std::vector<double> x, y;
    DiscSet()
    {
        const TPlotWindow w = TheWalk().all;
        std::mt19937 rng(16);
        std::uniform_real_distribution<double> ux(w.XMin, w.XMax), uy(w.YMin, w.YMax);
        for (int i = 0; i < Discs; ++i) {
            x.push_back(ux(rng));
            y.push_back(uy(rng));
        }
    }
};

const DiscSet& TheDiscs()
{
    static const DiscSet d;
    return d;
}

// A million samples at uneven, increasing x, a slow wave with noise.
struct Series {
    std::vector<double> x, y;
    TPlotWindow all;
    Series()
    {
        std::mt19937 rng(3);
        std::exponential_distribution<double> gap(1.0);
        std::normal_distribution<double> noise(0.0, 0.3);
        double t = 0, drift = 0;
        for (int i = 0; i < LargePoints; ++i) {
            x.push_back(t);
            drift += noise(rng) * 0.05;
            y.push_back(std::sin(t / 20000) + drift + noise(rng));
            t += gap(rng);
        }
        all = {x.front(), *std::ranges::min_element(y), x.back(), *std::ranges::max_element(y)};
    }
};

const Series& TheSeries()
{
    static const Series s;
    return s;
}

// Our side: a canvas with an 800 x 600 (or larger) surface whose OnDraw
// draws the scene.
struct Ours {
    TCanvas2D c;
    std::function<void(TCanvas2D&)> scene;
    Ours(int Width, int Height, const TPlotWindow& w, std::function<void(TCanvas2D&)> Scene) : scene(std::move(Scene))
    {
        c.resize(Width + 4 * c.BevelWidth(), Height + 4 * c.BevelWidth());
        c.SetAxisXMin(w.XMin);
        c.SetAxisXMax(w.XMax);
        c.SetAxisYMin(w.YMin);
        c.SetAxisYMax(w.YMax);
        c.SetFormat("0.0");
        c.OnDraw = [this](TObject*) { scene(c); };
        c.SetVisible(true);
    }
    void Render()
    {
        c.Draw();
        c.Image().Picture().Bitmap().TakeDirty();
    }
};

// Triangles for QCustomPlot: a plottable filling each with drawPolygon.
class PeerTriangles : public QCPAbstractPlottable {
public:
    PeerTriangles(QCPAxis* key, QCPAxis* value) : QCPAbstractPlottable(key, value) {}
    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& found, QCP::SignDomain) const override { return found = false, QCPRange(); }
    QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override
    {
        return found = false, QCPRange();
    }

protected:
    void draw(QCPPainter* painter) override
    {
        const TriangleSet& t = TheTriangles();
        painter->setPen(mPen);
        painter->setBrush(mBrush);
        QPointF corners[3];
        for (std::size_t i = 0; i < t.x.size(); i += 3) {
            for (std::size_t k = 0; k < 3; ++k)
                corners[k] = coordsToPixels(t.x[i + k], t.y[i + k]);
            painter->drawPolygon(corners, 3);
        }
    }
    void drawLegendIcon(QCPPainter*, const QRectF&) const override {}
};

QVector<double> Vec(const std::vector<double>& v) { return QVector<double>(v.begin(), v.end()); }

// The walk as a QCustomPlot curve (it keeps the order of the points).
void PeerWalk(PeerPlot& p, int PenWidth)
{
    const Walk& w = TheWalk();
    auto* curve = new QCPCurve(p.plot.xAxis, p.plot.yAxis);
    curve->setData(Vec(w.x), Vec(w.y));
    curve->setPen(QPen(Qt::yellow, PenWidth));
}

double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::ranges::sort(v);
    return v[v.size() / 2];
}

// The least any renderer of a scene must do: read every value of its data
// once and write every pixel of its picture once, each the fastest way we
// know (reads asked for ahead, stores that go past the caches). Timed in
// turn with the contenders, it is the floor their times are measured
// against.
struct Floor {
    std::vector<const std::vector<double>*> data{};
    int width = PlotWidth, height = PlotHeight;
    std::vector<std::uint32_t> picture{};
    void Render()
    {
        // The values' bits summed as integers, so that reading, not
        // adding, is timed.
        std::uint64_t sum = 0;
        for (const std::vector<double>* d : data) {
            const auto* bits = reinterpret_cast<const std::uint64_t*>(d->data());
            const std::size_t n = d->size();
            for (std::size_t i = 0; i < n; i += 8) {
#if defined(__SSE2__)
                _mm_prefetch(reinterpret_cast<const char*>(bits + std::min(i + 1024, n - 1)), _MM_HINT_T0);
#endif
                for (std::size_t k = i; k < std::min(i + 8, n); ++k)
                    sum += bits[k];
            }
        }
        benchmark::DoNotOptimize(sum);
        constexpr std::uint32_t Navy = 0xff000080u;
        picture.resize(std::size_t(width) * std::size_t(height));
#if defined(__SSE2__)
        const __m128i navy = _mm_set1_epi32(int(Navy));
        for (std::size_t i = 0; i + 4 <= picture.size(); i += 4)
            _mm_stream_si128(reinterpret_cast<__m128i*>(picture.data() + i), navy);
        _mm_sfence();
#else
        std::fill(picture.begin(), picture.end(), Navy);
#endif
        benchmark::DoNotOptimize(picture.data());
    }
};

// Times the two sides in turns and reports their medians; then the floor,
// in turns with the peer so that it too starts where another's drawing left
// the caches, without taking the peer's place after ours.
void Contest(benchmark::State& state, Ours& ours, PeerPlot& peer, Floor floor)
{
    const char* side = std::getenv("PLOT_BENCH_SIDE");
    const bool runOurs = !side || std::string(side) == "ours", runPeer = !side || std::string(side) == "peer";
    std::vector<double> a, b, f;
    for (auto _ : state) {
        if (runOurs) {
            const double t0 = ThreadCpuMs();
            ours.Render();
            a.push_back(ThreadCpuMs() - t0);
        }
        if (runPeer) {
            const double t0 = ThreadCpuMs();
            peer.Render();
            b.push_back(ThreadCpuMs() - t0);
        }
        benchmark::ClobberMemory();
    }
    const double ma = Median(a), mb = Median(b);
    state.counters["ours_ms"] = ma;
    state.counters["peer_ms"] = mb;
    if (ma > 0 && mb > 0)
        state.counters["ratio"] = mb / ma;
    if (!side) {
        for (int i = 0; i < 25; ++i) {
            peer.Render();
            const double t0 = ThreadCpuMs();
            floor.Render();
            f.push_back(ThreadCpuMs() - t0);
        }
        state.counters["floor_ms"] = Median(f);
    }
}

void WalkScene(TCanvas2D& c, int PenWidth, bool LineByLine)
{
    const Walk& w = TheWalk();
    c.DrawCanvas().Pen.Color = clYellow;
    c.DrawCanvas().Pen.Width = PenWidth;
    if (LineByLine)
        for (int i = 0; i < WalkSegments; ++i)
            c.Line(w.x[i], w.y[i], w.x[i + 1], w.y[i + 1]);
    else
        c.Polyline(w.x, w.y);
    c.DrawCanvas().Pen.Width = 1;
}

void BM_Walk(benchmark::State& state)
{
    Ours ours(PlotWidth, PlotHeight, TheWalk().all, [](TCanvas2D& c) { WalkScene(c, 1, false); });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(TheWalk().all);
    PeerWalk(peer, 1);
    Contest(state, ours, peer, Floor{{&TheWalk().x, &TheWalk().y}});
}
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond);

void BM_WalkLineByLine(benchmark::State& state)
{
    Ours ours(PlotWidth, PlotHeight, TheWalk().all, [](TCanvas2D& c) { WalkScene(c, 1, true); });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(TheWalk().all);
    PeerWalk(peer, 1);
    Contest(state, ours, peer, Floor{{&TheWalk().x, &TheWalk().y}});
}
BENCHMARK(BM_WalkLineByLine)->Unit(benchmark::kMillisecond);

void BM_WalkZoomed(benchmark::State& state)
{
    const TPlotWindow z = TheWalk().Zoomed();
    Ours ours(PlotWidth, PlotHeight, z, [](TCanvas2D& c) { WalkScene(c, 1, false); });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(z);
    PeerWalk(peer, 1);
    Contest(state, ours, peer, Floor{{&TheWalk().x, &TheWalk().y}});
}
BENCHMARK(BM_WalkZoomed)->Unit(benchmark::kMillisecond);

void BM_WalkWidePen(benchmark::State& state)
{
    Ours ours(PlotWidth, PlotHeight, TheWalk().all, [](TCanvas2D& c) { WalkScene(c, 3, false); });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(TheWalk().all);
    // As its documentation advises for pens wider than one pixel.
    peer.plot.setPlottingHint(QCP::phFastPolylines, true);
    PeerWalk(peer, 3);
    Contest(state, ours, peer, Floor{{&TheWalk().x, &TheWalk().y}});
}
BENCHMARK(BM_WalkWidePen)->Unit(benchmark::kMillisecond);

void BM_Triangles(benchmark::State& state)
{
    Ours ours(PlotWidth, PlotHeight, TheWalk().all, [](TCanvas2D& c) {
        const TriangleSet& t = TheTriangles();
        c.DrawCanvas().Pen.Color = clLime;
        c.DrawCanvas().Brush.Color = clLime;
        for (std::size_t i = 0; i < t.x.size(); i += 3)
            c.Triangle(t.x[i], t.y[i], t.x[i + 1], t.y[i + 1], t.x[i + 2], t.y[i + 2]);
    });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(TheWalk().all);
    auto* tri = new PeerTriangles(peer.plot.xAxis, peer.plot.yAxis);
    tri->setPen(QPen(Qt::green));
    tri->setBrush(QBrush(Qt::green));
    Contest(state, ours, peer, Floor{{&TheTriangles().x, &TheTriangles().y}});
}
BENCHMARK(BM_Triangles)->Unit(benchmark::kMillisecond);

// The project's scene: the walk and 10,000 discs of radius 2.
void BM_WalkAndDiscs(benchmark::State& state)
{
    Ours ours(PlotWidth, PlotHeight, TheWalk().all, [](TCanvas2D& c) {
        WalkScene(c, 1, false);
        const DiscSet& d = TheDiscs();
        c.DrawCanvas().Pen.Color = clLime;
        c.DrawCanvas().Brush.Color = clLime;
        for (int i = 0; i < Discs; ++i)
            c.Point(d.x[std::size_t(i)], d.y[std::size_t(i)], 2);
    });
    PeerPlot peer(PlotWidth, PlotHeight);
    peer.SetWindow(TheWalk().all);
    PeerWalk(peer, 1);
    QCPGraph* dots = peer.plot.addGraph();
    dots->setData(Vec(TheDiscs().x), Vec(TheDiscs().y));
    dots->setLineStyle(QCPGraph::lsNone);
    dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Qt::green, Qt::green, 5));
    Contest(state, ours, peer, Floor{{&TheWalk().x, &TheWalk().y, &TheDiscs().x, &TheDiscs().y}});
}
BENCHMARK(BM_WalkAndDiscs)->Unit(benchmark::kMillisecond);

// A million points of sorted x on 1920 x 1080; QCustomPlot's graph with its
// adaptive sampling (on by default), told that the keys are sorted.
void BM_LargeSortedSeries(benchmark::State& state)
{
    const Series& s = TheSeries();
    Ours ours(LargeWidth, LargeHeight, s.all, [](TCanvas2D& c) {
        c.DrawCanvas().Pen.Color = clYellow;
        c.Polyline(TheSeries().x, TheSeries().y);
    });
    PeerPlot peer(LargeWidth, LargeHeight);
    peer.SetWindow(s.all);
    QCPGraph* g = peer.plot.addGraph();
    g->setAdaptiveSampling(true);
    g->setData(Vec(s.x), Vec(s.y), true);
    g->setPen(QPen(Qt::yellow));
    Contest(state, ours, peer, Floor{{&s.x, &s.y}, LargeWidth, LargeHeight});
}
BENCHMARK(BM_LargeSortedSeries)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return QtBenchmarkMain(argc, argv); }

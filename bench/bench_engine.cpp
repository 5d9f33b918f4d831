// The stopwatch engine's painting: one tick (Actualizar + Pintar) on a
// full-HD display with the dials and a growing trail, and the full re-layout.
// Baseline: copying a whole full-HD frame once.
#include "QtBenchMain.h"
#include "stopwatch/Ttilvo.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/graphics/FontEngine.h"
#include "toolkit/system/Clock.h"
#include "toolkit/system/Sound.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Display {
    Display(int modo)
    {
        image.SetWidth(1920);
        image.SetHeight(1080);
        TBitmap& race = circuit.Picture().Bitmap();
        race.SetSize(489, 182);
        race.Canvas().Brush.Color = RGB(20, 50, 45);
        race.Canvas().FillRect({0, 0, 489, 182});
        engine = std::make_unique<TTilvo>(&image, &timer, &circuit);
        engine->Modo = modo;
        engine->Redibujar();
    }
    FakeTickClock clock{1000};
    BeepRecorder beeps;
    TImage image;
    TImage circuit;
    TTimer timer;
    std::unique_ptr<TTilvo> engine;
};

// Runs the stopwatch, one tick an iteration.
void Ticks(Display& d, benchmark::State& state)
{
    d.engine->Empezar();
    for (auto _ : state) {
        // A few milliseconds a tick: the trail grows by a step or two and is
        // wiped every ten seconds, as on the screen.
        d.clock.Advance(3);
        d.engine->Actualizar();
        d.engine->Pintar();
        d.image.Picture().Bitmap().TakeDirty();
    }
}

void BM_Pintar(benchmark::State& state)
{
    Display d(int(state.range(0)));
    Ticks(d, state);
}
BENCHMARK(BM_Pintar)->Arg(1)->Arg(0)->ArgName("Modo")->Unit(benchmark::kMicrosecond);

void BM_Redibujar(benchmark::State& state)
{
    Display d(1);
    d.engine->Empezar();
    d.clock.Advance(65432);
    d.engine->Actualizar();
    for (auto _ : state) {
        d.engine->Redibujar();
        d.image.Picture().Bitmap().TakeDirty();
    }
}
BENCHMARK(BM_Redibujar)->Unit(benchmark::kMicrosecond);

// The costliest settings the file or the dialog can hold: every dial with
// 2^31 - 1 divisions and their numbers, the largest read-out font and marker.
void Peores(TTilvo& e, bool negativos)
{
    const int extremo = negativos ? INT_MIN : INT_MAX;
    e.Fuente.SetSize(extremo);
    e.RadioMovil = extremo;
    for (TAguja* a : {e.AgujaMinutos.get(), e.AgujaSegundos.get(), e.AgujaCentesimas.get()}) {
        a->Divisiones = INT_MAX;
        a->MostrarNumeros = true;
    }
}

void BM_PintarPeoresValores(benchmark::State& state)
{
    Display d(1);
    Peores(*d.engine, state.range(0) != 0);
    d.engine->Redibujar();
    Ticks(d, state);
}
BENCHMARK(BM_PintarPeoresValores)->Arg(0)->Arg(1)->ArgName("negativos")->Unit(benchmark::kMicrosecond);

// A marker that covers the picture hides the read-out; with the usual one
// the largest read-out itself is drawn, cut at the picture's edges.
void BM_PintarFuenteMayor(benchmark::State& state)
{
    Display d(1);
    d.engine->Fuente.SetSize(state.range(0) != 0 ? INT_MIN : INT_MAX);
    d.engine->Redibujar();
    Ticks(d, state);
}
BENCHMARK(BM_PintarFuenteMayor)->Arg(0)->Arg(1)->ArgName("negativa")->Unit(benchmark::kMicrosecond);

// The first frame, one an iteration: layout and paint at 1:05.432, with a
// font the cache has not seen.
void PrimerosCuadros(Display& d, benchmark::State& state)
{
    d.engine->Empezar();
    d.clock.Advance(65432);
    d.engine->Actualizar();
    for (auto _ : state) {
        FontEngine::Instance().ClearCache();
        d.engine->Redibujar();
        d.image.Picture().Bitmap().TakeDirty();
    }
}

void BM_RedibujarFuenteMayor(benchmark::State& state)
{
    Display d(1);
    d.engine->Fuente.SetSize(INT_MAX);
    PrimerosCuadros(d, state);
}
BENCHMARK(BM_RedibujarFuenteMayor)->Unit(benchmark::kMillisecond);

void BM_RedibujarPeoresValores(benchmark::State& state)
{
    Display d(1);
    Peores(*d.engine, false);
    PrimerosCuadros(d, state);
}
BENCHMARK(BM_RedibujarPeoresValores)->Unit(benchmark::kMillisecond);

void BM_Baseline_CopyFrame(benchmark::State& state)
{
    std::vector<std::uint32_t> a(1920 * 1080, 0x123456), b(1920 * 1080);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * sizeof(a[0]));
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Baseline_CopyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return QtBenchmarkMain(argc, argv); }

// The canvas operations the stopwatch does at every tick, on a full-HD
// picture: the read-out band, the circuit picture, and short lines.
#include "toolkit/graphics/Graphics.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// Baseline: writing the same band with a plain memory fill.
void BM_BandMemset(benchmark::State& state)
{
    TBitmap b(1920, 1080);
    for (auto _ : state) {
        for (int y = 0; y < 140; ++y)
            std::memset(b.ScanLine(y), 0, 1920 * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BandMemset);

void BM_FillRectBand(benchmark::State& state)
{
    TBitmap b(1920, 1080);
    TCanvas& c = b.Canvas();
    c.Brush.Color = clBlack;
    for (auto _ : state) {
        c.FillRect(Rect(0, 0, 1920, 140));
        b.TakeDirty();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillRectBand);

void BM_DrawCircuitPicture(benchmark::State& state)
{
    TBitmap b(1920, 1080);
    TBitmap circuit(489, 182);
    for (auto _ : state) {
        b.Canvas().Draw(715, 377, circuit);
        b.TakeDirty();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawCircuitPicture);

void BM_TenThousandOnePixelLines(benchmark::State& state)
{
    TBitmap b(1920, 1080);
    TCanvas& c = b.Canvas();
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            // Short steps along a path, as a trail is drawn.
            const int x = (i * 3) % 1900, y = 100 + (i * 3) / 1900;
            c.MoveTo(x, y);
            c.LineTo(x + 1, y);
        }
        b.TakeDirty();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TenThousandOnePixelLines);

void BM_TextOutReadoutOpaque(benchmark::State& state)
{
    TBitmap b(1920, 1080);
    TCanvas& c = b.Canvas();
    c.Font.Name = "Times New Roman";
    c.Font.SetSize(102);
    c.Font.Color = 0xFF6496;
    c.Brush.Color = clBlack;
    c.SetTextAlign(TA_CENTER);
    c.TextOut(960, 0, "00:00:000");
    for (auto _ : state) {
        c.TextOut(960, 0, "00:00:000");
        b.TakeDirty();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOutReadoutOpaque);

}  // namespace

BENCHMARK_MAIN();

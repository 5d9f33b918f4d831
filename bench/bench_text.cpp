// Text at the read-out's size: laying out a time string from the glyph cache,
// measuring it, and drawing it on a canvas.
#include "toolkit/graphics/FontEngine.h"
#include "toolkit/graphics/Graphics.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TFont ReadOutFont()
{
    TFont f;
    f.Name = "Times New Roman";
    f.PixelsPerInch = 96;
    f.SetSize(102);
    f.Color = 0x00FF6496;
    return f;
}

// Ten different read-outs, so a layout cache of whole strings cannot help.
std::vector<std::string> Readouts()
{
    std::vector<std::string> v;
    for (int i = 0; i < 10; ++i) {
        char s[16];
        std::snprintf(s, sizeof s, "0%d:%d%d:%d%d%d", i, (i + 3) % 6, (i * 7) % 10, (i * 3) % 10, (i * 9) % 10,
                      (i + 5) % 10);
        v.push_back(s);
    }
    return v;
}

void BM_LayoutCached(benchmark::State& state)
{
    FontEngine& engine = FontEngine::Instance();
    const TFont font = ReadOutFont();
    std::vector<TPlacedGlyph> out;
    engine.Layout(font, "00:00:000", out);
    for (auto _ : state) {
        engine.Layout(font, "00:00:000", out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_LayoutCached);

void BM_LayoutChangingDigits(benchmark::State& state)
{
    FontEngine& engine = FontEngine::Instance();
    const TFont font = ReadOutFont();
    const auto texts = Readouts();
    std::vector<TPlacedGlyph> out;
    for (const auto& t : texts)
        engine.Layout(font, t, out);
    std::size_t i = 0;
    for (auto _ : state) {
        engine.Layout(font, texts[i++ % texts.size()], out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_LayoutChangingDigits);

void BM_TextWidth(benchmark::State& state)
{
    FontEngine& engine = FontEngine::Instance();
    const TFont font = ReadOutFont();
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.TextWidth(font, "00:00:000"));
}
BENCHMARK(BM_TextWidth);

// The whole read-out as the engine draws it: centred, transparent.
void BM_TextOutReadout(benchmark::State& state)
{
    TBitmap bitmap(1920, 1080);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font = ReadOutFont();
    canvas.SetBkMode(TRANSPARENT);
    canvas.SetTextAlign(TA_CENTER);
    canvas.TextOut(960, 0, "00:00:000");
    for (auto _ : state) {
        canvas.TextOut(960, 0, "00:00:000");
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextOutReadout);

// A glyph rendered afresh every time: the cost of a cache miss.
void BM_RenderUncached(benchmark::State& state)
{
    FontEngine& engine = FontEngine::Instance();
    const TFont font = ReadOutFont();
    std::vector<TPlacedGlyph> out;
    for (auto _ : state) {
        engine.ClearCache();
        engine.Layout(font, "0", out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_RenderUncached);

}  // namespace

BENCHMARK_MAIN();

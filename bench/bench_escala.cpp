// Colouring a full-screen field of values: the array operation against a
// loop of one-value calls, for both graduations, with and without an
// interval.
#include "components/scale/EscalaColors.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr int FieldWidth = 1920;
constexpr int FieldHeight = 1080;

// A smooth field over the range with some values beyond both ends.
const std::vector<double>& Field()
{
    static const std::vector<double> field = [] {
        std::vector<double> f(std::size_t(FieldWidth) * FieldHeight);
        for (int y = 0; y < FieldHeight; ++y)
            for (int x = 0; x < FieldWidth; ++x)
                f[std::size_t(y) * FieldWidth + std::size_t(x)] =
                    50 + 55 * std::sin(x * 0.01) * std::cos(y * 0.013) + 0.001 * x;
        return f;
    }();
    return field;
}

TEscalaColors Scale(benchmark::State& state)
{
    TEscalaColors scale;
    scale.Graduation = state.range(0) ? egThree : egTwo;
    scale.Interval = double(state.range(1));
    scale.GradColor1 = 0x0000C0FF;
    scale.GradColor2 = 0x00400000;
    return scale;
}

void Label(benchmark::State& state)
{
    state.SetLabel(std::string(state.range(0) ? "egThree" : "egTwo") +
                   (state.range(1) ? ", Interval " + std::to_string(state.range(1)) : ""));
    state.SetItemsProcessed(std::int64_t(state.iterations()) * FieldWidth * FieldHeight);
}

void BM_ValueToColorLoop(benchmark::State& state)
{
    const TEscalaColors scale = Scale(state);
    const std::vector<double>& field = Field();
    std::vector<TColor> colours(field.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < field.size(); ++i)
            colours[i] = scale.ValueToColor(field[i]);
        benchmark::DoNotOptimize(colours.data());
        benchmark::ClobberMemory();
    }
    Label(state);
}

void BM_ValuesToColors(benchmark::State& state)
{
    const TEscalaColors scale = Scale(state);
    const std::vector<double>& field = Field();
    std::vector<TColor> colours(field.size());
    for (auto _ : state) {
        scale.ValuesToColors(field.data(), colours.data(), field.size());
        benchmark::DoNotOptimize(colours.data());
        benchmark::ClobberMemory();
    }
    Label(state);
}

// {graduation (0 egTwo, 1 egThree), interval}
void Cases(benchmark::internal::Benchmark* b)
{
    for (int graduation : {0, 1})
        for (int interval : {0, 10})
            b->Args({graduation, interval});
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_ValueToColorLoop)->Apply(Cases);
BENCHMARK(BM_ValuesToColors)->Apply(Cases);

BENCHMARK_MAIN();

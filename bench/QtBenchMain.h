// The entry point of the benchmarks that need the application object. They
// run on Qt's offscreen platform unless the environment chose another.
#pragma once

#include "toolkit/controls/Controls.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>

// Other works a benchmark program offers, run instead of the benchmarks
// when they return true (they see the arguments before the library does).
inline int QtBenchmarkMain(int argc, char** argv, const std::function<bool(int, char**)>& Instead = {})
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication app(argc, argv);
    if (Instead && Instead(argc, argv))
        return 0;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

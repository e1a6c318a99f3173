#pragma once
// main() of a benchmark program that makes real widgets: Qt's offscreen
// platform unless the environment names another, and the forms and the
// toolkit freed before the program ends.

#include "platform/forms/application.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int RunOffscreenBenchmarks(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application.Finalize();
    return 0;
}

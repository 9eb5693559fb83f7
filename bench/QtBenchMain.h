#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

// The main() of a benchmark that needs widgets: an offscreen application,
// then the benchmarks.
#define TALVERO_QT_BENCHMARK_MAIN()                  \
  int main(int argc, char** argv) {                  \
    qputenv("QT_QPA_PLATFORM", "offscreen");         \
    QApplication app(argc, argv);                    \
    benchmark::Initialize(&argc, argv);              \
    benchmark::RunSpecifiedBenchmarks();             \
    benchmark::Shutdown();                           \
    return 0;                                        \
  }

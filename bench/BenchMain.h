#pragma once

#include <QCoreApplication>
#include <benchmark/benchmark.h>

/// The main of a bench program: runs the benchmarks it registered (taking
/// the usual --benchmark_* options) with a QCoreApplication alive around them.
inline int runBenchmarks(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

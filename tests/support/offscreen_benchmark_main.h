#pragma once
// The main of a benchmark over real widgets: an offscreen application
// (unless a platform was asked for), then every benchmark.

#include <benchmark/benchmark.h>

#include <QApplication>

inline int RunOffscreenBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

#pragma once
// The main of a benchmark over one page: an offscreen application, one page
// object built once and shared by every benchmark through `current`.

#include <benchmark/benchmark.h>

#include <QApplication>

template <typename Page>
int RunPageBenchmarks(int argc, char** argv, Page*& current) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  {
    Page page;
    current = &page;
    benchmark::RunSpecifiedBenchmarks();
    current = nullptr;
  }
  benchmark::Shutdown();
  return 0;
}

#pragma once
// The main of a benchmark that also checks what it measured: every benchmark
// runs, then `failure` says what went wrong (empty when nothing did). Exit
// status 0, 1 after a failure (printed with the program's name), 2 for an
// argument Google Benchmark does not know.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>

inline int RunCheckedBenchmarks(int argc, char** argv, const std::function<std::string()>& failure) {
  const char* name = argc > 0 ? argv[0] : "benchmark";
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const std::string what = failure();
  if (what.empty()) return 0;
  std::fprintf(stderr, "%s: %s\n", name, what.c_str());
  return 1;
}

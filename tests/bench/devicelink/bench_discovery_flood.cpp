// One search of the program's length (3000 ms) with a flood at its reply
// port, all on loopback: nobody answering, six senders of 8-byte junk, and
// six senders of answers from thousands of devices (reply_port_flood.h).
// Reports how long the call took and how far past its bound it returned,
// how far past the bound its reading stopped, how many datagrams it read and
// how long one read took on average, and how often the system took the
// processor from the searching thread meanwhile; the goal is reading that
// stops within one read of the bound (the call's own return adds the
// socket's closing and, with thousands of devices heard, freeing their MACs;
// on a busy machine a thread that is waiting for its turn at the bound ends
// a time slice later). Exits non-zero when a search could
// not run.
//   build/release/bin/bench_devicelink_discovery_flood [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"
#include "tests/support/checked_benchmark_main.h"
#include "tests/unit/devicelink/reply_port_flood.h"

namespace {

constexpr int kBoundMs = 3000;
constexpr int kSenders = 6;
int failedRuns = 0;

// How often the system took the processor from this thread so far: a thread
// that is waiting for its turn when the bound passes ends that much later.
long Preemptions() {
  rusage usage{};
  ::getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_nivcsw;
}

// Arg 0: no flood; 1: junk; 2: answers.
void BM_SearchUnderAFlood(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  double searchMs = 0, overrunMs = 0, worstOverrunMs = 0, collectionOverrunMs = 0, worstCollectionOverrunMs = 0;
  double read = 0, usPerRead = 0, preempted = 0;
  int runs = 0;
  for (auto _ : state) {
    floodtest::ReplyPortFlood flood(kind == 0 ? 0 : kSenders,
                                    kind == 2 ? floodtest::Flood::kAnswers : floodtest::Flood::kJunk,
                                    std::chrono::milliseconds(kBoundMs + 5000));
    devicelink::DeviceLinkLibrary lib;
    lib.SetDiscoveryTargets({flood.target()});
    int count = 0;
    const long preemptedBefore = Preemptions();
    const auto start = std::chrono::steady_clock::now();
    const int r = lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2,
                                                       kBoundMs);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    preempted += static_cast<double>(Preemptions() - preemptedBefore);
    flood.Stop();
    if (r != 1) {
      state.SkipWithError("the search did not run");
      ++failedRuns;
      return;
    }
    const auto outcome = lib.LastDiscovery();
    const double datagrams = outcome.records + outcome.duplicates + outcome.malformed + outcome.overflow;
    searchMs += ms;
    overrunMs += ms - kBoundMs;
    worstOverrunMs = std::max(worstOverrunMs, ms - kBoundMs);
    collectionOverrunMs += outcome.endedMs - kBoundMs;
    worstCollectionOverrunMs = std::max(worstCollectionOverrunMs, outcome.endedMs - kBoundMs);
    read += datagrams;
    if (datagrams > 0) usPerRead += 1000.0 * outcome.endedMs / datagrams;
    ++runs;
  }
  if (runs == 0) return;
  state.counters["search_ms"] = searchMs / runs;
  state.counters["bound_ms"] = kBoundMs;
  state.counters["overrun_ms"] = overrunMs / runs;
  state.counters["worst_overrun_ms"] = worstOverrunMs;
  state.counters["reading_overrun_ms"] = collectionOverrunMs / runs;
  state.counters["worst_reading_overrun_ms"] = worstCollectionOverrunMs;
  state.counters["datagrams_read"] = read / runs;
  state.counters["us_per_read"] = usPerRead / runs;
  state.counters["preempted"] = preempted / runs;  // the searching thread, per search
}

BENCHMARK(BM_SearchUnderAFlood)
    ->ArgName("flood")  // 0 none, 1 junk, 2 answers
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return RunCheckedBenchmarks(argc, argv, [] {
    return failedRuns > 0 ? std::to_string(failedRuns) + " searches did not run" : std::string();
  });
}

// One discovery over a fleet of 1024 simulated devices (the program's whole
// buffer), the simulator running as its own process on loopback addresses.
// Reports how many records came back and when the answers arrived, in
// milliseconds after the query left. Exits non-zero when any search lost a
// device or could not run: a lost answer is a fault, not a figure.
//   build/release/bin/bench_devicelink_discovery [--benchmark_repetitions=N]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/device/sdk_device_info.h"
#include "libs/devicelink/devicelink.h"
#include "tests/e2e/devsim/devsim_process.h"
#include "tests/support/checked_benchmark_main.h"

namespace {

constexpr int kDevices = 1024;

// Across every run: devices missing from a search, and runs that failed.
int totalLost = 0;
int failedRuns = 0;

// The fleet on the loopback range 127.second.
std::string WriteFleet(int spreadMs, int second) {
  const std::string path = "/tmp/divarod-bench-fleet-" + std::to_string(::getpid()) + ".ini";
  std::ofstream out(path);
  out << "[fleet]\nanswer_spread_ms=" << spreadMs << "\n[defaults]\nversion=V5.2.4.ad17 Build:2026-09-14\n";
  for (int i = 0; i < kDevices; ++i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:be:00:00:%02x:%02x", i >> 8, i & 0xff);
    out << "[d" << i << "]\nmac=" << mac << "\nip=127." << second << "." << (i / 200 + 1) << "." << (i % 200 + 1)
        << "\nmodel=DV-B" << i << "\n";
  }
  return path;
}

void BM_DiscoveryOf1024Devices(benchmark::State& state) {
  const int spread = static_cast<int>(state.range(0));
  std::string fleet;
  simtest::DevsimProcess sim;
  const bool started = sim.StartOnLoopbackRange(
      DEVSIM_BIN,
      [&](const testsupport::LoopbackRange& r) {
        fleet = WriteFleet(spread, r.second());
        return std::vector<std::string>{"--fleet", fleet, "--discovery", "127.0.0.1:0"};
      },
      30000);
  if (!started) {
    state.SkipWithError(("simulator did not start: " + sim.output).c_str());
    ++failedRuns;
    return;
  }
  devicelink::DeviceLinkLibrary lib;
  lib.SetDiscoveryTargets(sim.discovery);
  std::vector<uint8_t> buffer(sdkinfo::kSearchBufferSize);
  std::vector<double> first, median, p99, last;
  int fewest = kDevices;
  for (auto _ : state) {
    int count = 0;
    const int r = lib.SDK_SearchDevices_v1_v3_MultiEth(buffer.data(), static_cast<int>(buffer.size()), &count, 2, 3000);
    const auto outcome = lib.LastDiscovery();
    if (r != 1) {
      state.SkipWithError("discovery failed");
      ++failedRuns;
    }
    fewest = std::min(fewest, count);
    totalLost += kDevices - count;
    auto times = outcome.arrivalMs;
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
      first.push_back(times.front());
      median.push_back(times[times.size() / 2]);
      p99.push_back(times[times.size() * 99 / 100]);
      last.push_back(times.back());
    }
  }
  auto mean = [](const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return v.empty() ? 0.0 : s / static_cast<double>(v.size());
  };
  state.counters["records_min"] = fewest;
  state.counters["lost"] = kDevices - fewest;
  state.counters["first_ms"] = mean(first);
  state.counters["median_ms"] = mean(median);
  state.counters["p99_ms"] = mean(p99);
  state.counters["last_ms"] = mean(last);
  sim.Stop();
  std::remove(fleet.c_str());
}

// The demo's spread, a tight one and none at all (every device at once).
BENCHMARK(BM_DiscoveryOf1024Devices)->Arg(400)->Arg(100)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return RunCheckedBenchmarks(argc, argv, [] {
    if (failedRuns == 0 && totalLost == 0) return std::string();
    return std::to_string(totalLost) + " device answers lost, " + std::to_string(failedRuns) + " runs failed";
  });
}

// The authenticated network change (V3) while other datagrams arrive at the
// reply port, all on loopback: a device that answers after a delay, and a
// sender of 8-byte junk at a steady rate. Reports the exchange's result (the
// goal is 1, the device's confirmation, in every run), how many runs were
// confirmed and how long the exchange took. Exits non-zero when a run could
// not be set up.
//   build/release/bin/bench_lan_config_junk [--benchmark_repetitions=N]
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "core/lanconfig/lan_config_channel.h"
#include "tests/support/checked_benchmark_main.h"
#include "tests/unit/lanconfig/lan_test_parts.h"
#include "tools/lanresponder/lan_responder.h"

namespace {

using Clock = std::chrono::steady_clock;
using lanconfig::testing::ChangeRequest;
using lanconfig::testing::FreeLoopbackUdpPort;
int failedRuns = 0;

// 8-byte junk to 127.0.0.1:port, `perSecond` evenly spaced, until destroyed.
class JunkSender {
 public:
  JunkSender(uint16_t port, int perSecond) {
    if (perSecond <= 0) return;
    thread_ = std::thread([this, port, perSecond] {
      const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(port);
      to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      const uint8_t junk[8] = {'j', 'u', 'n', 'k', 0, 1, 2, 3};
      const auto start = Clock::now();
      const auto spacing = std::chrono::nanoseconds(1'000'000'000 / perSecond);
      for (long i = 0; !stop_; ++i) {
        std::this_thread::sleep_until(start + i * spacing);
        ::sendto(fd, junk, sizeof junk, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
      }
      ::close(fd);
    });
  }
  ~JunkSender() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Args: junk datagrams per second, the device's answer delay in ms.
void BM_AuthenticatedChangeUnderJunk(benchmark::State& state) {
  const int junkPerSecond = static_cast<int>(state.range(0));
  const auto delayMs = static_cast<uint32_t>(state.range(1));
  const uint16_t receivePort = FreeLoopbackUdpPort();
  lanresponder::ResponderEndpoints device;
  device.bindIp = "127.0.0.1";
  device.listenPort = 0;
  device.replyPort = receivePort;
  device.broadcastIp = "127.0.0.1";  // loopback senders are answered by unicast
  lanresponder::LanResponder responder(device);
  lanresponder::SimulatedDevice camera = lanconfig::testing::Device();
  camera.misbehaviour.replyDelayMs = delayMs;
  std::string error;
  if (!responder.AddDevice(camera) || !responder.Start(&error)) {
    state.SkipWithError(("the responder did not start: " + error).c_str());
    ++failedRuns;
    return;
  }
  lanconfig::LanEndpoints program;
  program.sendBindIp = "127.0.0.1";
  program.sendBindPort = 0;
  program.targetIp = "127.0.0.1";
  program.targetPort = responder.ListenPort();
  program.receiveBindIp = "127.0.0.1";
  program.receivePort = receivePort;

  const JunkSender junk(receivePort, junkPerSecond);
  int runs = 0, confirmed = 0, worst = 1;
  double totalMs = 0;
  for (auto _ : state) {
    lanconfig::LanConfigChannel channel(program);
    const auto start = Clock::now();
    const int result = channel.ModifyNetworkByBroadcastV3(ChangeRequest());
    totalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ++runs;
    if (result == lanconfig::kSuccess) ++confirmed;
    if (result != lanconfig::kSuccess) worst = result;
  }
  state.counters["junk_per_s"] = junkPerSecond;
  state.counters["answer_delay_ms"] = delayMs;
  state.counters["result"] = worst;  // 1 when every run was confirmed, else the last other result
  state.counters["confirmed"] = confirmed;
  state.counters["runs"] = runs;
  state.counters["exchange_ms"] = runs > 0 ? totalMs / runs : 0;
}

BENCHMARK(BM_AuthenticatedChangeUnderJunk)
    ->ArgNames({"junk_per_s", "delay_ms"})
    ->Args({0, 200})
    ->Args({300, 200})
    ->Args({60, 1000})
    ->Args({3000, 200})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return RunCheckedBenchmarks(argc, argv, [] {
    return failedRuns > 0 ? std::to_string(failedRuns) + " runs could not be set up" : std::string();
  });
}

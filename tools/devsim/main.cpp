// divarod-devsim: plays a fleet of devices for the program and its tests.
//   divarod-devsim --fleet FILE [--loopback[=127.N]] [--discovery ADDR:PORT]...
// Prints one line "devsim ready discovery=ADDR:PORT[,...] devices=N" once
// every socket is open, then serves until SIGINT or SIGTERM.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/devsim/simulator.h"

namespace {

devsim::Simulator* running = nullptr;

void OnSignal(int) {
  if (running) running->Quit();
}

int Usage() {
  std::fprintf(stderr,
               "usage: divarod-devsim --fleet FILE [--loopback[=127.N]] [--discovery ADDR:PORT]...\n"
               "  --fleet FILE           the devices to play (see docs/device-link.md)\n"
               "  --loopback             serve every device a.b.c.d on 127.b.c.d instead\n"
               "  --loopback=127.N       ... or on 127.N.c.d\n"
               "  --discovery ADDR:PORT  where discovery queries are heard; port 0 picks a free one\n"
               "                         (default 0.0.0.0:%u, or 127.0.0.1:%u with --loopback)\n",
               devicelink::wire::kDiscoveryPort, devicelink::wire::kDiscoveryPort);
  return 2;
}

// A large fleet holds a listening socket per device.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string fleetPath;
  devsim::SimulatorOptions options;
  options.discovery.clear();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--fleet" && i + 1 < argc) {
      fleetPath = argv[++i];
    } else if (arg == "--loopback") {
      options.loopback = true;
    } else if (arg.rfind("--loopback=127.", 0) == 0) {
      options.loopback = true;
      const std::string octet = arg.substr(15);
      char* end = nullptr;
      const long v = std::strtol(octet.c_str(), &end, 10);
      if (octet.empty() || *end || v < 0 || v > 255) return Usage();
      options.loopbackSecondOctet = static_cast<int>(v);
    } else if (arg == "--discovery" && i + 1 < argc) {
      const std::string text = argv[++i];
      std::optional<devicelink::Endpoint> endpoint = devicelink::ParseEndpoint(text);
      if (!endpoint && text.size() > 2 && text.substr(text.size() - 2) == ":0") {
        if (const auto ip = devicelink::ParseIpv4(text.substr(0, text.size() - 2))) endpoint = devicelink::Endpoint{*ip, 0};
      }
      if (!endpoint) {
        std::fprintf(stderr, "divarod-devsim: bad --discovery %s\n", text.c_str());
        return 2;
      }
      options.discovery.push_back(*endpoint);
    } else {
      return Usage();
    }
  }
  if (fleetPath.empty()) return Usage();
  if (options.discovery.empty())
    options.discovery.push_back({options.loopback ? 0x7F000001u : 0u, devicelink::wire::kDiscoveryPort});

  devsim::Fleet fleet;
  std::string error;
  if (!devsim::LoadFleet(fleetPath, fleet, error)) {
    std::fprintf(stderr, "divarod-devsim: %s\n", error.c_str());
    return 1;
  }
  RaiseDescriptorLimit();
  devsim::Simulator simulator(std::move(fleet), options);
  if (!simulator.Open(error)) {
    std::fprintf(stderr, "divarod-devsim: %s\n", error.c_str());
    return 1;
  }
  // Before the ready line: a caller may stop the simulator as soon as it reads it.
  running = &simulator;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  std::string endpoints;
  for (const auto& e : simulator.discoveryEndpoints())
    endpoints += (endpoints.empty() ? "" : ",") + devicelink::FormatEndpoint(e);
  std::printf("devsim ready discovery=%s devices=%zu\n", endpoints.c_str(), simulator.deviceCount());
  std::fflush(stdout);

  simulator.Run();
  running = nullptr;
  return 0;
}

// divarod-devsim: plays a fleet of devices for the program and its tests.
//   divarod-devsim --fleet FILE [--loopback[=127.N] | --assign-addresses IF]
//                  [--discovery ADDR:PORT]... [--lan ADDR:PORT | --no-lan]
// (docs/device-link.md describes the options and the fleet file.)
// Prints one line "devsim ready discovery=ADDR:PORT[,...] devices=N [lan=ADDR:PORT]" once
// every socket is open, then serves until SIGINT or SIGTERM.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "tools/devsim/lan_link.h"
#include "tools/devsim/simulator.h"

namespace {

devsim::Simulator* running = nullptr;

void OnSignal(int) {
  if (running) running->Quit();
}

// a.b.c.d:port, port 0 allowed (a free one).
std::optional<devicelink::Endpoint> ParseListen(const std::string& text) {
  if (auto e = devicelink::ParseEndpoint(text)) return e;
  if (text.size() > 2 && text.substr(text.size() - 2) == ":0")
    if (const auto ip = devicelink::ParseIpv4(text.substr(0, text.size() - 2))) return devicelink::Endpoint{*ip, 0};
  return std::nullopt;
}

int Usage() {
  std::fprintf(stderr,
               "usage: divarod-devsim --fleet FILE [--loopback[=127.N] | --assign-addresses IF]\n"
               "                      [--discovery ADDR:PORT]... [--lan ADDR:PORT | --no-lan]\n"
               "  --fleet FILE           the devices to play (see docs/device-link.md)\n"
               "  --loopback             serve every device a.b.c.d on 127.b.c.d instead\n"
               "  --loopback=127.N       ... or on 127.N.c.d\n"
               "  --assign-addresses IF  inside scripts/netns-run: give every device's address to\n"
               "                         interface IF, so that each serves on its own address\n"
               "  --discovery ADDR:PORT  where discovery queries are heard; port 0 picks a free one\n"
               "                         (default 0.0.0.0:%u, or 127.0.0.1:%u with --loopback)\n"
               "  --lan ADDR:PORT        where the LAN configuration datagrams are heard (default\n"
               "                         0.0.0.0:5000; none with --loopback unless given)\n"
               "  --no-lan               do not answer the LAN configuration datagrams\n",
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
  std::optional<devicelink::Endpoint> lan;
  bool noLan = false;
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
    } else if (arg == "--assign-addresses" && i + 1 < argc) {
      options.assignInterface = argv[++i];
    } else if (arg == "--discovery" && i + 1 < argc) {
      const std::string text = argv[++i];
      const auto endpoint = ParseListen(text);
      if (!endpoint) {
        std::fprintf(stderr, "divarod-devsim: bad --discovery %s\n", text.c_str());
        return 2;
      }
      options.discovery.push_back(*endpoint);
    } else if (arg == "--lan" && i + 1 < argc) {
      const std::string text = argv[++i];
      lan = ParseListen(text);
      if (!lan) {
        std::fprintf(stderr, "divarod-devsim: bad --lan %s\n", text.c_str());
        return 2;
      }
    } else if (arg == "--no-lan") {
      noLan = true;
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
  std::unique_ptr<devsim::LanLink> lanLink;
  if (!lan && !noLan && !options.loopback) lan = devicelink::Endpoint{0, 5000};
  if (lan && !noLan) {
    lanresponder::ResponderEndpoints endpoints;
    endpoints.bindIp = devicelink::FormatIpv4(lan->address);
    endpoints.listenPort = lan->port;
    lanLink = std::make_unique<devsim::LanLink>(simulator, endpoints);
    if (!lanLink->Start(error)) {
      std::fprintf(stderr, "divarod-devsim: %s\n", error.c_str());
      return 1;
    }
  }
  // Before the ready line: a caller may stop the simulator as soon as it reads it.
  running = &simulator;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  std::string endpoints;
  for (const auto& e : simulator.discoveryEndpoints())
    endpoints += (endpoints.empty() ? "" : ",") + devicelink::FormatEndpoint(e);
  std::string lanText;
  if (lanLink) lanText = " lan=" + lanLink->endpoints().bindIp + ":" + std::to_string(lanLink->port());
  std::printf("devsim ready discovery=%s devices=%zu%s\n", endpoints.c_str(), simulator.deviceCount(),
              lanText.c_str());
  std::fflush(stdout);

  simulator.Run();
  running = nullptr;
  lanLink.reset();
  return 0;
}

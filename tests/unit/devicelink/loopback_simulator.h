#pragma once
// The simulator in this process, its devices on a loopback range of the
// caller's own (tests/support/loopback_range.h) and its discovery answering
// on 127.0.0.1. An address another process holds makes its Open fail; it is
// then made again on another range.

#include <memory>
#include <optional>
#include <string>

#include "tests/support/loopback_range.h"
#include "tools/devsim/simulator.h"

namespace simtest {

// `fleetOn(range)` gives the fleet to play on a range; it may be called for
// several ranges, the last one's counts. Nullopt (why in `error`) when none
// opened. The range stays claimed while the returned object lives.
template <typename FleetOn>
std::optional<testsupport::LoopbackRange> OpenSimulatorOnLoopbackRange(FleetOn fleetOn,
                                                                       std::unique_ptr<devsim::Simulator>& sim,
                                                                       std::string& error) {
  return testsupport::StartOnFreeLoopbackRange(
      [&](const testsupport::LoopbackRange& r, std::string& why) {
        devsim::SimulatorOptions options;
        options.loopback = true;
        options.discovery = {{0x7F000001u, 0}};
        sim = std::make_unique<devsim::Simulator>(fleetOn(r), options);
        if (sim->Open(why)) return true;
        sim.reset();
        return false;
      },
      error);
}

}  // namespace simtest

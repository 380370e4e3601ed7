#pragma once
// Device discovery: one query datagram to every target, then the devices'
// answers (one 436-byte record each) collected until the timeout.
//
// Targets: in production every IPv4 interface's broadcast address and
// 255.255.255.255 on the discovery port. Tests and whole-program runs on a
// development machine inject their own list (loopback addresses where a
// simulator listens), either through DeviceLinkLibrary::SetDiscoveryTargets
// or through the environment variable DIVAROD_DISCOVERY_TARGETS.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "libs/devicelink/socket_io.h"

namespace devicelink {

inline constexpr const char* kDiscoveryTargetsVariable = "DIVAROD_DISCOVERY_TARGETS";

// Every up, broadcast-capable IPv4 interface's broadcast address, then
// 255.255.255.255, all on `port`; duplicates removed.
std::vector<Endpoint> BroadcastTargets(uint16_t port);

// The parsed environment variable, or nullopt when it is not set.
// "none" (or an empty value) means: send nothing. Otherwise a comma-separated
// list of a.b.c.d:port; a list with any unparsable entry also means nothing
// is sent, so a typo never falls back to broadcasting.
std::optional<std::vector<Endpoint>> TargetsFromEnvironment();
std::vector<Endpoint> ParseTargetList(const std::string& text, bool* ok);

struct DiscoveryOutcome {
  bool sent = false;    // the query left for at least one target
  int records = 0;      // distinct records written to the buffer
  int duplicates = 0;   // answers dropped because their MAC was already held
  int malformed = 0;    // datagrams that were not a valid answer
  int overflow = 0;     // distinct answers that found the buffer full
  std::vector<double> arrivalMs;  // per record: milliseconds after the first query
  double endedMs = 0;             // when the collection stopped, milliseconds after the first query
};

// Repeats the query once at a third of the timeout (at most after 1 s), for
// answers lost on the way; the repeated answers are dropped by MAC.
DiscoveryOutcome Discover(const std::vector<Endpoint>& targets, uint8_t* buffer, int maxRecords, uint32_t mode,
                          int timeoutMs);

}  // namespace devicelink

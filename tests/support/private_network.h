#pragma once
// Guard of the tests that broadcast or use fixed ports: they may only run
// inside the private network namespace that scripts/netns-run makes.
//
//   TEST(Lan, Broadcast) {
//     DIVAROD_REQUIRE_PRIVATE_NETWORK();
//     ... send to 255.255.255.255 ...
//   }
//
// Outside such a namespace (netns-run could not make one, or the binary was
// started by hand) the test is skipped with the reason.

#include <gtest/gtest.h>

#include <string>

namespace divarod::testing {

// Empty when this process is inside a namespace made by scripts/netns-run:
// DIVAROD_NETNS is set and the only interfaces are lo, dvr0 (10.77.0.1) and
// dvr1 (10.77.0.2), besides the tunnel modules' per-namespace fallback
// devices. Otherwise the reason for skipping.
std::string PrivateNetworkSkipReason();

// The namespace's two test addresses (dvr0 and dvr1).
inline constexpr const char* kNetnsHostIp = "10.77.0.1";
inline constexpr const char* kNetnsPeerIp = "10.77.0.2";

}  // namespace divarod::testing

#define DIVAROD_REQUIRE_PRIVATE_NETWORK()                                              \
  do {                                                                                 \
    const std::string divarod_netns_reason = ::divarod::testing::PrivateNetworkSkipReason(); \
    if (!divarod_netns_reason.empty()) GTEST_SKIP() << divarod_netns_reason;           \
  } while (0)

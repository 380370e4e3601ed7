#include "tests/support/private_network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdlib>
#include <cstring>
#include <set>

namespace divarod::testing {
namespace {

// Fallback devices that tunnel modules, when loaded, create in every new
// namespace (down, holding no address); they belong to the namespace too.
bool IsNamespaceFallbackDevice(const std::string& name) {
  static const std::set<std::string> kFallbacks = {"sit0",  "tunl0",   "ip6tnl0",  "gre0",    "gretap0",
                                                   "erspan0", "ip_vti0", "ip6_vti0", "ip6gre0", "ip6erspan0"};
  return kFallbacks.count(name) != 0;
}

}  // namespace

std::string PrivateNetworkSkipReason() {
  const char* marker = std::getenv("DIVAROD_NETNS");
  if (marker == nullptr || std::strcmp(marker, "1") != 0) {
    const char* why = std::getenv("DIVAROD_NETNS_UNAVAILABLE");
    std::string reason = "needs the private network namespace of scripts/netns-run";
    if (why != nullptr && *why != '\0') reason += std::string(": ") + why;
    else reason += " (run it through scripts/netns-run or ctest)";
    return reason;
  }

  // Belt and braces: the environment could be inherited by accident, so look
  // at the interfaces too. Anything but ours means this is not our namespace.
  struct if_nameindex* names = if_nameindex();
  if (names == nullptr) return "cannot list the network interfaces";
  std::set<std::string> seen;
  std::string foreign;
  for (struct if_nameindex* i = names; i->if_index != 0 && i->if_name != nullptr; ++i) {
    const std::string name = i->if_name;
    seen.insert(name);
    if (name != "lo" && name != "dvr0" && name != "dvr1" && !IsNamespaceFallbackDevice(name)) foreign = name;
  }
  if_freenameindex(names);
  if (!foreign.empty())
    return "interface " + foreign + " is present: this is not a namespace of scripts/netns-run";
  if (seen.count("dvr0") == 0 || seen.count("dvr1") == 0)
    return "the veth pair dvr0/dvr1 of scripts/netns-run is missing";

  bool hostAddressFound = false;
  struct ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return "cannot read the interface addresses";
  for (struct ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
    inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    if (std::strcmp(a->ifa_name, "dvr0") == 0 && std::strcmp(text, kNetnsHostIp) == 0)
      hostAddressFound = true;
  }
  freeifaddrs(list);
  if (!hostAddressFound) return std::string("dvr0 does not hold ") + kNetnsHostIp;
  return {};
}

}  // namespace divarod::testing

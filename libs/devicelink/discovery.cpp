#include "libs/devicelink/discovery.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>

#include "libs/devicelink/messages.h"

namespace devicelink {
namespace {

constexpr std::size_t kRecordSize = 436;
constexpr std::size_t kMacOffset = 52;
constexpr std::size_t kMacSpan = 40;
constexpr int kReceiveBuffer = 8 * 1024 * 1024;

std::string MacOf(const std::vector<uint8_t>& record) {
  const auto* begin = reinterpret_cast<const char*>(record.data() + kMacOffset);
  const auto* nul = static_cast<const char*>(std::memchr(begin, 0, kMacSpan));
  return std::string(begin, nul ? nul : begin + kMacSpan);
}

bool SendQuery(int fd, const std::vector<Endpoint>& targets, const std::vector<uint8_t>& datagram) {
  bool any = false;
  for (const auto& t : targets) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(t.port);
    to.sin_addr.s_addr = htonl(t.address);
    if (::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >= 0)
      any = true;
  }
  return any;
}

}  // namespace

std::vector<Endpoint> BroadcastTargets(uint16_t port) {
  std::vector<Endpoint> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) == 0) {
    for (ifaddrs* i = list; i; i = i->ifa_next) {
      if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
      if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_BROADCAST)) continue;
      uint32_t broadcast = 0;
      if (i->ifa_broadaddr) broadcast = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr);
      const uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
      if ((broadcast == 0 || broadcast == address) && i->ifa_netmask) {
        // An address configured without its broadcast (the system then
        // reports the address itself): the subnet's broadcast.
        const uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
        if (mask != 0 && mask < 0xFFFFFFFEu) broadcast = address | ~mask;
      }
      const Endpoint e{broadcast, port};
      if (e.address != 0 && std::find(out.begin(), out.end(), e) == out.end()) out.push_back(e);
    }
    ::freeifaddrs(list);
  }
  const Endpoint all{0xFFFFFFFFu, port};
  if (std::find(out.begin(), out.end(), all) == out.end()) out.push_back(all);
  return out;
}

std::vector<Endpoint> ParseTargetList(const std::string& text, bool* ok) {
  std::vector<Endpoint> out;
  *ok = true;
  if (text.empty() || text == "none") return out;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    item.erase(0, item.find_first_not_of(" \t"));
    item.erase(item.find_last_not_of(" \t") + 1);
    const auto e = ParseEndpoint(item);
    if (!e) {
      *ok = false;
      return {};
    }
    out.push_back(*e);
  }
  return out;
}

std::optional<std::vector<Endpoint>> TargetsFromEnvironment() {
  const char* value = std::getenv(kDiscoveryTargetsVariable);
  if (!value) return std::nullopt;
  bool ok = false;
  auto targets = ParseTargetList(value, &ok);
  return ok ? targets : std::vector<Endpoint>{};
}

DiscoveryOutcome Discover(const std::vector<Endpoint>& targets, uint8_t* buffer, int maxRecords, uint32_t mode,
                          int timeoutMs) {
  DiscoveryOutcome out;
  if (targets.empty()) return out;
  Socket s(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!s.valid()) return out;
  const int one = 1;
  ::setsockopt(s.get(), SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  // A large fleet answers in a burst; the kernel caps this at its maximum.
  ::setsockopt(s.get(), SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  if (::bind(s.get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return out;

  msg::DiscoverQuery query;
  query.mode = mode;
  msg::RandomBytes(std::span<uint8_t>(reinterpret_cast<uint8_t*>(&query.searchId), sizeof query.searchId));
  const auto datagram = wire::Encode(wire::Type::kDiscoverQuery, 0, 0, msg::Encode(query));

  const auto start = Clock::now();
  const Deadline deadline = start + std::chrono::milliseconds(std::max(timeoutMs, 0));
  const Deadline repeatAt = start + std::chrono::milliseconds(std::min(1000, std::max(timeoutMs, 0) / 3));
  bool repeated = false;
  out.sent = SendQuery(s.get(), targets, datagram);
  if (!out.sent) return out;

  std::set<std::string> seen;
  std::vector<uint8_t> packet(2048);
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) break;
    if (!repeated && now >= repeatAt) {
      SendQuery(s.get(), targets, datagram);
      repeated = true;
    }
    const Deadline wakeAt = repeated ? deadline : std::min(deadline, repeatAt);
    // Waits to the nanosecond and in steps of at most 100 ms (the system lets
    // a wait run late by a thousandth of its length), so that the search
    // ends close to its bound, not up to milliseconds past it.
    const int64_t left = std::clamp<int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(wakeAt - Clock::now()).count(), 0, 100'000'000);
    const timespec wait{0, static_cast<long>(left)};
    pollfd p{s.get(), POLLIN, 0};
    const int r = ::ppoll(&p, 1, &wait, nullptr);
    if (r <= 0) continue;
    // Read what is waiting, but never past the moment this pass waited for:
    // a host that keeps sending must not hold the search (or the repeat)
    // beyond its time. Past it, at most the one datagram just read is taken.
    while (Clock::now() < wakeAt) {
      const ssize_t n = ::recv(s.get(), packet.data(), packet.size(), 0);
      if (n < 0) break;
      const auto frame = wire::ParseDatagram(std::span<const uint8_t>(packet.data(), static_cast<std::size_t>(n)));
      std::optional<msg::DiscoverReply> reply;
      if (frame && frame->header.type == wire::Type::kDiscoverReply) reply = msg::DecodeDiscoverReply(frame->payload);
      if (!reply || reply->searchId != query.searchId) {
        ++out.malformed;
        continue;
      }
      const std::string mac = MacOf(reply->record);
      if (mac.empty()) {
        ++out.malformed;
        continue;
      }
      if (!seen.insert(mac).second) {
        ++out.duplicates;
        continue;
      }
      if (out.records >= maxRecords) {
        ++out.overflow;
        continue;
      }
      std::memcpy(buffer + static_cast<std::size_t>(out.records) * kRecordSize, reply->record.data(), kRecordSize);
      ++out.records;
      out.arrivalMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }
  out.endedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return out;
}

}  // namespace devicelink

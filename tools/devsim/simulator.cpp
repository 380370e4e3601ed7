#include "tools/devsim/simulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <future>
#include <set>

namespace devsim {
namespace {

namespace wire = devicelink::wire;
namespace msg = devicelink::msg;
using std::chrono::milliseconds;

// How long a reply is given to leave before a rebooting device drops its connections.
constexpr milliseconds kGoDownDelay{100};

sockaddr_in SockAddr(uint32_t address, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address);
  return a;
}

uint32_t Fnv(const std::string& s, uint32_t seed) {
  uint32_t h = 2166136261u ^ seed;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace

std::string LoopbackAddressFor(const std::string& ip, std::optional<int> second) {
  const auto dot = ip.find('.');
  if (dot == std::string::npos || ip.rfind("127.", 0) == 0) return ip;
  if (!second) return "127" + ip.substr(dot);
  const auto dot2 = ip.find('.', dot + 1);
  if (dot2 == std::string::npos) return ip;
  return "127." + std::to_string(*second) + ip.substr(dot2);
}

bool InPrivateNetwork() {
  const char* v = std::getenv("DIVAROD_NETNS");
  return v && std::string(v) == "1";
}

bool Simulator::AssignAddress(const SimDevice& d, std::string& error) {
  if (addresses_->Take(d.network().ip, d.network().netmask, error)) return true;
  error = "[" + d.profile().section + "] " + error;
  return false;
}

void Simulator::ReleaseUnusedAddresses() {
  if (!addresses_) return;
  // A device's address stays while the device claims it or still listens there.
  std::set<std::string> inUse;
  for (const auto& slot : devices_) {
    inUse.insert(slot.device->network().ip);
    if (slot.listener.valid()) inUse.insert(slot.boundAddress);
  }
  addresses_->ReleaseAllBut(inUse);
}

Simulator::Simulator(Fleet fleet, SimulatorOptions options) : fleet_(std::move(fleet)), options_(std::move(options)) {
  for (auto& profile : fleet_.devices) {
    byMac_[profile.mac] = devices_.size();
    DeviceSlot slot;
    slot.device = std::make_unique<SimDevice>(profile);
    devices_.push_back(std::move(slot));
  }
}

Simulator::~Simulator() { Quit(); }

std::string Simulator::AddressOf(const SimDevice& d) const {
  return options_.loopback ? LoopbackAddressFor(d.network().ip, options_.loopbackSecondOctet) : d.network().ip;
}

bool Simulator::Open(std::string& error) {
  if (!options_.assignInterface.empty() && (options_.loopback || !InPrivateNetwork())) {
    error = "--assign-addresses works only inside scripts/netns-run and without --loopback";
    return false;
  }
  if (!options_.assignInterface.empty()) {
    addresses_ = std::make_unique<InterfaceAddresses>(options_.assignInterface);
    if (!addresses_->Prepare(error)) return false;
  }
  for (const auto& e : options_.discovery) {
    devicelink::Socket s(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int one = 1;
    // A fixed port (9610) may be shared with another listener in the
    // namespace: a broadcast query reaches each. A free port asked for (0)
    // must be one nobody else holds: with address reuse the system may hand
    // out a port another simulator already listens on, and a query sent
    // there reaches only the socket bound last, so the other fleet answers.
    if (e.port != 0) ::setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ::setsockopt(s.get(), SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    auto addr = SockAddr(e.address, e.port);
    if (::bind(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      error = "cannot listen for discovery on " + devicelink::FormatEndpoint(e) + ": " + std::strerror(errno);
      return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(s.get(), reinterpret_cast<sockaddr*>(&addr), &len);
    boundDiscovery_.push_back({e.address, ntohs(addr.sin_port)});
    const int fd = s.get();
    loop_.Watch(fd, POLLIN, [this, fd](short) { OnDiscovery(fd); });
    discoverySockets_.push_back(std::move(s));
  }
  std::map<std::pair<std::string, uint16_t>, std::string> taken;
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    const auto& d = *devices_[i].device;
    const auto key = std::make_pair(AddressOf(d), d.tcpPort());
    if (!taken.emplace(key, d.profile().section).second) {
      error = "[" + d.profile().section + "] and [" + taken[key] + "] both serve on " + key.first + ":" +
              std::to_string(key.second);
      return false;
    }
    if (!OpenListener(i, error)) return false;
  }
  return true;
}

bool Simulator::OpenListener(std::size_t index, std::string& error) {
  auto& slot = devices_[index];
  const auto& d = *slot.device;
  if (addresses_ && !AssignAddress(d, error)) return false;
  const std::string address = AddressOf(d);
  const auto ip = devicelink::ParseIpv4(address);
  devicelink::Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  const int one = 1;
  ::setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  auto addr = SockAddr(ip.value_or(0), d.tcpPort());
  if (!ip || ::bind(s.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(s.get(), 64) != 0) {
    error = "[" + d.profile().section + "] cannot listen on " + address + ":" + std::to_string(d.tcpPort()) + ": " +
            std::strerror(errno) + (options_.loopback ? "" : " (outside a private network use --loopback)");
    return false;
  }
  const int fd = s.get();
  loop_.Watch(fd, POLLIN, [this, index](short) { OnAccept(index); });
  slot.listener = std::move(s);
  slot.boundAddress = address;
  slot.boundPort = d.tcpPort();
  return true;
}

void Simulator::Run() {
  loopThread_ = std::this_thread::get_id();
  loop_.Run();
  loopThread_ = std::thread::id();
}

void Simulator::StartThread() {
  thread_ = std::thread([this] { Run(); });
}

void Simulator::Quit() {
  loop_.Quit();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void Simulator::RunOnLoop(const std::function<void()>& task) {
  const std::thread::id loop = loopThread_;
  if (loop == std::thread::id() || loop == std::this_thread::get_id()) {
    task();  // no loop runs (before Run, after Quit), or we are on it
    return;
  }
  // Whoever claims the task first runs it: the loop, or this thread when the
  // loop has ended before reaching it.
  struct Shared {
    std::atomic<bool> claimed{false};
    std::promise<void> done;
  };
  auto shared = std::make_shared<Shared>();
  loop_.Post([shared, &task] {
    if (shared->claimed.exchange(true)) return;
    task();
    shared->done.set_value();
  });
  auto finished = shared->done.get_future();
  while (finished.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    if (loopThread_ == std::thread::id() && !shared->claimed.exchange(true)) {
      task();
      return;
    }
  }
}

bool Simulator::ApplyNetworkChange(const std::string& mac, const NetworkSettings& settings) {
  bool found = false;
  RunOnLoop([&] {
    const auto it = byMac_.find(mac);
    if (it == byMac_.end()) return;
    found = true;
    const std::size_t index = it->second;
    auto& d = *devices_[index].device;
    const bool moved = settings.ip != d.network().ip;
    d.ApplyNetworkChange(settings);
    d.sessions.clear();
    if (moved && d.up) {
      // A new address: the device now serves there, and its old connections end.
      CloseDevice(index);
      std::string error;
      if (!OpenListener(index, error)) std::fprintf(stderr, "devsim: %s\n", error.c_str());
      ReleaseUnusedAddresses();
    }
    Notify(index);
  });
  return found;
}

std::optional<NetworkSettings> Simulator::NetworkOf(const std::string& mac) {
  std::optional<NetworkSettings> out;
  RunOnLoop([&] {
    const auto it = byMac_.find(mac);
    if (it != byMac_.end()) out = devices_[it->second].device->network();
  });
  return out;
}

DeviceSnapshot Simulator::SnapshotOf(std::size_t index) const {
  const auto& d = *devices_[index].device;
  return {d.mac(), d.network(), d.profile().capabilities, d.AdminPassword(), d.up};
}

std::vector<DeviceSnapshot> Simulator::Snapshot() {
  std::vector<DeviceSnapshot> out;
  RunOnLoop([&] {
    for (std::size_t i = 0; i < devices_.size(); ++i) out.push_back(SnapshotOf(i));
  });
  return out;
}

void Simulator::Notify(std::size_t index) {
  if (observer_) observer_(SnapshotOf(index));
}

void Simulator::CloseDevice(std::size_t index) {
  auto& slot = devices_[index];
  if (slot.listener.valid()) {
    loop_.Unwatch(slot.listener.get());
    slot.listener = devicelink::Socket();
  }
  std::vector<int> ids;
  for (const auto& [id, c] : connections_)
    if (c->device == index) ids.push_back(id);
  for (int id : ids) Drop(id);
}

void Simulator::GoDown(std::size_t index) {
  auto& d = *devices_[index].device;
  if (!d.up) return;
  // Gone at once for discovery and new requests; the connections close a
  // moment later, so that the reply that announced the restart gets out.
  d.up = false;
  d.sessions.clear();
  Notify(index);
  loop_.After(kGoDownDelay, [this, index] {
    CloseDevice(index);
    const auto& profile = devices_[index].device->profile();
    if (!profile.stayDown) loop_.After(milliseconds(profile.rebootMs), [this, index] { ComeBack(index); });
  });
}

void Simulator::ComeBack(std::size_t index) {
  auto& d = *devices_[index].device;
  d.Start(SimClock::now(), std::chrono::system_clock::now());
  std::string error;
  if (!OpenListener(index, error)) std::fprintf(stderr, "devsim: %s\n", error.c_str());
  ReleaseUnusedAddresses();  // back from a factory reset at its old address
  Notify(index);
}

void Simulator::OnDiscovery(int fd) {
  for (;;) {
    uint8_t buf[2048];
    sockaddr_storage from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) return;
    const auto frame = wire::ParseDatagram(std::span<const uint8_t>(buf, static_cast<std::size_t>(n)));
    if (!frame || frame->header.type != wire::Type::kDiscoverQuery) continue;
    const auto query = msg::DecodeDiscoverQuery(frame->payload);
    if (!query) continue;
    // Each device answers after its own delay inside the spread, as a real
    // fleet does, so that a large fleet does not arrive in one burst.
    const int spread = fleet_.settings.answerSpreadMs;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (!devices_[i].device->up) continue;
      const int delay = spread > 0 ? static_cast<int>(Fnv(devices_[i].device->mac(), query->searchId) %
                                                      static_cast<uint32_t>(spread))
                                   : 0;
      const uint32_t searchId = query->searchId;
      loop_.After(milliseconds(delay), [this, fd, i, searchId, from] { SendAnswer(fd, i, searchId, from, 0); });
    }
  }
}

void Simulator::SendAnswer(int fd, std::size_t index, uint32_t searchId, const sockaddr_storage& to,
                           unsigned attempts) {
  const auto& d = *devices_[index].device;
  if (!d.up) return;
  msg::DiscoverReply reply;
  reply.searchId = searchId;
  reply.record = d.DiscoveryRecord(AddressOf(d));
  const auto datagram = wire::Encode(wire::Type::kDiscoverReply, 0, 0, msg::Encode(reply));
  const ssize_t n = ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                             sizeof(sockaddr_in));
  if (n < 0 && (errno == EAGAIN || errno == ENOBUFS) && attempts < 50)
    loop_.After(milliseconds(1), [this, fd, index, searchId, to, attempts] {
      SendAnswer(fd, index, searchId, to, attempts + 1);
    });
}

void Simulator::OnAccept(std::size_t index) {
  auto& slot = devices_[index];
  for (;;) {
    const int fd = ::accept4(slot.listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto c = std::make_unique<Connection>();
    c->id = nextConnection_++;
    c->socket = devicelink::Socket(fd);
    c->device = index;
    const int id = c->id;
    connections_[id] = std::move(c);
    loop_.Watch(fd, POLLIN, [this, id](short revents) {
      if (revents & POLLOUT) Flush(id);
      if (revents & (POLLIN | POLLHUP | POLLERR)) OnReadable(id);
    });
  }
}

void Simulator::OnReadable(int id) {
  auto it = connections_.find(id);
  if (it == connections_.end()) return;
  Connection& c = *it->second;
  uint8_t buf[64 * 1024];
  const ssize_t n = ::recv(c.socket.get(), buf, sizeof buf, 0);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
    Drop(id);
    return;
  }
  if (n < 0) return;
  c.reader.Feed(std::span<const uint8_t>(buf, static_cast<std::size_t>(n)));
  auto& d = *devices_[c.device].device;
  while (auto frame = c.reader.Next()) {
    if (d.profile().silent || !d.up) continue;  // hears everything, answers nothing
    Outcome o = HandleRequest(d, c.state, *frame, SimClock::now());
    const uint32_t sequence = frame->header.sequence;
    if (frame->header.type == wire::Type::kModifyUser || frame->header.type == wire::Type::kFactoryReset)
      Notify(c.device);  // the password or the network settings may have changed
    const int delay = d.profile().answerDelayMs;
    if (delay <= 0) {
      Queue(id, std::move(o.reply));
      Perform(id, o.next, sequence);
      if (!connections_.count(id)) return;
    } else {
      loop_.After(milliseconds(delay), [this, id, o = std::move(o), sequence]() mutable {
        Queue(id, std::move(o.reply));
        Perform(id, o.next, sequence);
      });
    }
  }
  if (c.reader.broken()) Drop(id);  // a stream out of step cannot be read on
}

void Simulator::Perform(int id, Next next, uint32_t sequence) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  const std::size_t index = it->second->device;
  switch (next) {
    case Next::kNothing:
      break;
    case Next::kGoDown:
      GoDown(index);
      break;
    case Next::kEndSession: {
      auto& d = *devices_[index].device;
      const auto token = it->second->state.token;
      d.sessions.erase(token);
      std::vector<int> ids;
      for (const auto& [other, c] : connections_)
        if (c->device == index && c->state.authenticated && c->state.token == token && other != id)
          ids.push_back(other);
      for (int other : ids) Drop(other);
      break;
    }
    case Next::kStartWriting:
      WriteStep(id, sequence, 0);
      break;
    case Next::kStartStream:
      StartStream(id, sequence);
      break;
  }
}

void Simulator::WriteStep(int id, uint32_t sequence, int percent) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  const std::size_t index = it->second->device;
  const auto& profile = devices_[index].device->profile();
  Queue(id, wire::Encode(wire::Type::kUpgradeProgress, sequence, 0,
                         msg::Encode(msg::UpgradeProgress{static_cast<uint32_t>(percent)})));
  if (percent == profile.upgradeStallAt) return;  // stalls: says nothing more
  if (percent == profile.upgradeFailAt) {
    it->second->state.writing = false;
    Queue(id, wire::Encode(wire::Type::kUpgradeDone, sequence, wire::kUpgradeFailed, {}));
    return;
  }
  if (percent >= 100) {
    it->second->state.writing = false;
    Queue(id, wire::Encode(wire::Type::kUpgradeDone, sequence, wire::kOk, {}));
    // A new image starts with a restart.
    GoDown(index);
    return;
  }
  loop_.After(milliseconds(profile.upgradeWriteMs / 100), [this, id, sequence, percent] {
    WriteStep(id, sequence, percent + 1);
  });
}

void Simulator::Queue(int id, std::vector<uint8_t> bytes) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  auto& c = *it->second;
  c.out.insert(c.out.end(), bytes.begin(), bytes.end());
  Flush(id);
}

void Simulator::Flush(int id) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  auto& c = *it->second;
  while (c.outSent < c.out.size()) {
    const ssize_t n = ::send(c.socket.get(), c.out.data() + c.outSent, c.out.size() - c.outSent, MSG_NOSIGNAL);
    if (n > 0) {
      c.outSent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      loop_.SetEvents(c.socket.get(), POLLIN | POLLOUT);
      return;
    }
    if (n < 0 && errno == EINTR) continue;
    Drop(id);
    return;
  }
  c.out.clear();
  c.outSent = 0;
  loop_.SetEvents(c.socket.get(), POLLIN);
}

void Simulator::Drop(int id) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  loop_.Unwatch(it->second->socket.get());
  connections_.erase(it);
  streams_.erase(id);
}

}  // namespace devsim

#include "tools/lanresponder/lan_responder.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace lanresponder {
namespace {

using Clock = std::chrono::steady_clock;

uint32_t AddressOf(const std::string& dotted) {
  in_addr a{};
  if (inet_pton(AF_INET, dotted.c_str(), &a) != 1) return INADDR_NONE;
  return a.s_addr;
}

bool IsLoopback(uint32_t networkOrder) { return (ntohl(networkOrder) >> 24) == 127; }

std::string Dotted(uint32_t networkOrder) {
  char text[INET_ADDRSTRLEN] = {};
  in_addr a{};
  a.s_addr = networkOrder;
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

// Whether a device with these settings could send straight to the sender.
bool Reachable(const DeviceNetwork& network, uint32_t sender) {
  if (IsLoopback(sender)) return true;
  const uint32_t ip = AddressOf(network.ip);
  const uint32_t mask = AddressOf(network.netmask);
  if (ip == INADDR_NONE) return false;
  return (ip & mask) == (sender & mask);
}

}  // namespace

LanResponder::LanResponder(ResponderEndpoints endpoints) : endpoints_(std::move(endpoints)) {}

LanResponder::~LanResponder() { Stop(); }

bool LanResponder::AddDevice(const SimulatedDevice& device) {
  std::lock_guard lock(mutex_);
  return fleet_.Add(device);
}

bool LanResponder::RemoveDevice(const std::string& mac) {
  std::lock_guard lock(mutex_);
  return fleet_.Remove(mac);
}

std::optional<SimulatedDevice> LanResponder::Device(const std::string& mac) const {
  std::lock_guard lock(mutex_);
  const SimulatedDevice* device = fleet_.Find(mac);
  if (device == nullptr) return std::nullopt;
  return *device;
}

std::vector<SimulatedDevice> LanResponder::Devices() const {
  std::lock_guard lock(mutex_);
  return fleet_.Devices();
}

bool LanResponder::SetMisbehaviour(const std::string& mac, const Misbehaviour& misbehaviour) {
  std::lock_guard lock(mutex_);
  auto* device = fleet_.Find(mac);
  if (device == nullptr) return false;
  device->misbehaviour = misbehaviour;
  return true;
}

bool LanResponder::SetNetwork(const std::string& mac, const DeviceNetwork& network) {
  std::lock_guard lock(mutex_);
  auto* device = fleet_.Find(mac);
  if (device == nullptr) return false;
  device->network = network;
  return true;
}

void LanResponder::SetChangeHook(NetworkChangeHook hook) {
  std::lock_guard lock(mutex_);
  hook_ = std::move(hook);
}

bool LanResponder::Start(std::string* error) {
  auto fail = [&](const char* what) {
    if (error != nullptr) *error = std::string(what) + ": " + std::strerror(errno);
    if (socket_ >= 0) close(socket_);
    socket_ = -1;
    return false;
  };
  if (running_) return true;
  socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (socket_ < 0) return fail("socket");
  const int one = 1;
  // Several responders (and the simulator) may share a fixed port in one
  // namespace. A free port asked for (0) stays this responder's own: with
  // address reuse the system may hand out a port another one holds, and a
  // datagram sent there would reach only the socket bound last.
  if (endpoints_.listenPort != 0 && setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0)
    return fail("SO_REUSEADDR");
  if (setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) return fail("SO_BROADCAST");
  sockaddr_in bindAddress{};
  bindAddress.sin_family = AF_INET;
  bindAddress.sin_port = htons(endpoints_.listenPort);
  bindAddress.sin_addr.s_addr = AddressOf(endpoints_.bindIp);
  if (bind(socket_, reinterpret_cast<sockaddr*>(&bindAddress), sizeof bindAddress) != 0)
    return fail(("bind " + endpoints_.bindIp + ":" + std::to_string(endpoints_.listenPort)).c_str());
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(socket_, reinterpret_cast<sockaddr*>(&bound), &length);
  boundPort_ = ntohs(bound.sin_port);
  fcntl(socket_, F_SETFL, fcntl(socket_, F_GETFL, 0) | O_NONBLOCK);
  if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) return fail("pipe");
  running_ = true;
  worker_ = std::thread([this] { Run(); });
  return true;
}

void LanResponder::Stop() {
  if (!running_) return;
  running_ = false;
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = write(wakePipe_[1], &byte, 1);
  if (worker_.joinable()) worker_.join();
  close(socket_);
  close(wakePipe_[0]);
  close(wakePipe_[1]);
  socket_ = wakePipe_[0] = wakePipe_[1] = -1;
  pending_.clear();
}

void LanResponder::Run() {
  while (running_) {
    int timeoutMs = -1;
    if (!pending_.empty()) {
      const auto next = std::min_element(pending_.begin(), pending_.end(),
                                         [](const Pending& a, const Pending& b) { return a.due < b.due; });
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next->due - Clock::now()).count();
      timeoutMs = static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
    }
    pollfd fds[2] = {{socket_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    const int ready = poll(fds, 2, timeoutMs);
    if (ready < 0 && errno != EINTR) break;
    if (!running_) break;
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) Receive();
    SendDue(Clock::now());
  }
}

void LanResponder::Receive() {
  // Drain everything waiting; each datagram is handled on its own.
  for (;;) {
    uint8_t buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t n = recvfrom(socket_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return;

    Outcome outcome;
    NetworkChangeHook hook;
    {
      std::lock_guard lock(mutex_);
      outcome = fleet_.Handle(buffer, static_cast<size_t>(n));
      heard_.push_back(HeardDatagram{outcome.kind, outcome.targetMac, static_cast<size_t>(n),
                                     Dotted(from.sin_addr.s_addr), ntohs(from.sin_port), Clock::now()});
      hook = hook_;
    }
    heardChanged_.notify_all();
    if (hook)
      for (const auto& change : outcome.changes) hook(change);
    const auto now = Clock::now();
    for (auto& answer : outcome.answers) {
      const auto due = now + std::chrono::milliseconds(answer.delayMs);
      pending_.push_back(Pending{due, std::move(answer), from.sin_addr.s_addr});
    }
    SendDue(Clock::now());
  }
}

void LanResponder::SendDue(Clock::time_point now) {
  // In order of arrival among those due, so a junk burst precedes its answer.
  std::vector<Pending> due;
  auto split = std::stable_partition(pending_.begin(), pending_.end(),
                                     [&](const Pending& p) { return p.due > now; });
  std::move(split, pending_.end(), std::back_inserter(due));
  pending_.erase(split, pending_.end());
  for (const auto& p : due) SendAnswer(p);
}

void LanResponder::SendAnswer(const Pending& pending) {
  const Answer& answer = pending.answer;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(endpoints_.replyPort);
  bool broadcast = !Reachable(answer.network, pending.senderAddress);
  bool sent = false;
  if (!broadcast) {
    to.sin_addr.s_addr = pending.senderAddress;
    sent = sendto(socket_, answer.bytes.data(), answer.bytes.size(), MSG_NOSIGNAL,
                  reinterpret_cast<sockaddr*>(&to), sizeof to) == static_cast<ssize_t>(answer.bytes.size());
    // A loopback sender is always reachable; never broadcast for it.
    if (!sent && !IsLoopback(pending.senderAddress)) broadcast = true;
  }
  if (broadcast) {
    to.sin_addr.s_addr = AddressOf(endpoints_.broadcastIp);
    sent = sendto(socket_, answer.bytes.data(), answer.bytes.size(), MSG_NOSIGNAL,
                  reinterpret_cast<sockaddr*>(&to), sizeof to) == static_cast<ssize_t>(answer.bytes.size());
  }
  if (!sent) return;
  std::lock_guard lock(mutex_);
  sent_.push_back(SentAnswer{answer.fromMac, answer.bytes.size(), answer.junk, broadcast,
                             Dotted(to.sin_addr.s_addr), endpoints_.replyPort});
}

std::vector<HeardDatagram> LanResponder::Heard() const {
  std::lock_guard lock(mutex_);
  return heard_;
}

size_t LanResponder::CountHeard(DatagramKind kind) const {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(
      std::count_if(heard_.begin(), heard_.end(), [&](const HeardDatagram& h) { return h.kind == kind; }));
}

std::vector<SentAnswer> LanResponder::Sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

void LanResponder::ClearLog() {
  std::lock_guard lock(mutex_);
  heard_.clear();
  sent_.clear();
}

bool LanResponder::WaitForHeard(DatagramKind kind, size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return heardChanged_.wait_for(lock, timeout, [&] {
    return static_cast<size_t>(std::count_if(heard_.begin(), heard_.end(),
                                             [&](const HeardDatagram& h) { return h.kind == kind; })) >= count;
  });
}

}  // namespace lanresponder

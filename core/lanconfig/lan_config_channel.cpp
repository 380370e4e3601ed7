#include "core/lanconfig/lan_config_channel.h"

#include <arpa/inet.h>

#include <cstring>
#include <utility>

#include "core/device/device_record.h"
#include "core/lanconfig/lan_datagrams.h"

namespace lanconfig {
namespace {

sockaddr_in SocketAddress(const std::string& ip, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr(ip.c_str());
  return a;
}

}  // namespace

LanConfigChannel::LanConfigChannel(LanEndpoints endpoints, SocketSystem& sockets, TickSource tick, IdleWait idle)
    : endpoints_(std::move(endpoints)), sockets_(sockets), tick_(std::move(tick)), idle_(std::move(idle)) {}

LanConfigChannel::~LanConfigChannel() { CloseConfigSockets(); }

void LanConfigChannel::CloseSocket(int& fd) {
  if (fd >= 0) sockets_.Close(fd);
  fd = -1;
}

void LanConfigChannel::CloseConfigSockets() {
  CloseSocket(sendSocket_);
  CloseSocket(receiveSocket_);
}

int LanConfigChannel::OpenConfigSockets() {
  CloseConfigSockets();
  const int one = 1;

  sendSocket_ = sockets_.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (sendSocket_ < 0) {
    sendSocket_ = -1;
    return kSendSocketFailed;
  }
  if (sockets_.SetSockOpt(sendSocket_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
    CloseSocket(sendSocket_);
    return kReuseAddressFailed;
  }
  if (sockets_.SetSockOpt(sendSocket_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
    CloseSocket(sendSocket_);
    return kBroadcastFailed;
  }
  const sockaddr_in sendBind = SocketAddress(endpoints_.sendBindIp, endpoints_.sendBindPort);
  if (sockets_.Bind(sendSocket_, reinterpret_cast<const sockaddr*>(&sendBind), sizeof sendBind) != 0) {
    CloseSocket(sendSocket_);
    return kSendBindFailed;
  }
  target_ = SocketAddress(endpoints_.targetIp, endpoints_.targetPort);

  receiveSocket_ = sockets_.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (receiveSocket_ < 0) {
    receiveSocket_ = -1;
    CloseSocket(sendSocket_);
    return kReceiveSocketFailed;
  }
  // No address reuse here: a port already taken by another program fails.
  const sockaddr_in receiveBind = SocketAddress(endpoints_.receiveBindIp, endpoints_.receivePort);
  if (sockets_.Bind(receiveSocket_, reinterpret_cast<const sockaddr*>(&receiveBind), sizeof receiveBind) != 0) {
    CloseConfigSockets();
    return kReceiveBindFailed;
  }
  if (sockets_.SetNonBlocking(receiveSocket_) != 0) {
    CloseConfigSockets();
    return kNonBlockingFailed;
  }
  return kOpened;
}

bool LanConfigChannel::SendToTarget(const uint8_t* data, size_t size) {
  if (sendSocket_ < 0) return false;
  const ssize_t sent =
      sockets_.SendTo(sendSocket_, data, size, reinterpret_cast<const sockaddr*>(&target_), sizeof target_);
  return sent == static_cast<ssize_t>(size);
}

ssize_t LanConfigChannel::ReceiveOne(uint8_t (&buffer)[kReceiveBufferSize]) {
  std::memset(buffer, 0, sizeof buffer);
  if (receiveSocket_ < 0) return -1;
  sockaddr_in from{};
  socklen_t length = sizeof from;
  const ssize_t n =
      sockets_.ReceiveFrom(receiveSocket_, buffer, sizeof buffer, reinterpret_cast<sockaddr*>(&from), &length);
  if (n >= 0) lastSender_ = from;
  return n;
}

int LanConfigChannel::SendNetConfigV2(const DeviceRecord& request) {
  const std::string key = MacKey(request.mac);
  const ProbeDatagram probe = BuildProbe();
  const uint32_t start = tick_();
  uint32_t lastProbe = start;
  if (!SendToTarget(probe.data(), probe.size())) return kFirstSendFailed;

  uint8_t buffer[kReceiveBufferSize];
  uint32_t now = start;
  while (TicksSince(start, now) < kProbeWindowMs) {
    if (TicksSince(lastProbe, now) > kProbeIntervalMs) {
      if (!SendToTarget(probe.data(), probe.size())) return kFailed;
      lastProbe = now;
    }
    // The pause only when nothing is waiting: other traffic on the port is
    // read through at once, so it cannot push the answer out of the window.
    const ssize_t n = ReceiveOne(buffer);
    if (n < 0) {
      idle_(kIdleSleepMs);
    } else if (n == static_cast<ssize_t>(kProbeReplySize) && IsProbeReply(buffer, kProbeReplySize) &&
               ProbeReplyMatchesKey(buffer, kProbeReplySize, key)) {
      const ChangeV2Datagram change = BuildChangeV2(request);
      return SendToTarget(change.data(), change.size()) ? kSuccess : kFailed;
    }
    now = tick_();
  }
  return kFailed;
}

int LanConfigChannel::SendNetConfigV3(const DeviceRecord& request) {
  ChangeV3Datagram change{};
  // Refused before anything is sent: a cut password would be a wrong one.
  if (!BuildChangeV3(request, change)) return kFailed;
  if (!SendToTarget(change.data(), change.size())) return kFirstSendFailed;

  const uint32_t start = tick_();
  uint8_t buffer[kReceiveBufferSize];
  while (TicksSince(start, tick_()) < kReplyWaitMs) {
    const ssize_t n = ReceiveOne(buffer);
    if (n < 0) {
      idle_(kIdleSleepMs);  // nothing waiting
      continue;
    }
    // Anything but the echo is passed over at once: a pause after each
    // datagram would let other traffic hold the echo past the window.
    switch (ClassifyV3Reply(buffer, static_cast<size_t>(n), change)) {
      case V3Reply::kConfirmed: return kSuccess;
      case V3Reply::kRefused:
      case V3Reply::kMismatch: return kFailed;
      case V3Reply::kNotAReply: break;
    }
  }
  return kNoReply;
}

int LanConfigChannel::ModifyNetworkByBroadcastV2(const DeviceRecord& request) {
  if (OpenConfigSockets() != kOpened) return kFailed;
  const int result = SendNetConfigV2(request);
  CloseConfigSockets();
  return result;
}

int LanConfigChannel::ModifyNetworkByBroadcastV3(const DeviceRecord& request) {
  if (OpenConfigSockets() != kOpened) return kFailed;
  const int result = SendNetConfigV3(request);
  CloseConfigSockets();
  return result;
}

}  // namespace lanconfig

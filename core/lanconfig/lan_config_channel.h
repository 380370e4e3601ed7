#pragma once
// The program's side of the LAN configuration datagrams: a device's IP, mask,
// gateway (and, with the authenticated variant, DNS servers and DHCP mode)
// changed by UDP broadcast, without the device library.
//
//   V2  probe "DADADI.SEARCH.V1" every 500 ms until the device answers with
//       its MAC (3000 ms at most), then broadcast the change once; nothing
//       confirms it.
//   V3  broadcast one change carrying the administrator password and wait
//       up to 3000 ms for the device's echo of every value.
//
// The socket pair exists only during one exchange: ModifyNetworkByBroadcast*
// opens it, runs the exchange and closes it whatever the result. Everything
// runs on the caller's thread and blocks it for up to 3 s. Both waits read
// every datagram that is waiting at once and pause (50 ms) only when nothing
// is, so other traffic on the reply port never delays the device's answer.

#include <netinet/in.h>

#include <cstdint>

#include "core/lanconfig/lan_endpoints.h"
#include "core/lanconfig/socket_system.h"
#include "core/lanconfig/tick_clock.h"

struct DeviceRecord;

namespace lanconfig {

// Results of OpenConfigSockets: the step that failed.
enum OpenResult : int {
  kOpened = 1,
  kSendSocketFailed = -1,
  kReuseAddressFailed = -2,
  kBroadcastFailed = -3,
  kSendBindFailed = -4,
  kReceiveSocketFailed = -5,
  kReceiveBindFailed = -6,
  kNonBlockingFailed = -7,
};

// Results of the exchanges. 1 success, -3 timeout (V3), anything else failure.
enum ExchangeResult : int {
  kSuccess = 1,
  kFailed = -1,
  kNoReply = -3,
  kFirstSendFailed = -8,
};

inline constexpr uint32_t kProbeWindowMs = 3000;
inline constexpr uint32_t kProbeIntervalMs = 500;
inline constexpr uint32_t kReplyWaitMs = 3000;
inline constexpr uint32_t kIdleSleepMs = 50;  // the pause while nothing is waiting
inline constexpr size_t kReceiveBufferSize = 1024;

class LanConfigChannel {
 public:
  explicit LanConfigChannel(LanEndpoints endpoints = {}, SocketSystem& sockets = PosixSockets(),
                            TickSource tick = SteadyTickMs, IdleWait idle = SleepMs);
  ~LanConfigChannel();
  LanConfigChannel(const LanConfigChannel&) = delete;
  LanConfigChannel& operator=(const LanConfigChannel&) = delete;

  // Open the pair, run the exchange, close the pair. -1 when opening fails.
  int ModifyNetworkByBroadcastV2(const DeviceRecord& request);
  int ModifyNetworkByBroadcastV3(const DeviceRecord& request);

  // Closes whatever is open first. 1, or the OpenResult of the failed step
  // (with everything opened so far closed again).
  int OpenConfigSockets();
  void CloseConfigSockets();

  // On an open pair: 1 sent after the device answered the probe; -8 the first
  // probe could not be sent; -1 otherwise (no matching reply in 3000 ms, or a
  // later send failed).
  int SendNetConfigV2(const DeviceRecord& request);
  // On an open pair: 1 every value echoed; -1 refused, another value echoed,
  // or a password longer than its 96-byte field (nothing is sent then);
  // -3 no reply in 3000 ms; -8 the change could not be sent.
  int SendNetConfigV3(const DeviceRecord& request);

  bool SocketsOpen() const { return sendSocket_ >= 0 || receiveSocket_ >= 0; }
  // The address of the last datagram received (kept, not used).
  const sockaddr_in& LastSender() const { return lastSender_; }

 private:
  bool SendToTarget(const uint8_t* data, size_t size);
  // One datagram into a zero-filled buffer; -1 when nothing is waiting.
  ssize_t ReceiveOne(uint8_t (&buffer)[kReceiveBufferSize]);
  void CloseSocket(int& fd);

  LanEndpoints endpoints_;
  SocketSystem& sockets_;
  TickSource tick_;
  IdleWait idle_;
  int sendSocket_ = -1;
  int receiveSocket_ = -1;
  sockaddr_in target_{};
  sockaddr_in lastSender_{};
};

}  // namespace lanconfig

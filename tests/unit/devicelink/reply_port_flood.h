#pragma once
// A flood at a discovery's reply port, all on loopback: a target socket that
// takes the query (and answers nothing itself), and sender threads that fire
// datagrams at the address the query came from until stopped, or for at most
// `limit`. Each sender hands the kernel 256 datagrams per call, so that the
// senders outpace a receiver that reads one per call. With no senders it
// only takes the query: a search that nobody answers.


#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "libs/devicelink/messages.h"
#include "libs/devicelink/socket_io.h"
#include "libs/devicelink/wire_format.h"

namespace floodtest {

enum class Flood {
  kJunk,     // 8 bytes that are no frame
  kAnswers,  // answers to the query itself, from thousands of devices (4096 MACs per sender)
};

class ReplyPortFlood {
 public:
  ReplyPortFlood(int senders, Flood kind, std::chrono::milliseconds limit = std::chrono::seconds(8))
      : senders_(senders), kind_(kind), limit_(limit) {
    target_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(target_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t length = sizeof a;
    ::getsockname(target_, reinterpret_cast<sockaddr*>(&a), &length);
    endpoint_ = {INADDR_LOOPBACK, ntohs(a.sin_port)};
    // Every datagram is made before the search starts: made only once the
    // query has come, they would come too late on a loaded machine (65,536
    // answers), and the search would see no flood at all. The query's search
    // id goes in as the senders start.
    for (int i = 0; i < senders_; ++i) datagrams_.push_back(Datagrams(i));
    listener_ = std::thread([this] { AwaitQueryThenFlood(); });
  }
  ~ReplyPortFlood() {
    Stop();
    ::close(target_);
  }

  // Where discovery is to send its query.
  devicelink::Endpoint target() const { return endpoint_; }
  void Stop() {
    stop_ = true;
    if (listener_.joinable()) listener_.join();
    for (auto& t : threads_) t.join();
    threads_.clear();
  }
  // Datagrams the senders handed to the kernel (the receiver's queue drops
  // what does not fit).
  uint64_t sent() const { return sent_; }

 private:
  static constexpr unsigned kBatch = 256;
  static constexpr unsigned kDevicesPerSender = 4096;

  void AwaitQueryThenFlood() {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const auto end = std::chrono::steady_clock::now() + limit_;
    uint8_t query[2048];
    ssize_t queryLength = -1;
    while (!stop_ && queryLength <= 0 && std::chrono::steady_clock::now() < end) {
      pollfd p{target_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      queryLength = ::recvfrom(target_, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &length);
    }
    if (queryLength <= 0) return;
    const auto frame = devicelink::wire::ParseDatagram(std::span<const uint8_t>(query, static_cast<std::size_t>(queryLength)));
    const auto decoded = frame ? devicelink::msg::DecodeDiscoverQuery(frame->payload) : std::nullopt;
    const uint32_t searchId = decoded ? decoded->searchId : 0;
    for (int i = 0; i < senders_; ++i)
      threads_.emplace_back([this, from, end, searchId, &datagrams = datagrams_[static_cast<std::size_t>(i)]] {
        if (kind_ == Flood::kAnswers) SetSearchId(datagrams, searchId);
        Send(from, end, datagrams);
      });
  }

  // Answers carry the search id first in their payload.
  static void SetSearchId(std::vector<std::vector<uint8_t>>& answers, uint32_t searchId) {
    devicelink::msg::DiscoverReply reply;
    reply.searchId = searchId;
    reply.record.assign(436, 0);
    const auto encoded = devicelink::msg::Encode(reply);
    for (auto& a : answers)
      std::copy(encoded.begin(), encoded.begin() + 4, a.begin() + devicelink::wire::kHeaderSize);
  }

  std::vector<std::vector<uint8_t>> Datagrams(int sender) const {
    if (kind_ == Flood::kJunk) return std::vector<std::vector<uint8_t>>(kBatch, {'j', 'u', 'n', 'k', 0, 1, 2, 3});
    std::vector<std::vector<uint8_t>> out;
    for (unsigned k = 0; k < kDevicesPerSender; ++k) {
      devicelink::msg::DiscoverReply reply;
      reply.record.assign(436, 0);
      std::snprintf(reinterpret_cast<char*>(reply.record.data() + 52), 40, "0e:%02x:00:00:%02x:%02x", sender & 0xff,
                    k >> 8, k & 0xff);
      out.push_back(
          devicelink::wire::Encode(devicelink::wire::Type::kDiscoverReply, 0, 0, devicelink::msg::Encode(reply)));
    }
    return out;
  }

  void Send(const sockaddr_in& to, std::chrono::steady_clock::time_point end,
            const std::vector<std::vector<uint8_t>>& datagrams) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    std::vector<iovec> pieces(datagrams.size());
    std::vector<mmsghdr> batch(datagrams.size());
    for (std::size_t k = 0; k < datagrams.size(); ++k) {
      pieces[k] = iovec{const_cast<uint8_t*>(datagrams[k].data()), datagrams[k].size()};
      batch[k].msg_hdr = msghdr{};
      batch[k].msg_hdr.msg_iov = &pieces[k];
      batch[k].msg_hdr.msg_iovlen = 1;
    }
    uint64_t sent = 0;
    while (!stop_ && std::chrono::steady_clock::now() < end)
      for (std::size_t first = 0; first < batch.size(); first += kBatch) {
        const int n = ::sendmmsg(fd, batch.data() + first, kBatch, 0);
        if (n > 0) sent += static_cast<uint64_t>(n);
      }
    ::close(fd);
    sent_ += sent;
  }

  const int senders_;
  const Flood kind_;
  const std::chrono::milliseconds limit_;
  int target_ = -1;
  devicelink::Endpoint endpoint_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> sent_{0};
  std::vector<std::vector<std::vector<uint8_t>>> datagrams_;  // per sender
  std::thread listener_;
  std::vector<std::thread> threads_;  // started by the listener, joined after it
};

}  // namespace floodtest

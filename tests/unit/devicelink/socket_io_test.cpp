// Sending several parts, or one buffer, as one stream: every byte in order
// across partial writes, and no wait past the deadline when nobody reads.
// Receiving: a read whose time is up ends there, however much is waiting,
// and leaves the stream in step.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "libs/devicelink/socket_io.h"

namespace {

using namespace devicelink;

struct SocketPair {
  SocketPair() {
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fd), 0);
    const int small = 4096;
    ::setsockopt(fd[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    ::fcntl(fd[0], F_SETFL, ::fcntl(fd[0], F_GETFL) | O_NONBLOCK);
  }
  ~SocketPair() {
    ::close(fd[0]);
    ::close(fd[1]);
  }
  int fd[2] = {-1, -1};
};

std::vector<uint8_t> Pattern(std::size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + seed);
  return v;
}

// Reads `size` bytes from fd in small reads, so the sender meets a full
// buffer again and again, while send runs; returns what arrived.
template <typename Send>
std::vector<uint8_t> ReceivedWhile(int fd, std::size_t size, Send send) {
  std::vector<uint8_t> received;
  std::thread reader([&] {
    uint8_t buf[1500];
    while (received.size() < size) {
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n <= 0) break;
      received.insert(received.end(), buf, buf + n);
    }
  });
  send();
  reader.join();
  return received;
}

TEST(GatherSend, EveryPartArrivesWholeAndInOrderAcrossPartialWrites) {
  SocketPair pair;
  const auto header = Pattern(20, 1), offset = Pattern(8, 2), body = Pattern(300 * 1024 + 3, 3), tail = Pattern(1, 4);
  std::vector<uint8_t> expected;
  for (const auto* part : {&header, &offset, &body, &tail}) expected.insert(expected.end(), part->begin(), part->end());

  const std::span<const uint8_t> parts[] = {header, offset, {}, body, tail};
  EXPECT_EQ(ReceivedWhile(pair.fd[1], expected.size(),
                          [&] { EXPECT_EQ(SendAll(pair.fd[0], parts, DeadlineIn(10000)), IoResult::kOk); }),
            expected);
}

// The one-buffer form is the same send with one part: whole across partial
// writes, bounded when nobody reads.
TEST(GatherSend, OneBufferIsSentAsOnePart) {
  SocketPair pair;
  const auto body = Pattern(300 * 1024 + 3, 6);
  const std::span<const uint8_t> one(body);
  EXPECT_EQ(ReceivedWhile(pair.fd[1], body.size(),
                          [&] { EXPECT_EQ(SendAll(pair.fd[0], one, DeadlineIn(10000)), IoResult::kOk); }),
            body);
  const auto big = Pattern(4 * 1024 * 1024, 7);
  EXPECT_EQ(SendAll(pair.fd[0], std::span<const uint8_t>(big), DeadlineIn(200)), IoResult::kTimeout);
  EXPECT_EQ(SendAll(pair.fd[0], std::span<const uint8_t>(), DeadlineIn(0)), IoResult::kOk);  // nothing to wait for
}

TEST(GatherSend, NobodyReadingEndsAtTheDeadline) {
  SocketPair pair;
  const auto body = Pattern(4 * 1024 * 1024, 5);
  const std::span<const uint8_t> parts[] = {body};
  const auto start = Clock::now();
  EXPECT_EQ(SendAll(pair.fd[0], parts, DeadlineIn(200)), IoResult::kTimeout);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
}

TEST(ReceiveFrames, ATimeUpTakesNothingMoreAndLeavesTheStreamInStep) {
  int fd[2] = {-1, -1};
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fd), 0);
  ::fcntl(fd[1], F_SETFL, ::fcntl(fd[1], F_GETFL) | O_NONBLOCK);
  // Frames waiting, one of them split between the reader and the socket.
  std::vector<uint8_t> stream;
  for (uint32_t sequence = 1; sequence <= 50; ++sequence) {
    const auto frame = wire::Encode(wire::Type::kQueryText, sequence, 0, Pattern(100, static_cast<uint8_t>(sequence)));
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  wire::FrameReader reader;
  reader.Feed(std::span<const uint8_t>(stream).first(130));
  ASSERT_EQ(::write(fd[0], stream.data() + 130, stream.size() - 130), static_cast<ssize_t>(stream.size() - 130));

  wire::Frame frame;
  EXPECT_EQ(ReceiveFrame(fd[1], reader, Clock::now() - std::chrono::milliseconds(1), frame), IoResult::kTimeout);
  EXPECT_EQ(ReceiveFrame(fd[1], reader, Clock::now(), frame), IoResult::kTimeout);
  // With time left, every frame comes in order.
  for (uint32_t sequence = 1; sequence <= 50; ++sequence) {
    ASSERT_EQ(ReceiveFrame(fd[1], reader, DeadlineIn(2000), frame), IoResult::kOk) << sequence;
    ASSERT_EQ(frame.header.sequence, sequence);
    ASSERT_TRUE(frame.payload == Pattern(100, static_cast<uint8_t>(sequence))) << sequence;
  }
  ::close(fd[0]);
  ::close(fd[1]);
}

}  // namespace

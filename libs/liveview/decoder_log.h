#pragma once
// libavcodec's messages, through a sink of the program's own: a device's
// stream decides what libavcodec says, and how often, so nothing it says
// goes to standard error unbounded. Warnings and errors are kept by their
// kind (the message's format): the first of each kind is written once, and
// its repeats are only counted, with a line of the count as it reaches 10,
// 1000, 100000, ...; the lines written are limited in rate too. Information
// and debugging messages are dropped.

#include <cstdint>
#include <string>
#include <vector>

namespace liveview {

class DecoderLog {
 public:
  struct Kind {
    std::string text;  // the first message of the kind, as written
    uint64_t count = 0;
  };
  // Installs the sink as libavcodec's log callback; once, from any thread.
  static void Install();
  // The kinds seen so far (at most kMaxKinds; later kinds are only counted in `others`).
  static std::vector<Kind> Kinds();
  static uint64_t Others();
  // Bytes written to standard error so far.
  static uint64_t BytesWritten();

  static constexpr std::size_t kMaxKinds = 64;
  static constexpr std::size_t kMaxLineBytes = 240;
  // At most this many lines in a burst, then one every kSecondsPerLine.
  static constexpr int kBurstLines = 20;
  static constexpr int kSecondsPerLine = 10;
};

}  // namespace liveview

#include "libs/liveview/decoder_log.h"

#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace liveview {
namespace {

struct Entry {
  const char* format;  // libavcodec's messages are literals: one pointer a kind
  int level;
  DecoderLog::Kind kind;
};

// Never destroyed: a decode still running as the program ends may log.
struct Sink {
  std::mutex mutex;
  std::vector<Entry> entries;
  uint64_t others = 0;
  uint64_t bytesWritten = 0;
  double tokens = DecoderLog::kBurstLines;
  std::chrono::steady_clock::time_point refilled = std::chrono::steady_clock::now();
};

Sink& TheSink() {
  static Sink* sink = new Sink;
  return *sink;
}

bool PowerOfHundredTimesTen(uint64_t n) {
  // 10, 1000, 100000, ...
  if (n < 10) return false;
  while (n % 100 == 0) n /= 100;
  return n == 10;
}

// Under the sink's lock: one line, if the rate allows.
void WriteLine(Sink& sink, const std::string& line) {
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - sink.refilled).count();
  sink.refilled = now;
  sink.tokens = std::min<double>(DecoderLog::kBurstLines, sink.tokens + seconds / DecoderLog::kSecondsPerLine);
  if (sink.tokens < 1) return;
  sink.tokens -= 1;
  const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
  if (written > 0) sink.bytesWritten += static_cast<uint64_t>(written);
}

std::string Line(const char* what, const std::string& text) {
  std::string line = std::string("liveview: libavcodec ") + what + text;
  if (line.size() > DecoderLog::kMaxLineBytes) line.resize(DecoderLog::kMaxLineBytes);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line + "\n";
}

void Callback(void* context, int level, const char* format, va_list args) {
  if (level > AV_LOG_WARNING || !format) return;
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  for (Entry& e : sink.entries) {
    if (e.format != format || e.level != level) continue;
    ++e.kind.count;
    if (PowerOfHundredTimesTen(e.kind.count))
      WriteLine(sink, Line(("(" + std::to_string(e.kind.count) + " times) ").c_str(), e.kind.text));
    return;
  }
  if (sink.entries.size() == DecoderLog::kMaxKinds) {
    ++sink.others;
    return;
  }
  char text[DecoderLog::kMaxLineBytes];
  int prefixed = 1;
  av_log_format_line2(context, level, format, args, text, sizeof text, &prefixed);
  sink.entries.push_back({format, level, {text, 1}});
  WriteLine(sink, Line("", text));
}

}  // namespace

void DecoderLog::Install() {
  static std::once_flag once;
  std::call_once(once, [] {
    (void)TheSink();
    av_log_set_callback(Callback);
  });
}

std::vector<DecoderLog::Kind> DecoderLog::Kinds() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  std::vector<Kind> kinds;
  for (const Entry& e : sink.entries) kinds.push_back(e.kind);
  return kinds;
}

uint64_t DecoderLog::Others() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  return sink.others;
}

uint64_t DecoderLog::BytesWritten() {
  Sink& sink = TheSink();
  std::lock_guard lock(sink.mutex);
  return sink.bytesWritten;
}

}  // namespace liveview

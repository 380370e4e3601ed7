#pragma once
// Properties the frame targets check on every input they accept: what a
// decoder accepts encodes back to a payload the decoder reads the same way;
// for the fixed layouts (no text field whose bytes after the NUL are free),
// to the very same bytes. A broken property aborts, which libFuzzer reports.
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "libs/devicelink/messages.h"

namespace fuzzcheck {

inline void Check(bool ok) {
  if (!ok) std::abort();
}

enum class Layout { kFixed, kWithText };

template <typename Decode>
void RoundTrip(std::span<const uint8_t> payload, Decode decode, Layout layout) {
  const auto decoded = decode(payload);
  if (!decoded) return;
  const std::vector<uint8_t> encoded = devicelink::msg::Encode(*decoded);
  if (layout == Layout::kFixed) Check(std::equal(encoded.begin(), encoded.end(), payload.begin(), payload.end()));
  const auto again = decode(encoded);
  Check(again.has_value());
  Check(devicelink::msg::Encode(*again) == encoded);
}

}  // namespace fuzzcheck

#pragma once
// A loopback range 127.N.0.0/16 of the test's own, for simulated devices
// placed on loopback addresses outside a private network namespace. Every
// test that does so takes its range here, so that the cases of one suite and
// the suites of two builds run side by side never place devices on the same
// addresses: a range is claimed (tests/support/exclusive_name.h) before it is
// used and stays claimed while the LoopbackRange lives, a device's restart
// or move included. A process that did not claim (the demo on loopback, a
// tool run by hand) can still hold an address there; the devices' bind then
// fails with "Address already in use", and the start is tried again on
// another range.

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/exclusive_name.h"

namespace testsupport {

class LoopbackRange {
 public:
  // A range no other test holds, or nothing when all are held. 127.0 is
  // left out: everyone's 127.0.0.1 lies there.
  static std::optional<LoopbackRange> Claim() {
    auto claimed = ClaimNumber("loopback-range", 1, 254);
    if (!claimed) return std::nullopt;
    return LoopbackRange(claimed->value, std::move(claimed->claim));
  }

  int second() const { return second_; }
  // "127.N.", to which the last two octets are added.
  std::string Prefix() const { return "127." + std::to_string(second_) + "."; }
  // divarod-devsim's option that serves every device a.b.c.d on 127.N.c.d.
  std::string DevsimOption() const { return "--loopback=127." + std::to_string(second_); }

 private:
  LoopbackRange(int second, ExclusiveName claim) : second_(second), claim_(std::move(claim)) {}
  int second_;
  ExclusiveName claim_;
};

// Whether a start's error says an address was already in use.
inline bool AddressWasInUse(const std::string& error) {
  return error.find(std::strerror(EADDRINUSE)) != std::string::npos;
}

// Calls start(range, error) on a range of the test's own until it returns
// true, taking another range as long as it failed with an address already in
// use (any other failure is returned at once). The range it succeeded on,
// which the caller keeps as long as its devices live; nothing, with the last
// failure in error, when no range would do.
template <typename Start>
std::optional<LoopbackRange> StartOnFreeLoopbackRange(Start&& start, std::string& error, int attempts = 8) {
  std::vector<LoopbackRange> refused;  // kept claimed, so that no attempt draws one again
  error = "every loopback range is held by another test";
  for (int attempt = 0; attempt < attempts; ++attempt) {
    auto range = LoopbackRange::Claim();
    if (!range) return std::nullopt;
    error.clear();
    if (start(static_cast<const LoopbackRange&>(*range), error)) return range;
    if (!AddressWasInUse(error)) return std::nullopt;
    refused.push_back(std::move(*range));
  }
  return std::nullopt;
}

}  // namespace testsupport

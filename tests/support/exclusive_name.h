#pragma once
// A name that no other process holds while this one does: a socket bound to
// it in the abstract socket namespace. Binding the name is the claim, and
// only one socket can be bound to it; the kernel frees it when the socket
// closes or the process ends, a crash included, so no file is left behind
// and no stale claim outlives its holder. Tests that run side by side (the
// cases of one suite, and the suites of two builds on one machine) claim what
// they must not share this way: a loopback range, a user id. The namespace
// is the network namespace's, so a test inside scripts/netns-run claims only
// among the processes there, which share nothing else with it either.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class ExclusiveName {
 public:
  // The claim of name, or nothing when another process holds it.
  static std::optional<ExclusiveName> Claim(const std::string& name) {
    const std::string full = "divarod-test/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (full.size() + 1 > sizeof address.sun_path) return std::nullopt;
    address.sun_path[0] = '\0';  // abstract: no file
    std::copy(full.begin(), full.end(), address.sun_path + 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + full.size());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
      ::close(fd);
      return std::nullopt;
    }
    return ExclusiveName(fd);
  }

  ExclusiveName(ExclusiveName&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  ExclusiveName& operator=(ExclusiveName&& other) noexcept {
    if (this != &other) {
      Release();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ExclusiveName(const ExclusiveName&) = delete;
  ExclusiveName& operator=(const ExclusiveName&) = delete;
  ~ExclusiveName() { Release(); }

 private:
  explicit ExclusiveName(int fd) : fd_(fd) {}
  void Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_ = -1;
};

// One number of first..last, held under the name "<kind>/<number>".
struct ClaimedNumber {
  int value;
  ExclusiveName claim;
};

// Claims a number of first..last that no other process holds, trying them in
// a random order (so that claimants rarely ask for the same one); `skip`
// numbers are never taken. Nothing when every number is held.
inline std::optional<ClaimedNumber> ClaimNumber(const std::string& kind, int first, int last,
                                                const std::vector<int>& skip = {}) {
  std::vector<int> numbers(static_cast<std::size_t>(last - first + 1));
  std::iota(numbers.begin(), numbers.end(), first);
  std::mt19937 random(std::random_device{}());
  std::shuffle(numbers.begin(), numbers.end(), random);
  for (const int n : numbers) {
    if (std::find(skip.begin(), skip.end(), n) != skip.end()) continue;
    if (auto claim = ExclusiveName::Claim(kind + "/" + std::to_string(n))) return ClaimedNumber{n, std::move(*claim)};
  }
  return std::nullopt;
}

}  // namespace testsupport

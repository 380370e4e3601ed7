#include "tools/devsim/interface_addresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <vector>

#include "libs/devicelink/socket_io.h"

extern char** environ;

namespace devsim {
namespace {

// Runs `ip` with these arguments (no shell in between); true when it succeeds.
bool RunIp(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = "ip";
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "ip", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool IsLocalAddress(const std::string& ip) {
  const auto wanted = devicelink::ParseIpv4(ip);
  if (!wanted) return false;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return false;
  bool found = false;
  for (const ifaddrs* a = list; a && !found; a = a->ifa_next)
    if (a->ifa_addr && a->ifa_addr->sa_family == AF_INET)
      found = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr) == *wanted;
  ::freeifaddrs(list);
  return found;
}

bool InterfaceAddresses::Prepare(std::string& error) {
  if (interface_.empty() || interface_.size() > 15) {
    error = "bad interface name " + interface_;
    return false;
  }
  for (char c : interface_)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
      error = "bad interface name " + interface_;
      return false;
    }
  std::ofstream promote("/proc/sys/net/ipv4/conf/" + interface_ + "/promote_secondaries");
  promote << "1\n";
  promote.flush();
  canRelease_ = promote.good();
  if (!canRelease_)
    std::fprintf(stderr, "devsim: %s keeps every address it is given (cannot set promote_secondaries)\n",
                 interface_.c_str());
  return true;
}

bool InterfaceAddresses::Take(const std::string& ip, const std::string& netmask, std::string& error) {
  if (!devicelink::ParseIpv4(ip)) {
    error = "no usable address " + ip;
    return false;
  }
  if (IsLocalAddress(ip)) return true;
  const auto mask = devicelink::ParseIpv4(netmask);
  const int prefix = mask ? __builtin_popcount(*mask) : 32;
  const std::string withPrefix = ip + "/" + std::to_string(prefix);
  if (!RunIp({"addr", "add", withPrefix, "dev", interface_})) {
    error = "cannot give " + ip + " to " + interface_;
    return false;
  }
  added_[ip] = prefix;
  return true;
}

void InterfaceAddresses::ReleaseAllBut(const std::set<std::string>& inUse) {
  if (!canRelease_) return;
  for (auto it = added_.begin(); it != added_.end();) {
    if (inUse.count(it->first)) {
      ++it;
      continue;
    }
    if (!RunIp({"addr", "del", it->first + "/" + std::to_string(it->second), "dev", interface_}))
      std::fprintf(stderr, "devsim: cannot remove %s from %s\n", it->first.c_str(), interface_.c_str());
    it = added_.erase(it);
  }
}

}  // namespace devsim

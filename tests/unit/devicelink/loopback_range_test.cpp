// The loopback ranges tests place their simulated devices on: a range is one
// process's alone, and an address that a process which did not claim holds
// there sends the start to another range.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "libs/devicelink/socket_io.h"
#include "tests/support/exclusive_name.h"
#include "tests/support/loopback_range.h"
#include "tools/devsim/simulator.h"

namespace {

using testsupport::ExclusiveName;
using testsupport::LoopbackRange;

// Whether a child process can claim name (the claim the parent holds is no
// more its than any other process's).
bool ChildCanClaim(const std::string& name) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(ExclusiveName::Claim(name) ? 0 : 1);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ExclusiveName, IsHeldByOneProcessUntilItsHolderEnds) {
  const std::string name = "exclusive-name-test/" + std::to_string(::getpid());
  {
    auto claim = ExclusiveName::Claim(name);
    ASSERT_TRUE(claim);
    EXPECT_FALSE(ChildCanClaim(name));
    EXPECT_FALSE(ExclusiveName::Claim(name));
  }
  EXPECT_TRUE(ChildCanClaim(name));  // the child's claim ended with it
  EXPECT_TRUE(ExclusiveName::Claim(name));
}

// A listener on 127.N.1.1:34567 that holds no claim, as a program started by
// hand would (with address reuse, as the simulator binds: connections of an
// earlier test there may linger in TIME_WAIT). Should a program that did
// not claim listen there already, it is the outsider.
devicelink::Socket OutsiderListeningIn(const LoopbackRange& range) {
  devicelink::Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const int one = 1;
  ::setsockopt(s.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(34567);
  a.sin_addr.s_addr = htonl(*devicelink::ParseIpv4(range.Prefix() + "1.1"));
  if (::bind(s.get(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(s.get(), 1) != 0) {
    EXPECT_EQ(errno, EADDRINUSE) << std::strerror(errno);
  }
  return s;
}

TEST(LoopbackRange, AnAddressHeldOutsideTheClaimsSendsTheStartToAnotherRange) {
  devicelink::Socket outsider;
  int firstRange = -1;
  int starts = 0;
  std::unique_ptr<devsim::Simulator> sim;
  std::string error;
  const auto range = testsupport::StartOnFreeLoopbackRange(
      [&](const LoopbackRange& r, std::string& why) {
        if (++starts == 1) {
          firstRange = r.second();
          outsider = OutsiderListeningIn(r);
        }
        devsim::Fleet fleet;
        devsim::DeviceProfile d;
        d.section = "camera";
        d.mac = "02:00:00:00:00:01";
        d.ip = r.Prefix() + "1.1";
        fleet.devices.push_back(d);
        devsim::SimulatorOptions options;
        options.loopback = true;
        options.discovery = {{0x7F000001u, 0}};
        sim = std::make_unique<devsim::Simulator>(std::move(fleet), options);
        return sim->Open(why);
      },
      error);
  ASSERT_TRUE(range) << error;
  EXPECT_EQ(starts, 2);
  EXPECT_NE(range->second(), firstRange);
  // The range it moved to is this process's: nobody else can claim it now.
  EXPECT_FALSE(ChildCanClaim("loopback-range/" + std::to_string(range->second())));
}

TEST(LoopbackRange, AnyOtherFailureIsNotTriedAgain) {
  int starts = 0;
  std::string error;
  const auto range = testsupport::StartOnFreeLoopbackRange(
      [&](const LoopbackRange&, std::string& why) {
        ++starts;
        why = "[camera] bad fleet";
        return false;
      },
      error);
  EXPECT_FALSE(range);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(error, "[camera] bad fleet");
}

}  // namespace

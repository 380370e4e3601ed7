#pragma once
// Runs a piece of a test as an ordinary user. Tests that check what the
// program does with files an ordinary user may not read or write run as root
// in CI, where every permission check passes; they hand the piece to a child
// process that drops to an unprivileged uid and gid first. Run by an ordinary
// user already, the child keeps that user's ids.
//
// Only for tests that start no threads of their own: the child of a fork
// carries the one thread that called it.

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace testsupport {

// Ids no account on a test machine uses; the kernel needs no account for them.
inline constexpr uid_t kOrdinaryUid = 47011;
inline constexpr gid_t kOrdinaryGid = 47011;
// A second ordinary user: the owner of what the first one did not make.
inline constexpr uid_t kOtherUid = 47012;
inline constexpr gid_t kOtherGid = 47012;

inline bool RunningAsRoot() { return ::geteuid() == 0; }

// Makes path belong to the ordinary user (as root; otherwise it already does).
inline bool GiveToOrdinaryUser(const std::string& path) {
  return !RunningAsRoot() || ::lchown(path.c_str(), kOrdinaryUid, kOrdinaryGid) == 0;
}

// Drops the calling process (a child about to run the piece or a program) to
// uid and gid `uid`, without supplementary groups; false when it could not.
// Done from root only; an ordinary user stays who it is.
inline bool DropToOrdinaryUser(uid_t uid = kOrdinaryUid) {
  if (!RunningAsRoot()) return true;
  const gid_t gid = static_cast<gid_t>(uid);
  return ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 && ::setresuid(uid, uid, uid) == 0;
}

// Runs piece in a child process as the ordinary user (as root: uid and gid
// `uid`, so that cases running side by side can be users of their own) and
// returns its result (0..254), or -1 when the child could not drop its
// privileges or died.
inline int RunAsOrdinaryUser(const std::function<int()>& piece, uid_t uid = kOrdinaryUid) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (!DropToOrdinaryUser(uid)) ::_exit(255);
    const int result = piece();
    ::_exit(result >= 0 && result < 255 ? result : 254);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport

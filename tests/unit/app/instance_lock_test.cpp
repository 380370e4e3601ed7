// The single-instance lock's file where another user of the machine may have
// put something first: without XDG_RUNTIME_DIR the lock lives in /tmp, where
// anyone may create the name. A planted link is not followed and a file that
// is not the user's own is not taken; start-up then goes on as a first
// instance (docs/architecture.md). Each case runs AcquireInstanceLock in a
// child process as an ordinary user of its own, so that cases running side by
// side never share a lock path.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "app/instance_lock.h"
#include "tests/support/exclusive_name.h"
#include "tests/support/ordinary_user.h"

void PrintTo(InstanceLockResult r, std::ostream* os) {
  *os << (r == InstanceLockResult::Acquired ? "Acquired" : r == InstanceLockResult::AlreadyHeld ? "AlreadyHeld" : "Unavailable");
}

namespace {

using testsupport::RunAsOrdinaryUser;
using testsupport::RunningAsRoot;

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Where the lock is looked for: /tmp (XDG_RUNTIME_DIR unset) or a runtime
// folder of the user's own.
enum class LockFolder { kTmp, kRuntime };

struct PlantCase {
  const char* name;
  LockFolder folder;
};

void PrintTo(const PlantCase& c, std::ostream* os) { *os << c.name; }

class InstanceLockFile : public ::testing::TestWithParam<PlantCase> {
 protected:
  // Every case is a user of its own, so that its lock path in /tmp is its
  // own: a user id no other running test holds (the same case of another
  // build's suite may run at the same time).
  void Prepare() {
    if (!RunningAsRoot() && GetParam().folder == LockFolder::kTmp) {
      GTEST_SKIP() << "the lock in /tmp is the one of this user's own program";
    }
    if (RunningAsRoot()) {
      claimedUser = testsupport::ClaimNumber("uid", 47100, 47999);
      ASSERT_TRUE(claimedUser) << "every test user id is held by another test";
      user = static_cast<uid_t>(claimedUser->value);
    } else {
      user = ::geteuid();
    }
    if (RunningAsRoot()) {
      ASSERT_EQ(::chown(Native(home.path()).c_str(), user, static_cast<gid_t>(user)), 0);
    }
    runtime = GetParam().folder == LockFolder::kRuntime ? home.path() + "/runtime" : QString();
    if (!runtime.isEmpty()) {
      ASSERT_TRUE(QDir().mkpath(runtime));
      ::chmod(Native(runtime).c_str(), 0700);
      ::chown(Native(runtime).c_str(), user, static_cast<gid_t>(user));
    }
    lockPath = runtime.isEmpty() ? QString("/tmp/TK_TOOL-%1.lock").arg(user) : runtime + "/TK_TOOL.lock";
    ::unlink(Native(lockPath).c_str());
  }
  void TearDown() override {
    if (!lockPath.isEmpty()) ::unlink(Native(lockPath).c_str());
  }

  // In the child: the environment the program starts with.
  void UseRuntimeFolder() const {
    if (runtime.isEmpty()) {
      ::unsetenv("XDG_RUNTIME_DIR");
    } else {
      ::setenv("XDG_RUNTIME_DIR", Native(runtime).c_str(), 1);
    }
  }

  InstanceLockResult AcquireAsTheUser() {
    const int result = RunAsOrdinaryUser(
        [&] {
          UseRuntimeFolder();
          if (InstanceLockPath("TK_TOOL") != lockPath) return 100;
          return static_cast<int>(AcquireInstanceLock("TK_TOOL"));
        },
        user);
    EXPECT_GE(result, 0) << "the child did not run";
    EXPECT_NE(result, 100) << "the lock is not at " << lockPath.toStdString();
    return static_cast<InstanceLockResult>(result);
  }

  std::optional<testsupport::ClaimedNumber> claimedUser;
  QTemporaryDir home;  // the user's own folder, outside the lock folder
  QString runtime;
  QString lockPath;
  uid_t user = 0;
};

// A link planted at the lock's name, pointing at a file the user may create:
// the program must not create it (nor take a lock through it).
TEST_P(InstanceLockFile, PlantedLinkIsNotFollowed) {
  Prepare();
  if (IsSkipped()) return;
  const QString victim = home.path() + "/created-by-the-program";
  ASSERT_EQ(::symlink(Native(victim).c_str(), Native(lockPath).c_str()), 0);
  if (RunningAsRoot()) ::lchown(Native(lockPath).c_str(), testsupport::kOtherUid, testsupport::kOtherGid);
  EXPECT_EQ(AcquireAsTheUser(), InstanceLockResult::Unavailable);
  EXPECT_FALSE(QFile::exists(victim));
}

// Another user's file, writable for all and held under flock by that user:
// it must neither keep the program from starting ("running") nor be taken as
// the lock while it is free.
TEST_P(InstanceLockFile, AnotherUsersFileIsNotTaken) {
  if (!RunningAsRoot()) {
    GTEST_SKIP() << "only root may make a file of another user";
  }
  Prepare();
  const int fd = ::open(Native(lockPath).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  ASSERT_GE(fd, 0);
  ::fchmod(fd, 0666);
  ASSERT_EQ(::fchown(fd, testsupport::kOtherUid, testsupport::kOtherGid), 0);
  EXPECT_EQ(AcquireAsTheUser(), InstanceLockResult::Unavailable) << "free";
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(AcquireAsTheUser(), InstanceLockResult::Unavailable) << "held";
  ::close(fd);
}

// A hard link to one of the user's own files is no lock file of the program's.
TEST_P(InstanceLockFile, HardLinkToAFileOfTheUserIsNotTaken) {
  Prepare();
  if (IsSkipped()) return;
  const QString own = home.path() + "/notes.txt";
  {
    QFile f(own);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  ::chown(Native(own).c_str(), user, static_cast<gid_t>(user));
  ASSERT_EQ(::link(Native(own).c_str(), Native(lockPath).c_str()), 0);  // the user's folder is in /tmp too
  EXPECT_EQ(AcquireAsTheUser(), InstanceLockResult::Unavailable);
}

// The ordinary case still works: the first start takes the lock (also on a
// file an earlier run left), and a second open finds it held.
TEST_P(InstanceLockFile, OwnLockIsTakenAndASecondStartFindsItHeld) {
  Prepare();
  if (IsSkipped()) return;
  for (int run = 0; run < 2; ++run) {
    const int result = RunAsOrdinaryUser(
        [&] {
          UseRuntimeFolder();
          const auto first = AcquireInstanceLock("TK_TOOL");
          const auto second = AcquireInstanceLock("TK_TOOL");
          return first == InstanceLockResult::Acquired && second == InstanceLockResult::AlreadyHeld ? 1 : 0;
        },
        user);
    EXPECT_EQ(result, 1) << "run " << run;
  }
  struct stat st {};
  ASSERT_EQ(::lstat(Native(lockPath).c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_uid, user);
}

const PlantCase kPlantCases[] = {
    {"tmp", LockFolder::kTmp},
    {"runtime_folder", LockFolder::kRuntime},
};

INSTANTIATE_TEST_SUITE_P(Folders, InstanceLockFile, ::testing::ValuesIn(kPlantCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

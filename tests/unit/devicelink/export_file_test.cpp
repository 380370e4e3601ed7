// Configuration export writes the chosen file whole or not at all: a refused
// export, or one whose write breaks off, leaves the file that stood there
// byte for byte and no temporary file beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/unit/devicelink/sim_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Files larger than `bytes` cannot be written while it lives (the write fails
// with EFBIG instead of the signal ending the process).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  sighandler_t previous_{};
  bool ok_ = false;
};

class ExportFileTest : public simtest::SimFixture {
 protected:
  void Shape(std::vector<devsim::DeviceProfile>& d) override { d[1].refuseExport = true; }
  void SetUp() override {
    SimFixture::SetUp();
    folder = fs::path(::testing::TempDir()) / ("export-" + subnet);
    fs::remove_all(folder);
    fs::create_directories(folder);
    target = folder / "camera.coi";
    std::ofstream(target, std::ios::binary) << kOld;
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  }
  void TearDown() override {
    fs::remove_all(folder);
    SimFixture::TearDown();
  }

  static constexpr const char* kOld = "the configuration exported last week\n";
  fs::path folder;
  fs::path target;
};

TEST_F(ExportFileTest, ReplacesTheFileWholeAndKeepsItsPermissions) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  ASSERT_EQ(lib.SdkExportConfig(h, 0, target.c_str(), 0, 0), 1);
  const std::string file = ReadAll(target);
  EXPECT_EQ(file.rfind("DIVAROD-DEVICE-CONFIG 1\n", 0), 0u);
  EXPECT_NE(file.find("\nchecksum="), std::string::npos);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"camera.coi"});
}

TEST_F(ExportFileTest, ExportThroughASymbolicLinkReplacesWhatItPointsAt) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  const fs::path link = folder / "latest.coi";
  fs::create_symlink(target, link);
  ASSERT_EQ(lib.SdkExportConfig(h, 0, link.c_str(), 0, 0), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(ReadAll(target), kOld);
}

TEST_F(ExportFileTest, RefusedExportLeavesTheOldFile) {
  const int32_t h = Login(2);
  ASSERT_NE(h, 0);
  EXPECT_EQ(lib.SdkExportConfig(h, 0, target.c_str(), 0, 0), 0);
  EXPECT_EQ(ReadAll(target), kOld);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"camera.coi"});
}

TEST_F(ExportFileTest, WriteThatBreaksOffLeavesTheOldFileAndNoTemporary) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  {
    FileSizeLimit limit(256);  // the old file fits, the configuration (about 3 KB) does not
    ASSERT_TRUE(limit.ok());
    EXPECT_EQ(lib.SdkExportConfig(h, 0, target.c_str(), 0, 0), 0);
  }
  EXPECT_EQ(ReadAll(target), kOld);
  EXPECT_EQ(Names(folder), std::vector<std::string>{"camera.coi"});
  // The same export with room to write succeeds.
  EXPECT_EQ(lib.SdkExportConfig(h, 0, target.c_str(), 0, 0), 1);
}

TEST_F(ExportFileTest, FolderAsTargetIsRefused) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  EXPECT_EQ(lib.SdkExportConfig(h, 0, folder.c_str(), 0, 0), 0);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Names(folder), std::vector<std::string>{"camera.coi"});
}

// A new file gets what the user's umask leaves: an export can carry account
// data, and a user with umask 077 keeps it to themselves.
TEST_F(ExportFileTest, NewFileHonoursTheUmask) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  for (const mode_t mask : {mode_t{077}, mode_t{022}}) {
    const fs::path fresh = folder / ("new-" + std::to_string(mask) + ".coi");
    const mode_t old = ::umask(mask);
    const int result = lib.SdkExportConfig(h, 0, fresh.c_str(), 0, 0);
    ::umask(old);
    ASSERT_EQ(result, 1);
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << "umask " << mask;
  }
}

// A replaced file keeps its owner and group where the process may set them.
TEST_F(ExportFileTest, ReplacedFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root may give a file to another user";
  }
  ASSERT_EQ(::chown(target.c_str(), 47012, 47012), 0);
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  ASSERT_EQ(lib.SdkExportConfig(h, 0, target.c_str(), 0, 0), 1);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 47012u);
  EXPECT_EQ(st.st_gid, 47012u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(ReadAll(target), kOld);
}

// Any name the folder takes can be written, the longest included.
TEST_F(ExportFileTest, LongestNameIsWritten) {
  const int32_t h = Login(1);
  ASSERT_NE(h, 0);
  const fs::path longest = folder / (std::string(251, 'e') + ".coi");
  ASSERT_EQ(lib.SdkExportConfig(h, 0, longest.c_str(), 0, 0), 1);
  EXPECT_EQ(ReadAll(longest).rfind("DIVAROD-DEVICE-CONFIG 1\n", 0), 0u);
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"camera.coi", longest.filename().string()}));
}

}  // namespace

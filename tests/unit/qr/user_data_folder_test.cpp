// The per-user folder under a controlled XDG data home, and the directory
// tree creation that the QR display relies on.
#include "core/qr/user_data_folder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

class UserDataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tmp_.isValid());
    root_ = tmp_.path().toStdString();
    saved_ = qgetenv("XDG_DATA_HOME");
    had_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
  }
  void TearDown() override {
    if (had_) qputenv("XDG_DATA_HOME", saved_);
    else qunsetenv("XDG_DATA_HOME");
  }
  void UseDataHome(const std::string& dir) { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir)); }

  QTemporaryDir tmp_;
  std::string root_;
  QByteArray saved_;
  bool had_ = false;
};

TEST_F(UserDataFolderTest, UsesTheDataHomeWithOneTrailingSeparator) {
  fs::create_directories(root_ + "/AppData/Local");
  for (const std::string& home : {root_ + "/AppData/Local", root_ + "/AppData/Local/"}) {
    UseDataHome(home);
    std::string folder = "unchanged";
    ASSERT_EQ(GetUserDataFolder(folder), kUserDataFolderFound);
    EXPECT_EQ(folder, root_ + "/AppData/Local/Riduzev/");
  }
  EXPECT_FALSE(fs::exists(root_ + "/AppData/Local/Riduzev")) << "the lookup creates nothing";
}

TEST_F(UserDataFolderTest, PrefersTheLocalLowSiblingWhenItExists) {
  fs::create_directories(root_ + "/AppData/Local");
  fs::create_directories(root_ + "/AppData/LocalLow");
  UseDataHome(root_ + "/AppData/Local");
  std::string folder;
  ASSERT_EQ(GetUserDataFolder(folder), kUserDataFolderFound);
  EXPECT_EQ(folder, root_ + "/AppData/LocalLow/Riduzev/");
}

TEST_F(UserDataFolderTest, KeepsAPathWithoutLocalAsItIs) {
  fs::create_directories(root_ + "/share");
  UseDataHome(root_ + "/share");
  std::string folder;
  ASSERT_EQ(GetUserDataFolder(folder), kUserDataFolderFound);
  EXPECT_EQ(folder, root_ + "/share/Riduzev/");
}

TEST_F(UserDataFolderTest, HandlesAVeryLongDataHomeWhole) {
  std::string home = root_;
  while (home.size() < 600) home += "/a-rather-long-folder-name";
  fs::create_directories(home);
  UseDataHome(home);
  std::string folder;
  ASSERT_EQ(GetUserDataFolder(folder), kUserDataFolderFound);
  EXPECT_EQ(folder, home + "/Riduzev/");
}

TEST_F(UserDataFolderTest, CreateDirectoryTreeMakesEveryLevelButAnUnterminatedLastOne) {
  const std::string base = root_ + "/one/two/three/";
  CreateDirectoryTree(base + "file.bmp");
  EXPECT_TRUE(fs::is_directory(root_ + "/one/two/three"));
  EXPECT_FALSE(fs::exists(base + "file.bmp"));

  CreateDirectoryTree(root_ + "/one/two/three/");  // all there: nothing changes, nothing reported
  EXPECT_TRUE(fs::is_directory(root_ + "/one/two/three"));
  CreateDirectoryTree(root_ + "//one//double/");
  EXPECT_TRUE(fs::is_directory(root_ + "/one/double"));
}

}  // namespace

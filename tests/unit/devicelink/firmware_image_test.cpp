// The firmware image cache: one copy per state of a file, shared while any
// holder lives, and never a copy mixed from two versions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "libs/devicelink/firmware_image.h"
#include "tests/support/late_fifo_writer.h"

namespace {

using devicelink::FirmwareImageCache;

class FirmwareImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A name of this process's own: the same case of another build's suite may run at the same time.
    path = ::testing::TempDir() + "/fw-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    Write('a', 1000);
  }
  void TearDown() override { std::remove(path.c_str()); }
  void Write(char fill, int size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string(static_cast<std::size_t>(size), fill);
  }
  std::string path;
  FirmwareImageCache cache;
};

TEST_F(FirmwareImageTest, UnchangedFileIsSharedAndReleasedWithItsLastHolder) {
  auto a = cache.Acquire(path, 1 << 20);
  auto b = cache.Acquire(path, 1 << 20);
  ASSERT_TRUE(a);
  EXPECT_EQ(a.get(), b.get());
  EXPECT_EQ(a->size(), 1000u);
  EXPECT_EQ(a->sha256(), devicelink::Sha256Of(a->bytes()));
  EXPECT_EQ(cache.HeldImages(), 1u);
  std::weak_ptr<const devicelink::FirmwareImage> watch = a;
  a.reset();
  EXPECT_EQ(cache.HeldImages(), 1u);
  b.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(cache.HeldImages(), 0u);
}

TEST_F(FirmwareImageTest, ChangedFileGivesAFreshCopyAndTheOldHolderKeepsItsOwn) {
  auto before = cache.Acquire(path, 1 << 20);
  ASSERT_TRUE(before);
  Write('b', 1001);
  auto after = cache.Acquire(path, 1 << 20);
  ASSERT_TRUE(after);
  EXPECT_NE(before.get(), after.get());
  for (uint8_t byte : before->bytes()) ASSERT_EQ(byte, 'a');
  for (uint8_t byte : after->bytes()) ASSERT_EQ(byte, 'b');
  EXPECT_NE(before->sha256(), after->sha256());
}

TEST_F(FirmwareImageTest, FilesThatCannotBeSentAreRefused) {
  EXPECT_FALSE(cache.Acquire(path + ".missing", 1 << 20));
  EXPECT_FALSE(cache.Acquire("", 1 << 20));
  EXPECT_FALSE(cache.Acquire(::testing::TempDir(), 1 << 20));  // a directory
  EXPECT_FALSE(cache.Acquire(path, 999));                       // above the limit
  Write('a', 0);
  EXPECT_FALSE(cache.Acquire(path, 1 << 20));  // empty
  EXPECT_EQ(cache.HeldImages(), 0u);
}

// A FIFO chosen as the firmware file is refused at once, before any device
// waits on it: the path's kind is tested before it is opened.
TEST_F(FirmwareImageTest, FifoIsRefusedWithoutWaiting) {
  testsupport::LateFifoWriter fifo(path + ".fifo");
  ASSERT_TRUE(fifo.made());
  std::shared_ptr<const devicelink::FirmwareImage> image;
  EXPECT_TRUE(fifo.ReturnsBeforeAWriter([&] { image = cache.Acquire(fifo.path(), 1 << 20); }));
  EXPECT_FALSE(image);
  EXPECT_FALSE(cache.Acquire("/dev/zero", 1 << 20));
}

}  // namespace

#pragma once
// Firmware images held once per file. A batch upgrade opens one upgrade per
// device with the same file; each open shares the copy already in memory as
// long as the file on disk is the one that was read, so a run of many
// devices holds one image, released when its last upgrade closes.
//
// A copy is never a mix of two versions of the file: a read during which the
// file changes is thrown away and read again, and an open after the file
// changed gets a fresh copy while the upgrades already open keep sending the
// whole one they hold.

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "libs/devicelink/sha256.h"

namespace devicelink {

// What tells two states of one file apart without reading it.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

class FirmwareImage {
 public:
  FirmwareImage(std::vector<uint8_t> bytes, FileIdentity identity);
  std::span<const uint8_t> bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  const Digest& sha256() const { return sha256_; }
  const FileIdentity& identity() const { return identity_; }

 private:
  const std::vector<uint8_t> bytes_;
  const Digest sha256_;  // computed once, for every device that gets this copy
  const FileIdentity identity_;
};

class FirmwareImageCache {
 public:
  // The image of the file at path: the copy in memory when the file is still
  // the one it was read from, else a fresh read. Null for an empty,
  // unreadable or too large file, and for one that kept changing while it was
  // read.
  std::shared_ptr<const FirmwareImage> Acquire(const std::string& path, uint64_t limit);
  // Copies in memory now (those some upgrade still holds).
  std::size_t HeldImages();

 private:
  std::mutex mutex_;
  std::map<std::string, std::weak_ptr<const FirmwareImage>> images_;
};

// Reads the whole file, again (a few times at most) when it changed while it
// was read. Exposed for tests.
std::shared_ptr<const FirmwareImage> ReadFirmwareImage(const std::string& path, uint64_t limit);

}  // namespace devicelink

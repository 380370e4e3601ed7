#include "libs/devicelink/firmware_image.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "core/files/regular_file.h"

namespace devicelink {
namespace {

constexpr int kReadAttempts = 3;

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  id.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return id;
}

std::optional<FileIdentity> IdentityOfPath(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return IdentityOf(st);
}

enum class ReadOutcome { kOk, kFailed, kChanged };

ReadOutcome ReadOnce(const std::string& path, uint64_t limit, std::vector<uint8_t>& bytes, FileIdentity& identity) {
  // A FIFO or a device is refused before it is opened: no device's upgrade
  // ever waits on it.
  files::FileDescriptor fd;
  struct stat before {};
  if (files::OpenRegularFile(path, fd, before) != files::ReadStatus::kRead) return ReadOutcome::kFailed;
  if (before.st_size <= 0 || static_cast<uint64_t>(before.st_size) > limit) return ReadOutcome::kFailed;
  bytes.assign(static_cast<std::size_t>(before.st_size), 0);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadOutcome::kFailed;
    if (n == 0) return ReadOutcome::kChanged;  // shorter than it was a moment ago
    got += static_cast<std::size_t>(n);
  }
  uint8_t extra;
  ssize_t more;
  do more = ::read(fd.get(), &extra, 1);
  while (more < 0 && errno == EINTR);
  if (more != 0) return ReadOutcome::kChanged;  // it grew meanwhile
  struct stat after {};
  if (::fstat(fd.get(), &after) != 0) return ReadOutcome::kFailed;
  identity = IdentityOf(before);
  return IdentityOf(after) == identity ? ReadOutcome::kOk : ReadOutcome::kChanged;
}

}  // namespace

FirmwareImage::FirmwareImage(std::vector<uint8_t> bytes, FileIdentity identity)
    : bytes_(std::move(bytes)), sha256_(Sha256Of(bytes_)), identity_(identity) {}

std::shared_ptr<const FirmwareImage> ReadFirmwareImage(const std::string& path, uint64_t limit) {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    std::vector<uint8_t> bytes;
    FileIdentity identity;
    switch (ReadOnce(path, limit, bytes, identity)) {
      case ReadOutcome::kOk:
        return std::make_shared<const FirmwareImage>(std::move(bytes), identity);
      case ReadOutcome::kFailed:
        return nullptr;
      case ReadOutcome::kChanged:
        break;
    }
  }
  return nullptr;
}

std::shared_ptr<const FirmwareImage> FirmwareImageCache::Acquire(const std::string& path, uint64_t limit) {
  if (path.empty()) return nullptr;
  {
    std::lock_guard lock(mutex_);
    if (auto held = images_[path].lock()) {
      if (IdentityOfPath(path) == held->identity()) return held;
    }
  }
  // Read outside the lock: other files' opens need not wait for this one.
  auto fresh = ReadFirmwareImage(path, limit);
  if (!fresh) return nullptr;
  std::lock_guard lock(mutex_);
  auto& slot = images_[path];
  // Another open may have read the same state of the file meanwhile: keep one.
  if (auto held = slot.lock(); held && held->identity() == fresh->identity()) return held;
  slot = fresh;
  return fresh;
}

std::size_t FirmwareImageCache::HeldImages() {
  std::lock_guard lock(mutex_);
  std::size_t n = 0;
  for (auto it = images_.begin(); it != images_.end();) {
    if (it->second.expired()) {
      it = images_.erase(it);
    } else {
      ++n;
      ++it;
    }
  }
  return n;
}

}  // namespace devicelink

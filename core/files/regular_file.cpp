#include "core/files/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace files {
namespace {

ReadStatus StatusOfError(int error) {
  return error == ENOENT || error == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kUnreadable;
}

}  // namespace

ReadStatus OpenRegularFile(const std::string& path, FileDescriptor& fd, struct stat& info) {
  fd.Reset();
  if (path.empty()) return ReadStatus::kMissing;
  struct stat before {};
  if (::stat(path.c_str(), &before) != 0) return StatusOfError(errno);
  if (!S_ISREG(before.st_mode)) return ReadStatus::kNotRegular;
  FileDescriptor opened(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!opened.valid()) return StatusOfError(errno);
  if (::fstat(opened.get(), &info) != 0) return ReadStatus::kUnreadable;
  if (!S_ISREG(info.st_mode)) return ReadStatus::kNotRegular;  // replaced since the test above
  // A regular file's reads never wait; the flag goes so that they are the
  // ordinary ones in every respect.
  const int flags = ::fcntl(opened.get(), F_GETFL);
  if (flags >= 0) ::fcntl(opened.get(), F_SETFL, flags & ~O_NONBLOCK);
  fd = std::move(opened);
  return ReadStatus::kRead;
}

ReadStatus ReadRegularFile(const std::string& path, std::string& out, std::uint64_t limit) {
  out.clear();
  FileDescriptor fd;
  struct stat info {};
  const ReadStatus opened = OpenRegularFile(path, fd, info);
  if (opened != ReadStatus::kRead) return opened;
  if (static_cast<std::uint64_t>(info.st_size) > limit) return ReadStatus::kTooLarge;

  // The size the file had when it was opened, read into a buffer of that
  // size; then whatever it grew by, if anything (no second buffer of the
  // whole size is made for a file that stayed as it was).
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadStatus::kUnreadable;
    if (n == 0) break;  // it shrank meanwhile
    got += static_cast<std::size_t>(n);
  }
  if (got == bytes.size()) {
    char more[65536];
    while (true) {
      const ssize_t n = ::read(fd.get(), more, sizeof more);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return ReadStatus::kUnreadable;
      if (n == 0) break;
      if (bytes.size() + static_cast<std::uint64_t>(n) > limit) return ReadStatus::kTooLarge;
      bytes.append(more, static_cast<std::size_t>(n));
      got = bytes.size();
    }
  }
  bytes.resize(got);
  out = std::move(bytes);
  return ReadStatus::kRead;
}

}  // namespace files

#include "libs/devicelink/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace devicelink {
namespace {

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names in the end: the target of a symbolic link, so the
// rename replaces what the link points at and the link stays.
std::string ResolvedTarget(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;  // dangling: replace the link
  return resolved;
}

}  // namespace

bool WriteFileWhole(const std::string& path, std::span<const uint8_t> bytes) {
  if (path.empty()) return false;
  const std::string target = ResolvedTarget(path);
  mode_t mode = 0644;
  struct stat st{};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;  // a folder or a device is no file to replace
    mode = st.st_mode & 07777;
  }

  std::string temp = target + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  (void)::fchmod(fd, mode);  // mkstemp makes 0600
  bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);  // the rename itself reaches the disk
    ::close(folder);
  }
  return true;
}

}  // namespace devicelink

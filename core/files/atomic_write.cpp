#include "core/files/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "core/files/file_descriptor.h"

namespace files {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kRandomChars = 6;
constexpr int kNameAttempts = 100;
constexpr long kDefaultNameMax = 255;

bool WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t size = bytes.size();
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

// The file the path names in the end: the target of a symbolic link, so that
// the rename replaces what the link points at and the link stays.
std::string ResolvedTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;  // dangling: replace the link
  return resolved;
}

struct Place {
  std::string folder;
  std::string name;
};

bool PlaceOf(const std::string& target, Place& place) {
  const auto slash = target.rfind('/');
  place.folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  place.name = slash == std::string::npos ? target : target.substr(slash + 1);
  return !place.name.empty() && place.name != "." && place.name != "..";
}

// The start of the temporary file's name: the target's name, cut (never
// inside a UTF-8 character) so that the mark and the random part still fit.
std::string TemporaryStem(const std::string& name, long nameMax) {
  const std::size_t room = static_cast<std::size_t>(nameMax) - kTemporaryMark.size() - kRandomChars;
  if (name.size() <= room) return name;
  std::size_t n = room;
  while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  return name.substr(0, n);
}

std::string RandomChars() {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string out(kRandomChars, '\0');
  for (char& c : out) c = kAlphabet[pick(random)];
  return out;
}

FileDescriptor CreateTemporary(int folder, const std::string& stem, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    name = stem + std::string(kTemporaryMark) + RandomChars();
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) return FileDescriptor(fd);
    if (errno != EEXIST) break;
  }
  return FileDescriptor();
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
  if (path.empty()) return false;
  Place place;
  if (!PlaceOf(ResolvedTarget(path), place)) return false;
  const FileDescriptor folder(::open(place.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return false;

  struct stat old {};
  bool replacing = false;
  if (::fstatat(folder.get(), place.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
    if (!S_ISLNK(old.st_mode)) {  // a dangling link is replaced like a missing file
      if (!S_ISREG(old.st_mode)) return false;
      if (::faccessat(folder.get(), place.name.c_str(), W_OK, AT_EACCESS) != 0) return false;
      replacing = true;
    }
  } else if (errno != ENOENT) {
    return false;
  }

  long nameMax = ::fpathconf(folder.get(), _PC_NAME_MAX);
  if (nameMax <= static_cast<long>(kTemporaryMark.size() + kRandomChars)) nameMax = kDefaultNameMax;
  std::string temporaryName;
  // A replaced file's copy stays private until it has the old file's owner
  // and mode; a new file is created as any other, the umask applied.
  FileDescriptor temporary =
      CreateTemporary(folder.get(), TemporaryStem(place.name, nameMax), replacing ? 0600 : 0666, temporaryName);
  if (!temporary.valid()) return false;

  bool ok = true;
  for (const std::string_view piece : pieces) ok = ok && WriteAll(temporary.get(), piece);
  if (ok && replacing) {
    // Owner and group first: a change of owner clears the set-id bits, which
    // the mode then restores. Another user's file becomes the process's own
    // (an ordinary user may not give files away); its group is kept where
    // the process belongs to it.
    if (::fchown(temporary.get(), old.st_uid, old.st_gid) != 0) (void)::fchown(temporary.get(), static_cast<uid_t>(-1), old.st_gid);
    (void)::fchmod(temporary.get(), old.st_mode & 07777);
  }
  ok = ok && ::fsync(temporary.get()) == 0;
  ok = ::close(temporary.Release()) == 0 && ok;
  if (ok) ok = ::renameat(folder.get(), temporaryName.c_str(), folder.get(), place.name.c_str()) == 0;
  if (!ok) {
    ::unlinkat(folder.get(), temporaryName.c_str(), 0);
    return false;
  }
  ::fsync(folder.get());  // the rename itself reaches the disk
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents) {
  return WriteFileAtomically(path, std::span<const std::string_view>(&contents, 1));
}

}  // namespace files

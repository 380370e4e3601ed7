#pragma once
// Opening a file to read it without ever waiting on it. Opening a FIFO waits
// for a writer and a device may never end, so what lies at the path is tested
// before it is opened: anything but a regular file (a FIFO, a device, a
// socket, a folder) is refused. The file is then opened without blocking and
// tested once more on its descriptor, in case the name changed in between.

#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/files/file_descriptor.h"

namespace files {

enum class ReadStatus {
  kRead,
  kMissing,     // nothing at the path
  kNotRegular,  // a FIFO, a device, a socket or a folder
  kUnreadable,  // there, but it cannot be opened or read (no permission, an I/O error)
  kTooLarge,    // larger than the caller can use
};

// Opens the regular file at path (a symbolic link is followed) for reading;
// on kRead, fd is open and info describes it.
ReadStatus OpenRegularFile(const std::string& path, FileDescriptor& fd, struct stat& info);

// The whole regular file at path in out (empty unless kRead). A file larger
// than limit bytes is kTooLarge; one that grows or shrinks while it is read
// is read to the end it has then.
ReadStatus ReadRegularFile(const std::string& path, std::string& out,
                           std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

}  // namespace files

#pragma once
// Replacing a file's contents whole or not at all, for every file the
// program writes (Config.ini, configuration exports). The new bytes go to a
// temporary file beside the target, are flushed to disk, and the temporary
// file is renamed over the target, whose folder is flushed too. A crash, a
// full disk or a refused permission leaves the old file or the new one, never
// a mixture, and no temporary file behind.
//
// - A symbolic link keeps pointing at its target, whose contents are
//   replaced (a dangling link is replaced itself).
// - Only a regular file the process may write is replaced: a FIFO, a device,
//   a folder, or a file the user may only read is refused and left alone,
//   as a write into it would be (root may write what root may write).
// - A replaced file keeps its mode, and its owner and group where the
//   process may set them; a new file gets what the umask leaves of 0666.
// - The temporary file's name is cut to fit the folder's name limit, so
//   every name the folder takes can be written.

#include <span>
#include <string>
#include <string_view>

namespace files {

// The new contents are the pieces one after the other (a caller that changes
// a few bytes of a large file writes around them without a copy). False, the
// target untouched, on any failure.
bool WriteFileAtomically(const std::string& path, std::span<const std::string_view> pieces);
bool WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace files

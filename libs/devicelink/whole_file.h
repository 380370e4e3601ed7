#pragma once
// Writes a file whole or not at all: the bytes go to a temporary file beside
// the target, are flushed to disk and renamed over it. A failure at any step
// (no room, no permission, a folder that does not exist) leaves the target as
// it was, an existing file included, and no temporary file behind.

#include <cstdint>
#include <span>
#include <string>

namespace devicelink {

// The target's permission bits are kept when it exists (0644 otherwise). A
// symbolic link keeps pointing at its target, whose contents are replaced.
bool WriteFileWhole(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace devicelink

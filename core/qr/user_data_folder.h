#pragma once
#include <string>

// The per-user folder that holds the QR bitmap: the user's local data folder
// (the XDG data home here), or its "LocalLow" sibling when that exists, with
// "Riduzev/" appended. It always ends with "/" and is UTF-8 from this lookup
// to every use of it.

inline constexpr int kUserDataFolderFound = 1;
inline constexpr int kUserDataFolderMissing = -1;

// kUserDataFolderFound with the folder in `folder`, or kUserDataFolderMissing
// when the platform gives no usable folder (`folder` is then left unchanged).
// Nothing is created on disk.
int GetUserDataFolder(std::string& folder);

// Creates every directory along `path` that ends in "/", left to right;
// failures (a directory that exists already among them) are ignored. A last
// component without a trailing "/" is not created.
void CreateDirectoryTree(const std::string& path);

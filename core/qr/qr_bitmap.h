#pragma once
// The QR code of a device's cloud id as a 16-bit BMP file in the per-user
// folder, the file that the device list page loads and shows.
#include <string>

inline constexpr int kQrBitmapWritten = 0;
inline constexpr int kQrBitmapNotWritten = -1;

// The size the device list page asks for: the module count of version 4, one
// pixel per module.
inline constexpr int kQrDisplayVersion = 4;
inline constexpr int kQrDisplayPixels = 33;

// `folder` + "/QR_temp1.bmp" (the folder already ends with "/"; the doubled
// separator is harmless).
std::string MakeQrTempPath(const std::string& folder);

// Writes the QR code of `text` into the QR file of `folder` and sets `path` to
// that file. Always true and always sets the path, whether or not the file
// was written: the caller shows whatever the file then holds.
bool MakeQrBitmap(const std::string& text, std::string& path, const std::string& folder);

// Encodes `text` (its bytes up to the first NUL) with `version` as the minimum
// and writes the symbol to `path`. When the version is raised, `width` and
// `height` grow with it at the same pixels per module; all three are handed
// back. kQrBitmapWritten, or kQrBitmapNotWritten (no text or path, a text
// that does not encode, a size that holds no module, a file that cannot be
// created or whose headers cannot be written).
int WriteQrBitmap(const std::string& text, const std::string& path, int& version, int& width, int& height);

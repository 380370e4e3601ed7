#pragma once
// The program's colours. Windows-style colour values (0x00BBGGRR) appear in
// the page descriptions, so they are kept in that form and converted once.

#include <QColor>
#include <cstdint>

namespace colours {

// 0x00BBGGRR -> QColor.
inline QColor FromColorRef(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                         static_cast<int>((bgr >> 16) & 0xFF));
}

// QColor -> 0x00BBGGRR.
inline std::uint32_t ToColorRef(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

inline constexpr std::uint32_t kBand = 0x313131;       // title bands, main window
inline constexpr std::uint32_t kPanel = 0xF7F5F3;      // light panels and button bands
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kMenu = 0xF4EAE4;       // left menu, settings tree
inline constexpr std::uint32_t kBorder = 0x5A5A5A;     // the 1-pixel border of the popups

// The accent of the skin pictures (RGB, not a colour reference).
inline const QColor kAccent = QColor(0x2F, 0x80, 0xED);
inline const QColor kAccentDark = QColor(0x1F, 0x66, 0xC9);
inline const QColor kAccentSoft = QColor(0xE3, 0xEE, 0xFC);
inline const QColor kInk = QColor(0x3A, 0x3F, 0x45);       // glyphs, dark text
inline const QColor kInkMuted = QColor(0xB3, 0xB8, 0xBE);  // disabled glyphs
inline const QColor kLine = QColor(0xD3, 0xD8, 0xDE);      // light borders

}  // namespace colours

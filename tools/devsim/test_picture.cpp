#include "tools/devsim/test_picture.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <memory>

#include "core/qr/qr_encoder.h"

namespace devsim {
namespace {

// A 5 x 7 pixel font for the characters a label needs; lower case is drawn
// as upper case, anything else as a blank.
struct Glyph {
  char c;
  std::array<const char*, 7> rows;
};
constexpr Glyph kFont[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'_', {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    {'#', {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
    {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
    {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
    {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
};

const Glyph* GlyphOf(char c) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& g : kFont)
    if (g.c == upper) return &g;
  return nullptr;
}

void FillLuma(YuvPicture& p, int x0, int y0, int w, int h, uint8_t value) {
  const int x1 = std::min(p.width, x0 + w), y1 = std::min(p.height, y0 + h);
  for (int y = std::max(0, y0); y < y1; ++y)
    for (int x = std::max(0, x0); x < x1; ++x) p.y[static_cast<std::size_t>(y) * p.width + x] = value;
}

// A rectangle of one colour; chroma is set for the 2 x 2 blocks it covers.
void FillRect(YuvPicture& p, int x0, int y0, int w, int h, uint8_t y, uint8_t u, uint8_t v) {
  FillLuma(p, x0, y0, w, h, y);
  const int cw = p.width / 2, ch = p.height / 2;
  const int cx1 = std::min(cw, (x0 + w + 1) / 2), cy1 = std::min(ch, (y0 + h + 1) / 2);
  for (int cy = std::max(0, y0 / 2); cy < cy1; ++cy)
    for (int cx = std::max(0, x0 / 2); cx < cx1; ++cx) {
      p.u[static_cast<std::size_t>(cy) * cw + cx] = u;
      p.v[static_cast<std::size_t>(cy) * cw + cx] = v;
    }
}

// White text on a dark box, each font pixel `scale` picture pixels wide.
void DrawText(YuvPicture& p, int x, int y, const std::string& text, int scale) {
  const int advance = 6 * scale;
  FillRect(p, x - scale, y - scale, static_cast<int>(text.size()) * advance + scale, 9 * scale, 16, 128, 128);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph* g = GlyphOf(text[i]);
    if (!g) continue;
    const int gx = x + static_cast<int>(i) * advance;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (g->rows[row][col] == '#') FillLuma(p, gx + col * scale, y + row * scale, scale, scale, 235);
  }
}

// The symbol with its quiet zone, its top right corner at (right, y).
void DrawQr(YuvPicture& p, int right, int y, int moduleSize, const std::string& text) {
  auto qr = std::make_unique<QrEncoder>();
  int version = 1;
  if (!qr->EncodeData(text.c_str(), version)) return;
  const int n = qr->SymbolSize();
  const int quiet = 4 * moduleSize;
  const int x = right - n * moduleSize - 2 * quiet;
  FillRect(p, x, y, n * moduleSize + 2 * quiet, n * moduleSize + 2 * quiet, 235, 128, 128);
  for (int my = 0; my < n; ++my)
    for (int mx = 0; mx < n; ++mx)
      if (qr->IsDark(mx, my))
        FillLuma(p, x + quiet + mx * moduleSize, y + quiet + my * moduleSize, moduleSize, moduleSize, 16);
}

}  // namespace

YuvPicture::YuvPicture(int w, int h)
    : width(w),
      height(h),
      y(static_cast<std::size_t>(w) * h),
      u(static_cast<std::size_t>(w / 2) * (h / 2)),
      v(static_cast<std::size_t>(w / 2) * (h / 2)) {}

std::string TestPictureCode(const TestPictureLabel& label) {
  return "DIVAROD-TEST " + label.ip + " STREAM " + std::to_string(label.stream);
}

void DrawTestPicture(YuvPicture& p, const TestPictureLabel& label, uint32_t number, uint64_t wallClockUs) {
  // Background: a slow diagonal luma ramp on a blue-grey ground.
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.y[static_cast<std::size_t>(y) * p.width + x] = static_cast<uint8_t>(40 + ((x + y) * 60) / (p.width + p.height));
  std::fill(p.u.begin(), p.u.end(), uint8_t{150});
  std::fill(p.v.begin(), p.v.end(), uint8_t{118});

  // Seven colour bars that slide one step per frame: motion a viewer sees at once.
  static constexpr uint8_t kBars[7][3] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                                          {106, 202, 222}, {81, 90, 240},  {41, 240, 110}};
  const int barTop = p.height * 5 / 8, barHeight = p.height / 8, barWidth = std::max(2, p.width / 7) & ~1;
  const int shift = static_cast<int>((number * 4u) % static_cast<uint32_t>(barWidth * 7)) & ~1;
  for (int i = 0; i < 8; ++i) {
    const int x = i * barWidth - shift;
    const auto& c = kBars[i % 7];
    FillRect(p, std::max(0, x), barTop, x < 0 ? barWidth + x : barWidth, barHeight, c[0], c[1], c[2]);
  }

  const int scale = std::max(2, p.height / 180);
  const int line = 11 * scale;
  const int left = 3 * scale;
  const time_t seconds = static_cast<time_t>(wallClockUs / 1'000'000);
  tm utc{};
  gmtime_r(&seconds, &utc);
  char clock[64];
  std::snprintf(clock, sizeof clock, "%04d-%02d-%02d %02d:%02d:%02d.%03u UTC", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<unsigned>(wallClockUs / 1000 % 1000));
  char frame[32];
  std::snprintf(frame, sizeof frame, "FRAME %06u", number);
  DrawText(p, left, 2 * scale, label.deviceName, scale);
  DrawText(p, left, 2 * scale + line, label.ip, scale);
  DrawText(p, left, 2 * scale + 2 * line, label.stream == 2 ? "STREAM 2 (SUB)" : "STREAM 1 (MAIN)", scale);
  DrawText(p, left, 2 * scale + 3 * line, clock, scale);
  DrawText(p, left, 2 * scale + 4 * line, frame, scale);

  const int module = std::max(3, p.height / 120);
  DrawQr(p, p.width - 2 * scale, 2 * scale, module, TestPictureCode(label));
}

}  // namespace devsim

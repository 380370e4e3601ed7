#pragma once
// The moving test picture a simulated camera films: what it shows lets a
// viewer (and a test) tell which device and which stream it is looking at,
// and that the picture is live.

#include <cstdint>
#include <string>
#include <vector>

namespace devsim {

// One picture in planar YUV 4:2:0 (full-range BT.601 as H.264 carries it).
struct YuvPicture {
  int width = 0;   // even
  int height = 0;  // even
  std::vector<uint8_t> y, u, v;
  YuvPicture(int w, int h);
};

struct TestPictureLabel {
  std::string deviceName;
  std::string ip;
  uint32_t stream = 1;  // 1 main, 2 sub
};

// Draws frame `number`, taken at `wallClockUs`: a moving colour band, the
// device name, its IP, the stream, the clock and the frame counter as text,
// and a QR code holding "DIVAROD-TEST <ip> STREAM <n>", so that a grab of the
// shown video can be read by a machine as well.
void DrawTestPicture(YuvPicture& picture, const TestPictureLabel& label, uint32_t number, uint64_t wallClockUs);

// The text the picture's QR code holds.
std::string TestPictureCode(const TestPictureLabel& label);

}  // namespace devsim

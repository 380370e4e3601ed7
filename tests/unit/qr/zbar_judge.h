#pragma once
// A real QR decoder (zbar) as the judge of the encoder: grey images in, the
// symbol's bytes out, exactly as stored (no character-set guessing).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QrEncoder;

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 0 black, 255 white, row by row from the top
};

// The encoder's symbol with a light quiet zone of `quiet` modules, `scale`
// pixels per module.
GreyImage RenderSymbol(const QrEncoder& encoder, int scale = 3, int quiet = 4);

// Each pixel of `image` blown up to scale x scale.
GreyImage Enlarge(const GreyImage& image, int scale);

class ZbarJudge {
 public:
  ZbarJudge();
  ~ZbarJudge();
  ZbarJudge(const ZbarJudge&) = delete;
  ZbarJudge& operator=(const ZbarJudge&) = delete;

  // The data of the one QR code found, or nothing when none (or several) decode.
  std::optional<std::string> Decode(const GreyImage& image);

 private:
  void* scanner_;
};

// Format information read back from the matrix (both copies must agree and be
// valid BCH code words): error-correction level bits and mask pattern.
struct FormatReading {
  bool valid = false;
  unsigned levelBits = 0;
  unsigned mask = 0;
};
FormatReading ReadFormatInformation(const QrEncoder& encoder);

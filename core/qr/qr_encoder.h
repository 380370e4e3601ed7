#pragma once
// QR Code (Model 2) encoder for the cloud-id codes: level Q, mask pattern 0,
// versions 1 to 40. One object per encoding; every buffer is a fixed-size
// member, so an encoding allocates nothing.
#include <cstdint>

#include "core/qr/qr_tables.h"

class QrEncoder {
 public:
  using Mode = qrtables::Mode;

  struct Run {
    Mode mode;
    int length;  // in bytes of the text (a Kanji character is two)
    friend bool operator==(const Run&, const Run&) = default;
  };

  static constexpr int kMaxModules = qrtables::SymbolSize(qrtables::kMaxVersion);  // 177
  static constexpr int kMaxStreamBytes = 2956;  // data capacity of version 40 at level L
  static constexpr int kMaxStreamBits = kMaxStreamBytes * 8;
  // The longest text whose bit stream can fit the stream buffer at all
  // (numeric, 10 bits per three digits); anything longer never fits.
  static constexpr int kMaxTextBytes = 7089;

  // Encodes the bytes of `text` up to its first NUL. `version` in: the minimum
  // version wanted (1..40); out: the version used, raised when the text needs
  // more. False, with `version` unchanged, for an empty text, a text that fits
  // no version at level Q, or a minimum version outside 1..40.
  bool EncodeData(const char* text, int& version);

  int Version() const { return version_; }
  int SymbolSize() const { return size_; }
  unsigned ErrorCorrectionLevelBits() const { return ecLevelBits_; }
  int MaskPattern() const { return maskPattern_; }

  // Module at column x, row y: true for dark. Positions outside the symbol are light.
  bool IsDark(int x, int y) const {
    return x >= 0 && y >= 0 && x < kMaxModules && y < kMaxModules && modules_[x][y] != 0;
  }
  // First index the column (x), second the row (y); nonzero is dark.
  const uint8_t (&Matrix() const)[kMaxModules][kMaxModules] { return modules_; }

  // The segmentation of the last encoding attempt.
  int RunCount() const { return runCount_; }
  const Run& RunAt(int index) const { return runs_[index]; }
  // Length of the last encoding's data bit stream before completion.
  int StreamBits() const { return dataBits_; }

 private:
  // Segmentation and both merge passes, with the indicator lengths of `group`.
  void Segment(const unsigned char* text, int length, int group);
  void MergeNumericAlphanumeric(int group);
  void MergeIntoBytes(int group);
  int RunBits(Mode mode, int length, int group) const;
  void EraseRun(int index);

  // Bit stream of the runs; false when it would outgrow the stream buffer or a
  // count does not fit its indicator.
  bool BuildStream(const unsigned char* text, int group);
  bool AppendBits(uint32_t value, int count);
  void CompleteStream(int dataCodewords);
  void AddErrorCorrection();

  void BuildMatrix();
  void PlaceFunctionPatterns();
  void PlaceFinder(int left, int top);
  void PlaceAlignment(int centreX, int centreY);
  void PlaceVersionInformation();
  void PlaceFormatInformation();
  void PlaceCodewords();
  void ApplyMask();
  void SetFunction(int x, int y, bool dark);

  unsigned ecLevelBits_ = qrtables::kLevelQBits;
  int maskPattern_ = 0;
  int version_ = 0;
  int size_ = 0;

  Run runs_[kMaxTextBytes];
  int runCount_ = 0;

  uint8_t stream_[kMaxStreamBytes];
  int streamBits_ = 0;
  int dataBits_ = 0;  // before terminator and padding

  uint8_t codewords_[qrtables::kMaxCodewords];
  int codewordCount_ = 0;

  uint8_t modules_[kMaxModules][kMaxModules];
  uint8_t isFunction_[kMaxModules][kMaxModules];
};

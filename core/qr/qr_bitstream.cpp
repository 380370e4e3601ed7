// The data bit stream of the runs, its completion to the data capacity, and
// the Reed-Solomon blocks interleaved into the final codeword sequence.
#include <cstring>

#include "core/qr/qr_encoder.h"
#include "core/qr/reed_solomon.h"

using qrtables::Mode;

bool QrEncoder::AppendBits(uint32_t value, int count) {
  if (streamBits_ + count > kMaxStreamBits) return false;
  for (int i = count - 1; i >= 0; --i, ++streamBits_)
    if ((value >> i) & 1u) stream_[streamBits_ >> 3] |= static_cast<uint8_t>(0x80u >> (streamBits_ & 7));
  return true;
}

bool QrEncoder::BuildStream(const unsigned char* text, int group) {
  std::memset(stream_, 0, sizeof stream_);
  streamBits_ = 0;
  const unsigned char* p = text;
  for (int r = 0; r < runCount_; ++r) {
    const Run& run = runs_[r];
    const int countBits = qrtables::kCountIndicatorBits[group][static_cast<int>(run.mode)];
    const int count = run.mode == Mode::Kanji ? run.length / 2 : run.length;
    if (count >= (1 << countBits)) return false;  // cannot be said in this group
    if (!AppendBits(qrtables::ModeIndicator(run.mode), qrtables::kModeIndicatorBits)) return false;
    if (!AppendBits(static_cast<uint32_t>(count), countBits)) return false;
    bool ok = true;
    switch (run.mode) {
      case Mode::Numeric:
        for (int i = 0; ok && i < run.length; i += 3) {
          const int digits = run.length - i < 3 ? run.length - i : 3;
          uint32_t value = 0;
          for (int j = 0; j < digits; ++j) value = value * 10 + static_cast<uint32_t>(p[i + j] - '0');
          ok = AppendBits(value, digits * 3 + 1);  // 10, 7 or 4 bits
        }
        break;
      case Mode::Alphanumeric:
        for (int i = 0; ok && i < run.length; i += 2) {
          const uint32_t first = static_cast<uint32_t>(qrtables::AlphanumericValue(p[i]));
          if (i + 1 < run.length)
            ok = AppendBits(first * 45 + static_cast<uint32_t>(qrtables::AlphanumericValue(p[i + 1])), 11);
          else
            ok = AppendBits(first, 6);
        }
        break;
      case Mode::Byte:
        for (int i = 0; ok && i < run.length; ++i) ok = AppendBits(p[i], 8);
        break;
      case Mode::Kanji:
        for (int i = 0; ok && i + 1 < run.length; i += 2) {
          uint32_t value = (static_cast<uint32_t>(p[i]) << 8 | p[i + 1]) - 0x8140;
          if (value > 0x1EBC) value = (static_cast<uint32_t>(p[i]) << 8 | p[i + 1]) - 0xC140;
          ok = AppendBits((value >> 8) * 0xC0 + (value & 0xFF), 13);
        }
        break;
    }
    if (!ok) return false;
    p += run.length;
  }
  return true;
}

void QrEncoder::CompleteStream(int dataCodewords) {
  const int capacityBits = dataCodewords * 8;
  const int terminator = capacityBits - streamBits_ < 4 ? capacityBits - streamBits_ : 4;
  streamBits_ += terminator;               // the buffer is already zero
  streamBits_ = (streamBits_ + 7) & ~7;    // zero bits to the byte boundary
  for (int i = 0; streamBits_ < capacityBits; ++i, streamBits_ += 8)
    stream_[streamBits_ >> 3] = qrtables::kPadCodewords[i & 1];
}

void QrEncoder::AddErrorCorrection() {
  const qrtables::BlockLayout& layout = qrtables::LevelQ(version_);
  const int blocks = layout.Blocks();
  const int ecLength = layout.ecCodewordsPerBlock;
  uint8_t ec[qrtables::kMaxBlocks][qrtables::kMaxEcCodewordsPerBlock];
  int start[qrtables::kMaxBlocks];
  int length[qrtables::kMaxBlocks];

  int offset = 0;
  for (int b = 0; b < blocks; ++b) {
    start[b] = offset;
    length[b] = b < layout.group1Blocks ? layout.group1DataCodewords : layout.group2DataCodewords;
    reedsolomon::ComputeCodewords(stream_ + offset, length[b], ecLength, ec[b]);
    offset += length[b];
  }

  // Column-wise across the blocks: data codewords first, then error correction.
  const int longest = layout.group2Blocks > 0 ? layout.group2DataCodewords : layout.group1DataCodewords;
  codewordCount_ = 0;
  for (int i = 0; i < longest; ++i)
    for (int b = 0; b < blocks; ++b)
      if (i < length[b]) codewords_[codewordCount_++] = stream_[start[b] + i];
  for (int i = 0; i < ecLength; ++i)
    for (int b = 0; b < blocks; ++b) codewords_[codewordCount_++] = ec[b][i];
}

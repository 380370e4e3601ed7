// Mode segmentation of the text and the two merge passes that shorten the bit
// stream by trading mode switches against denser or looser modes.
#include <cstring>

#include "core/qr/qr_encoder.h"

using qrtables::Mode;

namespace {

// A Shift JIS double-byte character in the range the Kanji mode covers.
bool StartsKanji(unsigned char c, unsigned char d) {
  const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEB);
  if (!lead || d < 0x40) return false;
  if (c == 0x9F && d > 0xFC) return false;
  if (c == 0xEB && d > 0xBF) return false;
  return true;
}

Mode ModeOfByte(unsigned char c) {
  if (c >= '0' && c <= '9') return Mode::Numeric;
  if (qrtables::AlphanumericValue(c) >= 0) return Mode::Alphanumeric;
  return Mode::Byte;
}

int CountIndicatorBits(Mode mode, int group) {
  return qrtables::kCountIndicatorBits[group][static_cast<int>(mode)];
}

}  // namespace

int QrEncoder::RunBits(Mode mode, int length, int group) const {
  int bits = qrtables::kModeIndicatorBits + CountIndicatorBits(mode, group);
  switch (mode) {
    case Mode::Numeric: bits += 10 * (length / 3) + (length % 3 == 2 ? 7 : length % 3 == 1 ? 4 : 0); break;
    case Mode::Alphanumeric: bits += 11 * (length / 2) + 6 * (length % 2); break;
    case Mode::Byte: bits += 8 * length; break;
    case Mode::Kanji: bits += 13 * (length / 2); break;
  }
  return bits;
}

void QrEncoder::EraseRun(int index) {
  std::memmove(&runs_[index], &runs_[index + 1], sizeof(Run) * static_cast<std::size_t>(runCount_ - index - 1));
  --runCount_;
}

void QrEncoder::Segment(const unsigned char* text, int length, int group) {
  runCount_ = 0;
  for (int i = 0; i < length;) {
    Mode mode;
    int width = 1;
    if (i + 1 < length && StartsKanji(text[i], text[i + 1])) {
      mode = Mode::Kanji;
      width = 2;
    } else {
      mode = ModeOfByte(text[i]);
    }
    if (runCount_ > 0 && runs_[runCount_ - 1].mode == mode) runs_[runCount_ - 1].length += width;
    else runs_[runCount_++] = Run{mode, width};
    i += width;
  }
  MergeNumericAlphanumeric(group);
  MergeIntoBytes(group);
}

// Neighbouring numeric and alphanumeric runs: join them as one alphanumeric
// run when that is shorter, unless handing one of them to an adjacent 8-bit
// run is at least as good.
void QrEncoder::MergeNumericAlphanumeric(int group) {
  int k = 0;
  while (k + 1 < runCount_) {
    const Run a = runs_[k];
    const Run b = runs_[k + 1];
    const bool mixed = (a.mode == Mode::Numeric && b.mode == Mode::Alphanumeric) ||
                       (a.mode == Mode::Alphanumeric && b.mode == Mode::Numeric);
    if (!mixed) {
      ++k;
      continue;
    }
    const int merged = RunBits(Mode::Alphanumeric, a.length + b.length, group);
    const int apart = RunBits(a.mode, a.length, group) + RunBits(b.mode, b.length, group);
    if (merged >= apart) {
      ++k;
      continue;
    }

    bool frontCounts = false;
    int front = 0;
    if (k > 0 && runs_[k - 1].mode == Mode::Byte) {
      const int before = runs_[k - 1].length;
      front = RunBits(Mode::Byte, before + a.length, group) + RunBits(b.mode, b.length, group);
      frontCounts = front <= merged + RunBits(Mode::Byte, before, group);
    }
    bool behindCounts = false;
    int behind = 0;
    if (k + 2 < runCount_ && runs_[k + 2].mode == Mode::Byte) {
      const int after = runs_[k + 2].length;
      behind = RunBits(a.mode, a.length, group) + RunBits(Mode::Byte, b.length + after, group);
      behindCounts = behind <= merged + RunBits(Mode::Byte, after, group);
    }

    if (frontCounts && (!behindCounts || front < behind)) {
      runs_[k - 1].length += a.length;  // A joins the 8-bit run before it
      EraseRun(k);
    } else if (behindCounts) {
      runs_[k + 1] = Run{Mode::Byte, b.length + runs_[k + 2].length};  // B becomes 8-bit with the run after it
      EraseRun(k + 2);
    } else {
      if (k + 2 < runCount_ && runs_[k + 2].mode == Mode::Alphanumeric) {
        runs_[k + 1].length += runs_[k + 2].length;
        EraseRun(k + 2);
      }
      runs_[k] = Run{Mode::Alphanumeric, runs_[k].length + runs_[k + 1].length};
      EraseRun(k + 1);
      if (k > 0 && runs_[k - 1].mode == Mode::Alphanumeric) {
        runs_[k - 1].length += runs_[k].length;
        EraseRun(k);
      }
    }
  }
}

// Neighbouring runs of any modes: one 8-bit run when that is shorter, counting
// the mode headers saved by joining 8-bit runs on either side.
void QrEncoder::MergeIntoBytes(int group) {
  const int header = qrtables::kModeIndicatorBits + CountIndicatorBits(Mode::Byte, group);
  int k = 0;
  while (k + 1 < runCount_) {
    const Run p = runs_[k];
    const Run q = runs_[k + 1];
    const bool byteBefore = k > 0 && runs_[k - 1].mode == Mode::Byte;
    const bool byteAfter = k + 2 < runCount_ && runs_[k + 2].mode == Mode::Byte;
    int joined = RunBits(Mode::Byte, p.length + q.length, group);
    if (byteBefore) joined -= header;
    if (byteAfter) joined -= header;
    const int apart = RunBits(p.mode, p.length, group) + RunBits(q.mode, q.length, group);
    if (joined >= apart) {
      ++k;
      continue;
    }
    runs_[k] = Run{Mode::Byte, p.length + q.length};
    EraseRun(k + 1);
    if (byteAfter) {
      runs_[k].length += runs_[k + 1].length;
      EraseRun(k + 1);
    }
    if (byteBefore) {
      runs_[k - 1].length += runs_[k].length;
      EraseRun(k);
    }
    k = k > 0 ? k - 1 : 0;
  }
}

#pragma once
// The one reader that decides what the decoder is given. Every NAL unit of a
// frame is read here first; the decoder gets only the units a picture needs
// (parameter sets, slices, and a recovery point made from the device's SEI),
// each read whole and accepted, and nothing of a frame that breaks a rule:
// - a byte stream, parameter set or slice header the reader cannot read as
//   the standard writes it;
// - a parameter set after a slice: it would begin the next access unit, and
//   a stream frame is one;
// - sequence parameters beyond the stream's limits: its coded size (before
//   cropping) above what StreamOpen announced or the level allows, or more
//   pictures to hold, in bytes, than the level's picture store, wherever the
//   set stands in the frame;
// - a slice whose picture size cannot be learnt (parameter sets not held, or
//   read against sequence parameters since replaced);
// - more slices a picture, or units a frame, than any honest encoder makes;
//   more than one picture a frame but for the two fields of one frame.
// It keeps the parameter sets of the frames it accepted, exactly the ones
// the decoder holds.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "libs/liveview/h264_parameter_sets.h"
#include "libs/liveview/picture_limits.h"

namespace liveview {

// Slicing by bytes for network packets makes a few thousand at the level's
// largest size; two field pictures make a frame.
inline constexpr int kMaxSlicesPerPicture = 4096;
inline constexpr std::size_t kMaxNalUnitsPerFrame = 2 * kMaxSlicesPerPicture + 256;

// Move it, never copy it: its units point into the frame read and into `made`.
struct FrameForDecoder {
  FrameForDecoder() = default;
  FrameForDecoder(FrameForDecoder&&) = default;
  FrameForDecoder& operator=(FrameForDecoder&&) = default;
  bool accepted = false;
  // The units to decode, in order: a NAL unit each, header byte first.
  std::vector<std::span<const uint8_t>> units;
  // The one unit the reader wrote itself (the recovery point), where there is one.
  std::vector<uint8_t> made;
  int pictures = 0;  // coded pictures the slices make: 0, 1, or 2 fields
  // The sequence those pictures belong to.
  std::shared_ptr<const h264::SequenceParameters> sequence;
};

class AccessUnitReader {
 public:
  explicit AccessUnitReader(const PictureLimits& limits);
  // The frame must outlive what the reader gives of it.
  FrameForDecoder Read(std::span<const uint8_t> frame);
  // The decoder was replaced by a new one, which holds no parameter sets.
  void Forget();
  // Whether a sequence's pictures fit the limits, `pictures` of them held at
  // once besides the one under decode.
  bool Fits(const h264::SequenceParameters& sequence, int64_t pictures) const;
  // The pictures a sequence announces it may make the decoder hold.
  static int64_t AnnouncedPictures(const h264::SequenceParameters& sequence);

 private:
  using Sequences = std::array<std::shared_ptr<const h264::SequenceParameters>, 32>;
  using Pictures = std::array<std::shared_ptr<const h264::PictureParameters>, 256>;
  PictureLimits limits_;
  Sequences sequences_;
  Pictures pictures_;
};

}  // namespace liveview

#pragma once
// The program's own reading of H.264's sequence and picture parameter sets
// and of the start of a slice header, as the standard writes them: every
// field in its order and range, to the trailing bits and nothing after them.
// A set read here is the same set libavcodec reads from the same bytes;
// anything this reader cannot read exactly, or that libavcodec would read
// otherwise (an unknown profile, separate colour planes, slice groups, luma
// and chroma of different depths), is refused.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace liveview::h264 {

struct SequenceParameters {
  uint32_t id = 0;
  int profileIdc = 0;
  int chromaFormatIdc = 1;  // 0 (monochrome) .. 3 (4:4:4)
  int bitDepth = 8;         // luma and chroma alike, 8 .. 14
  int log2MaxFrameNum = 4;
  int maxNumRefFrames = 0;
  int widthInMbs = 0;
  int frameHeightInMbs = 0;  // both fields, for field coding
  bool frameMbsOnly = true;
  bool mbAdaptiveFrameField = false;
  int shownWidth = 0;        // after cropping
  int shownHeight = 0;
  // From the VUI's bitstream restriction; -1 when it is absent.
  int maxNumReorderFrames = -1;
  int maxDecFrameBuffering = -1;
  std::vector<uint8_t> rbsp;  // what it was read from: two sets are the same when these are

  int codedWidth() const { return widthInMbs * 16; }
  int codedHeight() const { return frameHeightInMbs * 16; }
  int64_t frameMacroblocks() const { return static_cast<int64_t>(widthInMbs) * frameHeightInMbs; }
};

struct PictureParameters {
  uint32_t id = 0;
  // The sequence parameters it was read against: a slice that refers to it
  // is read with these, and only while they are still the ones of their id.
  std::shared_ptr<const SequenceParameters> sequence;
};

// Nullopt when the set breaks the standard or cannot be read as libavcodec reads it.
std::optional<SequenceParameters> ReadSequenceParameters(std::span<const uint8_t> rbsp);
// `sequences` by id (32 of them, null where none is held); nullopt also when
// the set names a sequence not held.
std::optional<PictureParameters> ReadPictureParameters(
    std::span<const uint8_t> rbsp, std::span<const std::shared_ptr<const SequenceParameters>> sequences);

struct SliceStart {
  uint32_t firstMb = 0;
  uint32_t sliceType = 0;  // 0..9
  uint32_t frameNum = 0;
  bool fieldPic = false;
  bool bottomField = false;
  std::shared_ptr<const PictureParameters> pictureParameters;  // the ones it names
};

// The slice header up to its picture's structure, read with the picture
// parameters it names (`pictures` by id, 256 of them); nullopt when they are
// not held or a field is out of range (a first macroblock beyond the
// picture, a slice type that does not exist, an IDR slice that is no intra
// slice).
std::optional<SliceStart> ReadSliceStart(std::span<const uint8_t> rbsp, bool idr,
                                         std::span<const std::shared_ptr<const PictureParameters>> pictures);

}  // namespace liveview::h264

#pragma once
// H.264 access units of a flat grey picture of any size, written bit by bit
// rather than encoded: a camera that sends pictures larger than it announced
// costs the simulator almost nothing to play, whatever the size. The key frame
// carries the parameter sets and an intra picture whose macroblocks hold no
// residual (one byte each); the frames after it skip every macroblock (a few
// bytes in all). CAVLC, Annex B: constrained baseline for 8-bit 4:2:0,
// High 4:4:4 Predictive for any other chroma format or bit depth.
//
// The sequence's other fields are there to play what an honest camera never
// sends but a hostile one may: parameter sets after the slices, more
// pictures held than the level allows, gaps in frame_num, a slice for every
// macroblock, pictures output in the reverse of their decoding order.

#include <cstdint>
#include <vector>

namespace devsim {

struct FlatSequence {
  int width = 0;  // even, 2..16384; the coded size is whole macroblocks
  int height = 0;
  // Nonzero: the picture is cropped to this size (from its top left corner),
  // whatever its coded size.
  int shownWidth = 0;
  int shownHeight = 0;
  // max_num_ref_frames, 0..16: the frames after a key frame refer to the
  // picture before them, and each becomes a reference. 0: the sequence keeps
  // none, and every frame of it must be a key frame.
  int references = 1;
  int chromaFormat = 1;  // chroma_format_idc: 0 (grey only) .. 3 (4:4:4)
  int bitDepth = 8;      // 8..14, luma and chroma alike
  // >= 0: the VUI's bitstream restriction, with num_reorder_frames of this
  // and max_dec_frame_buffering of this or `references`, the larger.
  int reorderFrames = -1;
  // gaps_in_frame_num_value_allowed_flag, and the frames after a key frame
  // leave out `references` frame numbers before each of theirs.
  bool frameNumGaps = false;
  // The frames after a key frame are no references, and each is to be shown
  // before the one decoded before it (picture order count type 0, counting
  // down): a decoder that shows them in order has to hold them all.
  bool reverseOrder = false;
  // Every frame two field pictures, top then bottom (the key frame's: an IDR
  // field and an intra field), instead of one frame picture.
  bool fields = false;
  int slices = 1;  // slices a picture, 1..its macroblocks: the macroblocks split evenly
  // The frames after a key frame: slice i starts at macroblock i and runs to
  // the picture's end, so every slice decodes the rest of the picture again.
  bool overlappingSlices = false;
  // The key frame's parameter sets stand after its slices, not before them.
  bool parameterSetsAfterSlices = false;
  int parameterSetId = 0;  // the SPS's and the PPS's id, 0..31
};

std::vector<uint8_t> FlatKeyFrame(const FlatSequence& sequence);
// The picture `index` frames after the last key frame (1, 2, ...), a copy of it.
std::vector<uint8_t> FlatRepeatFrame(const FlatSequence& sequence, uint32_t index);

// Width and height: even, 2..16384 (cropped from whole macroblocks). The
// sequence keeps `references` pictures (1..16) for the frames after it to
// refer to; each of them becomes one.
std::vector<uint8_t> FlatKeyFrame(int width, int height, int references = 1);
std::vector<uint8_t> FlatRepeatFrame(int width, int height, uint32_t index);

}  // namespace devsim

#pragma once
// H.264 access units of a flat grey picture of any size, written bit by bit
// rather than encoded: a camera that sends pictures larger than it announced
// costs the simulator almost nothing to play, whatever the size. The key frame
// carries the parameter sets and an intra picture whose macroblocks hold no
// residual (one byte each); the frames after it skip every macroblock (a few
// bytes in all). Baseline profile, CAVLC, Annex B.

#include <cstdint>
#include <vector>

namespace devsim {

// Width and height: even, 2..16384 (cropped from whole macroblocks). The
// sequence keeps `references` pictures (1..16) for the frames after it to
// refer to; each of them becomes one.
std::vector<uint8_t> FlatKeyFrame(int width, int height, int references = 1);
// The picture `index` frames after the last key frame (1, 2, ...), a copy of it.
std::vector<uint8_t> FlatRepeatFrame(int width, int height, uint32_t index);

}  // namespace devsim

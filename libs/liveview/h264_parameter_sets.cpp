#include "libs/liveview/h264_parameter_sets.h"

#include <algorithm>

#include "libs/liveview/h264_nal_units.h"

namespace liveview::h264 {
namespace {

// Profiles libavcodec decodes; the scalable and multiview ones it does not.
bool KnownProfile(int profile) {
  switch (profile) {
    case 66: case 77: case 88:                         // baseline, main, extended
    case 100: case 110: case 122: case 244: case 44:   // high, high 10, 4:2:2, 4:4:4, CAVLC 4:4:4 intra
      return true;
    default:
      return false;
  }
}

bool HighProfile(int profile) { return profile >= 100 || profile == 44; }

// No picture is this many macroblocks across or down: beyond it the
// numbers only serve to overflow.
constexpr uint32_t kMaxSideMbs = 1u << 16;

// scaling_list(): each delta within -128..127; a next scale of 0 ends the
// list (at its first entry: the default list stands).
bool SkipScalingList(RbspReader& r, int size) {
  int last = 8;
  int next = 8;
  for (int j = 0; j < size && next != 0; ++j) {
    const int32_t delta = r.Se();
    if (r.failed() || delta < -128 || delta > 127) return false;
    next = (last + delta + 256) % 256;
    if (next != 0) last = next;
  }
  return !r.failed();
}

bool SkipScalingLists(RbspReader& r, int count) {
  for (int i = 0; i < count; ++i)
    if (r.Flag() && !SkipScalingList(r, i < 6 ? 16 : 64)) return false;
  return !r.failed();
}

// hrd_parameters()
bool SkipHrd(RbspReader& r) {
  const uint32_t cpbCountMinus1 = r.Ue();
  if (r.failed() || cpbCountMinus1 > 31) return false;
  r.U(4);  // bit_rate_scale
  r.U(4);  // cpb_size_scale
  for (uint32_t i = 0; i <= cpbCountMinus1; ++i) {
    r.Ue();  // bit_rate_value_minus1
    r.Ue();  // cpb_size_value_minus1
    r.Flag();
  }
  r.U(5);  // initial_cpb_removal_delay_length_minus1
  r.U(5);  // cpb_removal_delay_length_minus1
  r.U(5);  // dpb_output_delay_length_minus1
  r.U(5);  // time_offset_length
  return !r.failed();
}

// vui_parameters(): only the bitstream restriction sizes anything.
bool ReadVui(RbspReader& r, SequenceParameters& s) {
  if (r.Flag()) {  // aspect_ratio_info_present_flag
    const uint32_t idc = r.U(8);
    if (idc == 255) {
      r.U(16);
      r.U(16);
    } else if (idc > 16) {
      return false;  // reserved
    }
  }
  if (r.Flag()) r.Flag();  // overscan
  if (r.Flag()) {          // video_signal_type_present_flag
    r.U(3);
    r.Flag();
    if (r.Flag()) r.U(24);  // colour description
  }
  if (r.Flag()) {  // chroma_loc_info_present_flag
    if (r.Ue() > 5 || r.Ue() > 5) return false;
  }
  if (r.Flag()) {  // timing_info_present_flag
    const uint32_t unitsInTick = r.U(32);
    const uint32_t timeScale = r.U(32);
    if (!r.failed() && (unitsInTick == 0 || timeScale == 0)) return false;
    r.Flag();
  }
  const bool nalHrd = r.Flag();
  if (nalHrd && !SkipHrd(r)) return false;
  const bool vclHrd = r.Flag();
  if (vclHrd && !SkipHrd(r)) return false;
  if (nalHrd || vclHrd) r.Flag();  // low_delay_hrd_flag
  r.Flag();                        // pic_struct_present_flag
  if (r.Flag()) {                  // bitstream_restriction_flag
    r.Flag();                      // motion_vectors_over_pic_boundaries_flag
    if (r.Ue() > 16 || r.Ue() > 16 || r.Ue() > 16 || r.Ue() > 16) return false;
    const uint32_t reorder = r.Ue();
    const uint32_t buffering = r.Ue();
    if (reorder > 16 || buffering > 16) return false;
    s.maxNumReorderFrames = static_cast<int>(reorder);
    s.maxDecFrameBuffering = static_cast<int>(buffering);
  }
  return !r.failed();
}

}  // namespace

std::optional<SequenceParameters> ReadSequenceParameters(std::span<const uint8_t> rbsp) {
  RbspReader r(rbsp);
  SequenceParameters s;
  s.profileIdc = static_cast<int>(r.U(8));
  r.U(8);  // constraint_set0..5_flag, reserved_zero_2bits
  r.U(8);  // level_idc
  s.id = r.Ue();
  if (r.failed() || !KnownProfile(s.profileIdc) || s.id > 31) return std::nullopt;
  if (HighProfile(s.profileIdc)) {
    const uint32_t chroma = r.Ue();
    if (chroma > 3) return std::nullopt;
    s.chromaFormatIdc = static_cast<int>(chroma);
    if (chroma == 3 && r.Flag()) return std::nullopt;  // separate_colour_plane_flag: libavcodec has none
    const uint32_t lumaDepth = r.Ue();
    const uint32_t chromaDepth = r.Ue();
    if (lumaDepth > 6 || chromaDepth != lumaDepth) return std::nullopt;
    s.bitDepth = static_cast<int>(lumaDepth) + 8;
    const bool bypass = r.Flag();  // qpprime_y_zero_transform_bypass_flag: High 4:4:4 only
    if (bypass && s.profileIdc != 244 && s.profileIdc != 44) return std::nullopt;
    if (r.Flag() && !SkipScalingLists(r, chroma != 3 ? 8 : 12)) return std::nullopt;
  }
  const uint32_t log2MaxFrameNumMinus4 = r.Ue();
  const uint32_t pocType = r.Ue();
  if (r.failed() || log2MaxFrameNumMinus4 > 12 || pocType > 2) return std::nullopt;
  s.log2MaxFrameNum = static_cast<int>(log2MaxFrameNumMinus4) + 4;
  if (pocType == 0) {
    if (r.Ue() > 12) return std::nullopt;  // log2_max_pic_order_cnt_lsb_minus4
  } else if (pocType == 1) {
    // The offsets take all of se(v)'s range: nothing to check but their codes.
    r.Flag();  // delta_pic_order_always_zero_flag
    r.Se();    // offset_for_non_ref_pic
    r.Se();    // offset_for_top_to_bottom_field
    const uint32_t cycle = r.Ue();
    if (r.failed() || cycle > 255) return std::nullopt;
    for (uint32_t i = 0; i < cycle; ++i) r.Se();
  }
  const uint32_t refs = r.Ue();
  if (r.failed() || refs > 16) return std::nullopt;
  s.maxNumRefFrames = static_cast<int>(refs);
  r.Flag();  // gaps_in_frame_num_value_allowed_flag: the pictures made up for gaps count where they are allocated
  const uint32_t widthMinus1 = r.Ue();
  const uint32_t heightMinus1 = r.Ue();
  if (r.failed() || widthMinus1 >= kMaxSideMbs || heightMinus1 >= kMaxSideMbs) return std::nullopt;
  s.frameMbsOnly = r.Flag();
  if (!s.frameMbsOnly) s.mbAdaptiveFrameField = r.Flag();
  r.Flag();  // direct_8x8_inference_flag
  s.widthInMbs = static_cast<int>(widthMinus1) + 1;
  s.frameHeightInMbs = (s.frameMbsOnly ? 1 : 2) * (static_cast<int>(heightMinus1) + 1);
  int64_t cropX = 0;
  int64_t cropY = 0;
  if (r.Flag()) {  // frame_cropping_flag
    const int64_t left = r.Ue(), right = r.Ue(), top = r.Ue(), bottom = r.Ue();
    // Cropping counts chroma samples; in frames of fields, pairs of lines.
    const int unitX = s.chromaFormatIdc == 1 || s.chromaFormatIdc == 2 ? 2 : 1;
    const int unitY = (s.chromaFormatIdc == 1 ? 2 : 1) * (s.frameMbsOnly ? 1 : 2);
    cropX = unitX * (left + right);
    cropY = unitY * (top + bottom);
    if (cropX >= s.codedWidth() || cropY >= s.codedHeight()) return std::nullopt;
  }
  s.shownWidth = static_cast<int>(s.codedWidth() - cropX);
  s.shownHeight = static_cast<int>(s.codedHeight() - cropY);
  if (r.Flag() && !ReadVui(r, s)) return std::nullopt;
  if (r.failed() || !r.AtTrailingBits()) return std::nullopt;
  s.rbsp.assign(rbsp.begin(), rbsp.end());
  return s;
}

std::optional<PictureParameters> ReadPictureParameters(
    std::span<const uint8_t> rbsp, std::span<const std::shared_ptr<const SequenceParameters>> sequences) {
  RbspReader r(rbsp);
  PictureParameters p;
  p.id = r.Ue();
  const uint32_t sequenceId = r.Ue();
  if (r.failed() || p.id > 255 || sequenceId >= sequences.size() || !sequences[sequenceId]) return std::nullopt;
  p.sequence = sequences[sequenceId];
  const SequenceParameters& s = *p.sequence;
  r.Flag();                     // entropy_coding_mode_flag
  r.Flag();                     // bottom_field_pic_order_in_frame_present_flag
  if (r.Ue() != 0) return std::nullopt;  // slice groups: libavcodec reads no further
  if (r.Ue() > 31 || r.Ue() > 31) return std::nullopt;  // num_ref_idx_l0/l1_default_active_minus1
  r.Flag();                     // weighted_pred_flag
  if (r.U(2) > 2) return std::nullopt;  // weighted_bipred_idc
  const int32_t qp = r.Se();
  const int32_t qs = r.Se();
  const int32_t chromaOffset = r.Se();
  if (qp < -(26 + 6 * (s.bitDepth - 8)) || qp > 25 || qs < -26 || qs > 25 || chromaOffset < -12 || chromaOffset > 12)
    return std::nullopt;
  r.Flag();  // deblocking_filter_control_present_flag
  r.Flag();  // constrained_intra_pred_flag
  r.Flag();  // redundant_pic_cnt_present_flag
  if (r.failed()) return std::nullopt;
  if (r.MoreData()) {
    const bool transform8x8 = r.Flag();
    const bool scaling = r.Flag();
    if (scaling && !SkipScalingLists(r, 6 + (s.chromaFormatIdc != 3 ? 2 : 6) * (transform8x8 ? 1 : 0)))
      return std::nullopt;
    const int32_t secondOffset = r.Se();
    if (r.failed() || secondOffset < -12 || secondOffset > 12) return std::nullopt;
    // libavcodec skips these fields for the baseline, main and extended
    // profiles: only where skipping them changes nothing are they the same set.
    if (!HighProfile(s.profileIdc) && (transform8x8 || scaling || secondOffset != chromaOffset))
      return std::nullopt;
  }
  if (!r.AtTrailingBits()) return std::nullopt;
  return p;
}

std::optional<SliceStart> ReadSliceStart(std::span<const uint8_t> rbsp, bool idr,
                                         std::span<const std::shared_ptr<const PictureParameters>> pictures) {
  RbspReader r(rbsp);
  SliceStart slice;
  slice.firstMb = r.Ue();
  slice.sliceType = r.Ue();
  const uint32_t ppsId = r.Ue();
  if (r.failed() || slice.sliceType > 9 || ppsId >= pictures.size() || !pictures[ppsId]) return std::nullopt;
  // An IDR picture is intra coded: I or SI slices only.
  const uint32_t type = slice.sliceType % 5;
  if (idr && type != 2 && type != 4) return std::nullopt;
  slice.pictureParameters = pictures[ppsId];
  const SequenceParameters& s = *slice.pictureParameters->sequence;
  slice.frameNum = r.U(s.log2MaxFrameNum);
  if (!s.frameMbsOnly) {
    slice.fieldPic = r.Flag();
    if (slice.fieldPic) slice.bottomField = r.Flag();
  }
  if (r.failed()) return std::nullopt;
  // first_mb_in_slice counts macroblock pairs in a frame of them.
  const int64_t pictureMbs = s.frameMacroblocks() / (slice.fieldPic ? 2 : 1);
  const int64_t firstMb = static_cast<int64_t>(slice.firstMb) * (s.mbAdaptiveFrameField && !slice.fieldPic ? 2 : 1);
  if (firstMb >= pictureMbs) return std::nullopt;
  return slice;
}

}  // namespace liveview::h264

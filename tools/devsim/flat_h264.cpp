#include "tools/devsim/flat_h264.h"

#include <algorithm>
#include <utility>

namespace devsim {
namespace {

// Bits of one NAL unit's payload, most significant first.
class BitWriter {
 public:
  void Bit(bool b) {
    if (used_ == 0) bytes_.push_back(0);
    if (b) bytes_.back() |= static_cast<uint8_t>(0x80 >> used_);
    used_ = (used_ + 1) % 8;
  }
  void Bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) Bit(((value >> i) & 1) != 0);
  }
  // Exp-Golomb: as many zeros as value + 1 has bits after its first, then value + 1.
  void Ue(uint32_t value) {
    const uint64_t v = static_cast<uint64_t>(value) + 1;
    int length = 0;
    while ((v >> length) > 1) ++length;
    for (int i = 0; i < length; ++i) Bit(false);
    for (int i = length; i >= 0; --i) Bit(((v >> i) & 1) != 0);
  }
  void Se(int32_t value) { Ue(value > 0 ? 2 * static_cast<uint32_t>(value) - 1 : 2 * static_cast<uint32_t>(-value)); }
  // rbsp_trailing_bits: a one, then zeros up to the byte's end.
  void Trailing() {
    Bit(true);
    while (used_ != 0) Bit(false);
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;  // bits taken in the last byte; 0: it is full
};

// A start code, the NAL header and the payload with emulation prevention:
// after two zero bytes, a byte of 0..3 gets a 3 in front of it.
void AppendNal(std::vector<uint8_t>& out, uint8_t header, const BitWriter& payload) {
  out.insert(out.end(), {0, 0, 0, 1, header});
  int zeros = 0;
  for (const uint8_t b : payload.bytes()) {
    if (zeros >= 2 && b <= 3) {
      out.push_back(3);
      zeros = 0;
    }
    out.push_back(b);
    zeros = b == 0 ? zeros + 1 : 0;
  }
}

constexpr int kLog2MaxFrameNum = 4;
constexpr int kLog2MaxPocLsb = 16;
constexpr uint8_t kSpsHeader = 0x67;       // nal_ref_idc 3, type 7
constexpr uint8_t kPpsHeader = 0x68;       // nal_ref_idc 3, type 8
constexpr uint8_t kIdrHeader = 0x65;       // nal_ref_idc 3, type 5
constexpr uint8_t kReferenceHeader = 0x41; // nal_ref_idc 2, type 1
constexpr uint8_t kIntraFieldHeader = 0x61; // nal_ref_idc 3, type 1
constexpr uint8_t kNonReferenceHeader = 0x01;

int Macroblocks(int pixels) { return (std::clamp(pixels, 2, 16384) + 15) / 16; }
// A frame of fields is an even number of macroblocks high.
int FrameHeightMbs(const FlatSequence& s) { return s.fields ? (Macroblocks(s.height) + 1) / 2 * 2 : Macroblocks(s.height); }
// The macroblocks of one coded picture: a frame, or one of its fields.
long PictureMacroblocks(const FlatSequence& s) {
  return static_cast<long>(Macroblocks(s.width)) * FrameHeightMbs(s) / (s.fields ? 2 : 1);
}
int References(const FlatSequence& s) { return std::clamp(s.references, 0, 16); }
int ChromaFormat(const FlatSequence& s) { return std::clamp(s.chromaFormat, 0, 3); }
bool Baseline(const FlatSequence& s) { return ChromaFormat(s) == 1 && s.bitDepth <= 8; }
uint32_t ParameterSetId(const FlatSequence& s) { return static_cast<uint32_t>(std::clamp(s.parameterSetId, 0, 31)); }

// The VUI with only its bitstream restriction.
void AppendBitstreamRestriction(BitWriter& w, const FlatSequence& s) {
  w.Bit(false);  // aspect_ratio_info_present_flag
  w.Bit(false);  // overscan_info_present_flag
  w.Bit(false);  // video_signal_type_present_flag
  w.Bit(false);  // chroma_loc_info_present_flag
  w.Bit(false);  // timing_info_present_flag
  w.Bit(false);  // nal_hrd_parameters_present_flag
  w.Bit(false);  // vcl_hrd_parameters_present_flag
  w.Bit(false);  // pic_struct_present_flag
  w.Bit(true);   // bitstream_restriction_flag
  w.Bit(true);   // motion_vectors_over_pic_boundaries_flag
  w.Ue(2);       // max_bytes_per_pic_denom
  w.Ue(1);       // max_bits_per_mb_denom
  w.Ue(16);      // log2_max_mv_length_horizontal
  w.Ue(16);      // log2_max_mv_length_vertical
  const auto reorder = static_cast<uint32_t>(std::clamp(s.reorderFrames, 0, 16));
  w.Ue(reorder);  // max_num_reorder_frames
  w.Ue(std::max(reorder, static_cast<uint32_t>(References(s))));  // max_dec_frame_buffering
}

void AppendSequenceParameters(std::vector<uint8_t>& out, const FlatSequence& s) {
  const int mbWidth = Macroblocks(s.width);
  const int mbHeight = FrameHeightMbs(s);
  const int chroma = ChromaFormat(s);
  const int depth = std::clamp(s.bitDepth, 8, 14);
  BitWriter w;
  if (Baseline(s)) {
    w.Bits(66, 8);    // profile_idc: baseline
    w.Bits(0xC0, 8);  // constraint_set0 and 1: constrained baseline
  } else {
    w.Bits(244, 8);   // profile_idc: High 4:4:4 Predictive
    w.Bits(0, 8);
  }
  w.Bits(62, 8);    // level_idc 6.2, the highest
  w.Ue(ParameterSetId(s));
  if (!Baseline(s)) {
    w.Ue(static_cast<uint32_t>(chroma));
    if (chroma == 3) w.Bit(false);  // separate_colour_plane_flag
    w.Ue(static_cast<uint32_t>(depth - 8));  // bit_depth_luma_minus8
    w.Ue(static_cast<uint32_t>(depth - 8));  // bit_depth_chroma_minus8
    w.Bit(false);  // qpprime_y_zero_transform_bypass_flag
    w.Bit(false);  // seq_scaling_matrix_present_flag
  }
  w.Ue(kLog2MaxFrameNum - 4);
  if (s.reverseOrder) {
    w.Ue(0);  // pic_order_cnt_type: the slices say the order
    w.Ue(kLog2MaxPocLsb - 4);
  } else {
    w.Ue(2);  // pic_order_cnt_type: output order is decoding order
  }
  w.Ue(static_cast<uint32_t>(References(s)));  // max_num_ref_frames
  w.Bit(s.frameNumGaps);  // gaps_in_frame_num_value_allowed_flag
  w.Ue(static_cast<uint32_t>(mbWidth - 1));
  w.Ue(static_cast<uint32_t>(mbHeight / (s.fields ? 2 : 1) - 1));  // in fields' macroblocks for fields
  w.Bit(!s.fields);  // frame_mbs_only_flag
  if (s.fields) w.Bit(false);  // mb_adaptive_frame_field_flag
  w.Bit(true);      // direct_8x8_inference_flag
  // Cropping counts chroma samples: pairs of luma pixels where chroma has
  // half as many; in a frame of fields, pairs of lines more.
  const int unitX = chroma == 1 || chroma == 2 ? 2 : 1;
  const int unitY = (chroma == 1 ? 2 : 1) * (s.fields ? 2 : 1);
  const int shownWidth = s.shownWidth > 0 ? s.shownWidth : s.width;
  const int shownHeight = s.shownHeight > 0 ? s.shownHeight : s.height;
  const int cropRight = std::max(0, mbWidth * 16 - shownWidth) / unitX;
  const int cropBottom = std::max(0, mbHeight * 16 - shownHeight) / unitY;
  const bool crop = cropRight > 0 || cropBottom > 0;
  w.Bit(crop);
  if (crop) {
    w.Ue(0);
    w.Ue(static_cast<uint32_t>(cropRight));
    w.Ue(0);
    w.Ue(static_cast<uint32_t>(cropBottom));
  }
  const bool vui = s.reorderFrames >= 0;
  w.Bit(vui);  // vui_parameters_present_flag
  if (vui) AppendBitstreamRestriction(w, s);
  w.Trailing();
  AppendNal(out, kSpsHeader, w);
}

void AppendPictureParameters(std::vector<uint8_t>& out, const FlatSequence& s) {
  BitWriter w;
  w.Ue(ParameterSetId(s));  // pic_parameter_set_id
  w.Ue(ParameterSetId(s));  // seq_parameter_set_id
  w.Bit(false);  // entropy_coding_mode_flag: CAVLC
  w.Bit(false);  // bottom_field_pic_order_in_frame_present_flag
  w.Ue(0);       // num_slice_groups_minus1
  w.Ue(0);       // num_ref_idx_l0_default_active_minus1
  w.Ue(0);       // num_ref_idx_l1_default_active_minus1
  w.Bit(false);  // weighted_pred_flag
  w.Bits(0, 2);  // weighted_bipred_idc
  w.Se(0);       // pic_init_qp_minus26
  w.Se(0);       // pic_init_qs_minus26
  w.Se(0);       // chroma_qp_index_offset
  w.Bit(false);  // deblocking_filter_control_present_flag
  w.Bit(false);  // constrained_intra_pred_flag
  w.Bit(false);  // redundant_pic_cnt_present_flag
  w.Trailing();
  AppendNal(out, kPpsHeader, w);
}

// The macroblocks of slice `i` of `count`: [first, end).
std::pair<long, long> SliceMacroblocks(const FlatSequence& s, long i, long count) {
  const long total = PictureMacroblocks(s);
  return {total * i / count, total * (i + 1) / count};
}

long SliceCount(const FlatSequence& s) { return std::clamp<long>(s.slices, 1, PictureMacroblocks(s)); }

enum class Picture { kFrame, kTopField, kBottomField };

// The field flags of a slice header where the sequence codes fields.
void AppendStructure(BitWriter& w, const FlatSequence& s, Picture picture) {
  if (!s.fields) return;
  w.Bit(true);                                // field_pic_flag
  w.Bit(picture == Picture::kBottomField);    // bottom_field_flag
}

// An intra picture; the first one of a key frame is its IDR picture, the
// bottom field after an IDR top field an intra reference field.
void AppendIntraSlices(std::vector<uint8_t>& out, const FlatSequence& s, Picture picture) {
  const int chroma = ChromaFormat(s);
  const bool idr = picture != Picture::kBottomField;
  const long count = SliceCount(s);
  for (long i = 0; i < count; ++i) {
    const auto [first, end] = SliceMacroblocks(s, i, count);
    BitWriter w;
    w.Ue(static_cast<uint32_t>(first));  // first_mb_in_slice
    w.Ue(7);  // slice_type: I, and every slice of the picture is
    w.Ue(ParameterSetId(s));
    w.Bits(0, kLog2MaxFrameNum);  // frame_num
    AppendStructure(w, s, picture);
    if (idr) w.Ue(0);  // idr_pic_id
    if (s.reverseOrder) w.Bits(0, kLog2MaxPocLsb);  // pic_order_cnt_lsb
    if (idr) {
      w.Bit(false);  // no_output_of_prior_pics_flag
      w.Bit(false);  // long_term_reference_flag
    } else {
      w.Bit(false);  // adaptive_ref_pic_marking_mode_flag
    }
    w.Se(0);       // slice_qp_delta
    // Every macroblock: I_16x16 with DC prediction and no coded coefficients
    // (mb_type 3), chroma DC prediction where chroma is predicted apart, no
    // qp change, and an empty DC block for each colour coded like luma.
    for (long m = first; m < end; ++m) {
      w.Ue(3);
      if (chroma == 1 || chroma == 2) w.Ue(0);  // intra_chroma_pred_mode
      w.Se(0);                                  // mb_qp_delta
      for (int plane = 0; plane < (chroma == 3 ? 3 : 1); ++plane) w.Bit(true);  // coeff_token: no coefficient
    }
    w.Trailing();
    AppendNal(out, idr ? kIdrHeader : kIntraFieldHeader, w);
  }
}

// A copy of the picture before, skipping every macroblock.
void AppendSkippedSlices(std::vector<uint8_t>& out, const FlatSequence& s, Picture picture, uint32_t index) {
  const long count = SliceCount(s);
  // Pictures shown in reverse: none is a reference, so each takes the frame
  // number after the key frame's.
  const uint32_t step = s.frameNumGaps ? static_cast<uint32_t>(References(s)) + 1 : 1;
  const uint32_t frameNum = s.reverseOrder ? 1 : index * step;
  for (long i = 0; i < count; ++i) {
    auto [first, end] = SliceMacroblocks(s, i, count);
    if (s.overlappingSlices) {
      first = i;
      end = PictureMacroblocks(s);
    }
    BitWriter w;
    w.Ue(static_cast<uint32_t>(first));  // first_mb_in_slice
    w.Ue(5);  // slice_type: P, and every slice of the picture is
    w.Ue(ParameterSetId(s));
    w.Bits(frameNum % (1u << kLog2MaxFrameNum), kLog2MaxFrameNum);  // frame_num
    AppendStructure(w, s, picture);
    // Counting down from the middle of the lsb range, above the key frame's 0.
    if (s.reverseOrder) w.Bits((1u << (kLog2MaxPocLsb - 1)) - 2 - 2 * (index % 16000), kLog2MaxPocLsb);
    w.Bit(false);  // num_ref_idx_active_override_flag
    w.Bit(false);  // ref_pic_list_modification_flag_l0
    if (!s.reverseOrder) w.Bit(false);  // adaptive_ref_pic_marking_mode_flag: sliding window
    w.Se(0);       // slice_qp_delta
    w.Ue(static_cast<uint32_t>(end - first));  // mb_skip_run: all
    w.Trailing();
    AppendNal(out, s.reverseOrder ? kNonReferenceHeader : kReferenceHeader, w);
  }
}

}  // namespace

std::vector<uint8_t> FlatKeyFrame(const FlatSequence& s) {
  std::vector<uint8_t> out;
  if (!s.parameterSetsAfterSlices) {
    AppendSequenceParameters(out, s);
    AppendPictureParameters(out, s);
  }
  if (s.fields) {
    AppendIntraSlices(out, s, Picture::kTopField);
    AppendIntraSlices(out, s, Picture::kBottomField);
  } else {
    AppendIntraSlices(out, s, Picture::kFrame);
  }
  if (s.parameterSetsAfterSlices) {
    AppendSequenceParameters(out, s);
    AppendPictureParameters(out, s);
  }
  return out;
}

std::vector<uint8_t> FlatRepeatFrame(const FlatSequence& s, uint32_t index) {
  std::vector<uint8_t> out;
  if (s.fields) {
    AppendSkippedSlices(out, s, Picture::kTopField, index);
    AppendSkippedSlices(out, s, Picture::kBottomField, index);
  } else {
    AppendSkippedSlices(out, s, Picture::kFrame, index);
  }
  return out;
}

std::vector<uint8_t> FlatKeyFrame(int width, int height, int references) {
  FlatSequence s;
  s.width = width;
  s.height = height;
  s.references = std::clamp(references, 1, 16);
  return FlatKeyFrame(s);
}

std::vector<uint8_t> FlatRepeatFrame(int width, int height, uint32_t index) {
  FlatSequence s;
  s.width = width;
  s.height = height;
  return FlatRepeatFrame(s, index);
}

}  // namespace devsim

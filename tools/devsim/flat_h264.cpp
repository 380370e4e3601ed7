#include "tools/devsim/flat_h264.h"

#include <algorithm>

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
constexpr uint8_t kSpsHeader = 0x67;       // nal_ref_idc 3, type 7
constexpr uint8_t kPpsHeader = 0x68;       // nal_ref_idc 3, type 8
constexpr uint8_t kIdrHeader = 0x65;       // nal_ref_idc 3, type 5
constexpr uint8_t kReferenceHeader = 0x41; // nal_ref_idc 2, type 1

int Macroblocks(int pixels) { return (std::clamp(pixels, 2, 16384) + 15) / 16; }

void AppendSequenceParameters(std::vector<uint8_t>& out, int width, int height, int references) {
  const int mbWidth = Macroblocks(width);
  const int mbHeight = Macroblocks(height);
  BitWriter w;
  w.Bits(66, 8);    // profile_idc: baseline
  w.Bits(0xC0, 8);  // constraint_set0 and 1: constrained baseline
  w.Bits(62, 8);    // level_idc 6.2, the highest
  w.Ue(0);          // seq_parameter_set_id
  w.Ue(kLog2MaxFrameNum - 4);
  w.Ue(2);          // pic_order_cnt_type: output order is decoding order
  w.Ue(static_cast<uint32_t>(std::clamp(references, 1, 16)));  // max_num_ref_frames
  w.Bit(false);     // gaps_in_frame_num_value_allowed_flag
  w.Ue(static_cast<uint32_t>(mbWidth - 1));
  w.Ue(static_cast<uint32_t>(mbHeight - 1));
  w.Bit(true);      // frame_mbs_only_flag
  w.Bit(true);      // direct_8x8_inference_flag
  // Cropping counts pairs of luma pixels in 4:2:0.
  const int cropRight = (mbWidth * 16 - width) / 2;
  const int cropBottom = (mbHeight * 16 - height) / 2;
  const bool crop = cropRight > 0 || cropBottom > 0;
  w.Bit(crop);
  if (crop) {
    w.Ue(0);
    w.Ue(static_cast<uint32_t>(cropRight));
    w.Ue(0);
    w.Ue(static_cast<uint32_t>(cropBottom));
  }
  w.Bit(false);  // vui_parameters_present_flag
  w.Trailing();
  AppendNal(out, kSpsHeader, w);
}

void AppendPictureParameters(std::vector<uint8_t>& out) {
  BitWriter w;
  w.Ue(0);       // pic_parameter_set_id
  w.Ue(0);       // seq_parameter_set_id
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

}  // namespace

std::vector<uint8_t> FlatKeyFrame(int width, int height, int references) {
  std::vector<uint8_t> out;
  AppendSequenceParameters(out, width, height, references);
  AppendPictureParameters(out);
  BitWriter w;
  w.Ue(0);  // first_mb_in_slice
  w.Ue(7);  // slice_type: I, and every slice of the picture is
  w.Ue(0);  // pic_parameter_set_id
  w.Bits(0, kLog2MaxFrameNum);  // frame_num
  w.Ue(0);       // idr_pic_id
  w.Bit(false);  // no_output_of_prior_pics_flag
  w.Bit(false);  // long_term_reference_flag
  w.Se(0);       // slice_qp_delta
  // Every macroblock: I_16x16 with DC prediction and no coded coefficients
  // (mb_type 3), chroma DC prediction, no qp change, and an empty DC block.
  const long macroblocks = static_cast<long>(Macroblocks(width)) * Macroblocks(height);
  for (long i = 0; i < macroblocks; ++i) w.Bits(0b00100'1'1'1, 8);
  w.Trailing();
  AppendNal(out, kIdrHeader, w);
  return out;
}

std::vector<uint8_t> FlatRepeatFrame(int width, int height, uint32_t index) {
  std::vector<uint8_t> out;
  BitWriter w;
  w.Ue(0);  // first_mb_in_slice
  w.Ue(5);  // slice_type: P, and every slice of the picture is
  w.Ue(0);  // pic_parameter_set_id
  w.Bits(index % (1u << kLog2MaxFrameNum), kLog2MaxFrameNum);  // frame_num
  w.Bit(false);  // num_ref_idx_active_override_flag
  w.Bit(false);  // ref_pic_list_modification_flag_l0
  w.Bit(false);  // adaptive_ref_pic_marking_mode_flag: sliding window
  w.Se(0);       // slice_qp_delta
  w.Ue(static_cast<uint32_t>(static_cast<long>(Macroblocks(width)) * Macroblocks(height)));  // mb_skip_run: all
  w.Trailing();
  AppendNal(out, kReferenceHeader, w);
  return out;
}

}  // namespace devsim

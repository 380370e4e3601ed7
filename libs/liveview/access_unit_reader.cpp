#include "libs/liveview/access_unit_reader.h"

#include <algorithm>
#include <optional>

#include "libs/liveview/h264_nal_units.h"
#include "libs/liveview/h264_sei.h"

namespace liveview {

namespace h = h264;

namespace {

// The slice header's start lies well within this many bytes.
constexpr std::size_t kSliceStartBytes = 64;

// The frame is refused: nothing of it reaches the decoder.
FrameForDecoder Refused() { return FrameForDecoder(); }

// The picture a frame's slices are making, as libavcodec tells pictures
// apart: a slice at macroblock 0 starts a new one.
struct PictureSoFar {
  h::SliceStart first;
  bool idr = false;
  uint32_t lastFirstMb = 0;
  int slices = 0;
};

}  // namespace

AccessUnitReader::AccessUnitReader(const PictureLimits& limits) : limits_(limits) {}

void AccessUnitReader::Forget() {
  sequences_ = {};
  pictures_ = {};
}

int64_t AccessUnitReader::AnnouncedPictures(const h::SequenceParameters& s) {
  // libavcodec keeps one reference even where the sequence names none, holds
  // as many pictures back for showing in order as the reorder depth says,
  // and max_dec_frame_buffering announces the whole store.
  const int64_t held = std::max(1, s.maxNumRefFrames) + std::max(0, s.maxNumReorderFrames);
  return std::max<int64_t>(held, s.maxDecFrameBuffering);
}

bool AccessUnitReader::Fits(const h::SequenceParameters& s, int64_t pictures) const {
  if (!limits_.Allows({s.codedWidth(), s.codedHeight(), s.shownWidth, s.shownHeight})) return false;
  return PictureLimits::AllowsPictureStore(
      pictures, PictureLimits::PictureBytes(s.frameMacroblocks(), s.chromaFormatIdc, s.bitDepth));
}

FrameForDecoder AccessUnitReader::Read(std::span<const uint8_t> frame) {
  const auto units = h::SplitAnnexB(frame, kMaxNalUnitsPerFrame);
  if (!units) return Refused();  // a byte stream that breaks the standard, or too many units
  // The frame's parameter sets count only once the whole frame is accepted.
  Sequences sequences = sequences_;
  Pictures pictures = pictures_;
  FrameForDecoder out;
  std::optional<PictureSoFar> picture;
  bool sliceSeen = false;
  bool recoveryPointKept = false;
  for (const h::NalUnit& unit : *units) {
    if (unit.forbiddenBit) return Refused();  // a unit with its forbidden bit set
    switch (unit.type) {
      case h::kNalSequenceParameters: {
        if (sliceSeen) return Refused();  // sequence parameters after a slice
        const auto read = h::ReadSequenceParameters(h::Rbsp(unit));
        if (!read) return Refused();  // sequence parameters that do not read
        if (!Fits(*read, AnnouncedPictures(*read))) return Refused();  // sequence parameters beyond the limits
        // A repeat of the set held keeps it, and the picture parameters read against it.
        auto& held = sequences[read->id];
        if (!held || held->rbsp != read->rbsp) held = std::make_shared<const h::SequenceParameters>(*read);
        out.units.push_back(unit.bytes);
        break;
      }
      case h::kNalPictureParameters: {
        if (sliceSeen) return Refused();  // picture parameters after a slice
        const auto read = h::ReadPictureParameters(h::Rbsp(unit), sequences);
        if (!read) return Refused();  // picture parameters that do not read
        pictures[read->id] = std::make_shared<const h::PictureParameters>(*read);
        out.units.push_back(unit.bytes);
        break;
      }
      case h::kNalSei: {
        // Only before the picture, once; the rest is dropped, not refused.
        if (sliceSeen || recoveryPointKept) break;
        if (const auto point = h::ReadRecoveryPoint(h::Rbsp(unit))) {
          out.made = h::WriteRecoveryPointSei(*point);
          out.units.push_back(out.made);
          recoveryPointKept = true;
        }
        break;
      }
      case h::kNalSlice:
      case h::kNalIdrSlice: {
        const bool idr = unit.type == h::kNalIdrSlice;
        const auto slice = h::ReadSliceStart(h::Rbsp(unit, kSliceStartBytes), idr, pictures);
        if (!slice) return Refused();  // a slice whose picture cannot be learnt
        const auto& sequence = slice->pictureParameters->sequence;
        if (sequences[sequence->id] != sequence) return Refused();  // a slice of sequence parameters since replaced
        if (!picture || slice->firstMb == 0) {
          // A new picture: the frame's first, or the second field of its frame.
          if (picture) {
            const h::SliceStart& first = picture->first;
            const bool secondField = out.pictures == 1 && first.fieldPic && slice->fieldPic &&
                                     first.bottomField != slice->bottomField && first.frameNum == slice->frameNum &&
                                     first.pictureParameters->sequence == sequence;
            if (!secondField) return Refused();  // more than one picture in a frame
          }
          picture = PictureSoFar{*slice, idr, slice->firstMb, 0};
          ++out.pictures;
          out.sequence = sequence;
        } else {
          // The slices of one picture share its parameters and structure, in
          // the order of their macroblocks.
          const h::SliceStart& first = picture->first;
          if (slice->pictureParameters != first.pictureParameters || idr != picture->idr ||
              slice->fieldPic != first.fieldPic || slice->bottomField != first.bottomField ||
              slice->frameNum != first.frameNum || slice->firstMb <= picture->lastFirstMb)
            return Refused();  // slices that do not make one picture
          picture->lastFirstMb = slice->firstMb;
        }
        if (++picture->slices > kMaxSlicesPerPicture) return Refused();  // too many slices in a picture
        sliceSeen = true;
        out.units.push_back(unit.bytes);
        break;
      }
      default:
        break;  // nothing a picture needs: not handed on
    }
  }
  sequences_ = std::move(sequences);
  pictures_ = std::move(pictures);
  out.accepted = true;
  return out;
}

}  // namespace liveview

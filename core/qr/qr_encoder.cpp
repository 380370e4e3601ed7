#include "core/qr/qr_encoder.h"

#include <cstring>

bool QrEncoder::EncodeData(const char* text, int& version) {
  ecLevelBits_ = qrtables::kLevelQBits;
  maskPattern_ = 0;
  runCount_ = 0;
  streamBits_ = 0;
  dataBits_ = 0;
  if (text == nullptr || version < qrtables::kMinVersion || version > qrtables::kMaxVersion) return false;
  // Longer texts can never fit, so their length is not even counted in full.
  const std::size_t length = strnlen(text, kMaxTextBytes + 1);
  if (length == 0 || length > static_cast<std::size_t>(kMaxTextBytes)) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);

  // The count-indicator lengths depend on the version group, so the
  // segmentation is redone per group, from the minimum version's group up.
  int found = 0;
  for (int group = qrtables::GroupOfVersion(version); group < qrtables::kVersionGroups && found == 0; ++group) {
    Segment(bytes, static_cast<int>(length), group);
    if (!BuildStream(bytes, group)) continue;
    const int neededCodewords = (streamBits_ + 7) / 8;
    for (int v = qrtables::kGroupFirstVersion[group]; v <= qrtables::kGroupLastVersion[group]; ++v) {
      if (qrtables::LevelQ(v).DataCodewords() >= neededCodewords) {
        found = v;
        break;
      }
    }
  }
  if (found == 0) return false;

  version_ = found > version ? found : version;
  size_ = qrtables::SymbolSize(version_);
  dataBits_ = streamBits_;
  CompleteStream(qrtables::LevelQ(version_).DataCodewords());
  AddErrorCorrection();
  BuildMatrix();
  version = version_;
  return true;
}

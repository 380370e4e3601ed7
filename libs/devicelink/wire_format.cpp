#include "libs/devicelink/wire_format.h"

#include <algorithm>
#include <cstring>

namespace devicelink::wire {

std::vector<uint8_t> Encode(Type type, uint32_t sequence, int32_t status, std::span<const uint8_t> payload) {
  Writer w;
  w.Bytes(kMagic).U8(kVersion).U8(static_cast<uint8_t>(type)).U16(0).U32(sequence).I32(status);
  w.U32(static_cast<uint32_t>(payload.size())).Bytes(payload);
  return std::move(w.data());
}

std::array<uint8_t, kHeaderSize> EncodeHeader(Type type, uint32_t sequence, int32_t status, uint32_t length) {
  Writer w;
  w.Bytes(kMagic).U8(kVersion).U8(static_cast<uint8_t>(type)).U16(0).U32(sequence).I32(status).U32(length);
  std::array<uint8_t, kHeaderSize> header{};
  std::copy(w.data().begin(), w.data().end(), header.begin());
  return header;
}

HeaderCheck ParseHeader(std::span<const uint8_t> bytes, Header& out) {
  if (bytes.size() < kHeaderSize) {
    // The magic and version are known as soon as they are there: garbage is
    // told at once, not after waiting for a whole header that never comes.
    const std::size_t known = std::min(bytes.size(), kMagic.size());
    if (!std::equal(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(known), kMagic.begin()))
      return HeaderCheck::kInvalid;
    if (bytes.size() > kMagic.size() && bytes[kMagic.size()] != kVersion) return HeaderCheck::kInvalid;
    return HeaderCheck::kIncomplete;
  }
  Reader r(bytes.first(kHeaderSize));
  const auto magic = r.Bytes(4);
  if (!std::equal(magic.begin(), magic.end(), kMagic.begin())) return HeaderCheck::kInvalid;
  if (r.U8() != kVersion) return HeaderCheck::kInvalid;
  out.type = static_cast<Type>(r.U8());
  if (r.U16() != 0) return HeaderCheck::kInvalid;
  out.sequence = r.U32();
  out.status = r.I32();
  out.length = r.U32();
  if (out.length > kMaxPayload) return HeaderCheck::kInvalid;
  return HeaderCheck::kOk;
}

std::optional<Frame> ParseDatagram(std::span<const uint8_t> datagram) {
  Frame f;
  if (ParseHeader(datagram, f.header) != HeaderCheck::kOk) return std::nullopt;
  if (datagram.size() != kHeaderSize + f.header.length) return std::nullopt;
  f.payload.assign(datagram.begin() + kHeaderSize, datagram.end());
  return f;
}

void FrameReader::Feed(std::span<const uint8_t> bytes) {
  if (broken_) return;
  if (consumed_ > 0 && consumed_ == buffer_.size()) {
    buffer_.clear();
    consumed_ = 0;
  } else if (consumed_ > (1u << 20)) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(consumed_));
    consumed_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameReader::Next() {
  if (broken_) return std::nullopt;
  const std::span<const uint8_t> pending(buffer_.data() + consumed_, buffer_.size() - consumed_);
  Frame f;
  switch (ParseHeader(pending, f.header)) {
    case HeaderCheck::kIncomplete:
      return std::nullopt;
    case HeaderCheck::kInvalid:
      broken_ = true;
      buffer_.clear();
      consumed_ = 0;
      return std::nullopt;
    case HeaderCheck::kOk:
      break;
  }
  if (pending.size() < kHeaderSize + f.header.length) return std::nullopt;
  f.payload.assign(pending.begin() + kHeaderSize, pending.begin() + kHeaderSize + f.header.length);
  consumed_ += kHeaderSize + f.header.length;
  return f;
}

Writer& Writer::U8(uint8_t v) {
  data_.push_back(v);
  return *this;
}
Writer& Writer::U16(uint16_t v) {
  for (int i = 0; i < 2; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return *this;
}
Writer& Writer::U32(uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return *this;
}
Writer& Writer::U64(uint64_t v) {
  for (int i = 0; i < 8; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return *this;
}
Writer& Writer::Bytes(std::span<const uint8_t> b) {
  data_.insert(data_.end(), b.begin(), b.end());
  return *this;
}
Writer& Writer::Text(std::string_view text, std::size_t width) {
  const std::size_t n = width == 0 ? 0 : std::min(text.size(), width - 1);
  data_.insert(data_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
  data_.insert(data_.end(), width - n, 0);
  return *this;
}

std::span<const uint8_t> Reader::Bytes(std::size_t n) {
  if (failed_ || data_.size() - pos_ < n) {
    failed_ = true;
    return {};
  }
  auto out = data_.subspan(pos_, n);
  pos_ += n;
  return out;
}
uint8_t Reader::U8() {
  auto b = Bytes(1);
  return b.empty() ? 0 : b[0];
}
uint16_t Reader::U16() {
  auto b = Bytes(2);
  return b.empty() ? 0 : static_cast<uint16_t>(b[0] | (b[1] << 8));
}
uint32_t Reader::U32() {
  auto b = Bytes(4);
  uint32_t v = 0;
  for (std::size_t i = 0; i < b.size(); ++i) v |= uint32_t{b[i]} << (8 * i);
  return v;
}
uint64_t Reader::U64() {
  auto b = Bytes(8);
  uint64_t v = 0;
  for (std::size_t i = 0; i < b.size(); ++i) v |= uint64_t{b[i]} << (8 * i);
  return v;
}
std::string Reader::Text(std::size_t width) {
  auto b = Bytes(width);
  const auto* begin = reinterpret_cast<const char*>(b.data());
  const auto* nul = b.empty() ? nullptr : static_cast<const char*>(std::memchr(begin, 0, b.size()));
  return std::string(begin, nul ? nul : begin + b.size());
}
std::span<const uint8_t> Reader::Rest() { return Bytes(remaining()); }

}  // namespace devicelink::wire

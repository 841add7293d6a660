#include "sim/RecordAssembler.h"

#include <numeric>

#include "link/RecordCodec.h"

namespace oxalis::sim {

RecordAssembler::Result RecordAssembler::push(char c) {
  if (c == ':') {
    assembling_ = true;
    highNibblePending_ = false;
    bytes_.clear();
    return Result::Pending;
  }
  if (!assembling_) return Result::Pending;
  const int digit = HexDigitValue(c);
  if (digit < 0) {
    assembling_ = false;
    return Result::Rejected;
  }
  if (!highNibblePending_) {
    highNibble_ = digit;
    highNibblePending_ = true;
    return Result::Pending;
  }
  highNibblePending_ = false;
  bytes_.push_back(static_cast<std::uint8_t>(highNibble_ * 16 + digit));
  // LL, two address bytes, type, LL data bytes and the checksum.
  if (bytes_.size() < 5 || bytes_.size() < static_cast<std::size_t>(bytes_[0]) + 5) return Result::Pending;
  assembling_ = false;
  return finish();
}

RecordAssembler::Result RecordAssembler::finish() {
  const unsigned sum = std::accumulate(bytes_.begin(), bytes_.end(), 0u);
  if (sum % 256 != 0) return Result::Rejected;
  record_.address = static_cast<std::uint16_t>(bytes_[1] << 8 | bytes_[2]);
  record_.type = bytes_[3];
  record_.data.assign(bytes_.begin() + 4, bytes_.end() - 1);
  return Result::Valid;
}

}  // namespace oxalis::sim

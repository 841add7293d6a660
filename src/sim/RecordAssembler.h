#pragma once
// The module's receiver: collects the characters of one record
// (":" LL AAAA TT data CC, upper-case hex, no terminator) and checks it.
//  - ":" always starts a new record, dropping any partial one.
//  - Characters outside a record are ignored.
//  - The record ends after 11 + 2 LL characters; it is Valid when its bytes,
//    checksum included, sum to 0 modulo 256, otherwise Rejected.
//  - A character that is not an upper-case hex digit inside a record
//    rejects the record at once.
#include <cstdint>
#include <vector>

namespace oxalis::sim {

struct ReceivedRecord {
  std::uint8_t type = 0;
  std::uint16_t address = 0;
  std::vector<std::uint8_t> data;

  bool operator==(const ReceivedRecord&) const = default;
};

class RecordAssembler {
 public:
  enum class Result { Pending, Valid, Rejected };

  Result push(char c);
  // The last Valid record.
  const ReceivedRecord& record() const { return record_; }
  bool assembling() const { return assembling_; }

 private:
  Result finish();

  bool assembling_ = false;
  bool highNibblePending_ = false;
  int highNibble_ = 0;
  std::vector<std::uint8_t> bytes_;  // LL, address high, address low, type, data..., checksum
  ReceivedRecord record_;
};

}  // namespace oxalis::sim

#pragma once
// The text record exchanged with the module in both directions:
//   ":" LL AAAA TT data CC
// upper-case hex, big-endian, CC the two's complement of the byte sum.
// No terminator follows a record.
#include <cstdint>
#include <string>
#include <string_view>

namespace oxalis {

// Record types, the same in both directions where a request and its reply
// share one.
namespace record_type {
inline constexpr std::uint8_t kData = 0x00;        // a write: configuration or memory bytes
inline constexpr std::uint8_t kExtendedAddress = 0x04;  // selects the memory area of the writes after it
inline constexpr std::uint8_t kParameters = 0x10;  // read parameters / parameter reply
inline constexpr std::uint8_t kMemory = 0x11;      // read memory / memory reply
inline constexpr std::uint8_t kIdentify = 0x12;    // identification request / reply
inline constexpr std::uint8_t kMeasurement = 0x13; // stream on/off request / measurement record
inline constexpr std::uint8_t kReload = 0x14;      // take over a group of settings
inline constexpr std::uint8_t kTime = 0x15;        // probe running time request / reply
}  // namespace record_type

// Single characters outside records: the module's pacing and its reports.
namespace link_char {
inline constexpr std::uint8_t kXon = 0x11;    // the module takes the next record
inline constexpr std::uint8_t kXoff = 0x13;   // the module is busy
inline constexpr std::uint8_t kChecksumError = 0xC3;  // the last record was rejected: sent again
inline constexpr std::uint8_t kBlankError = 0xC6;     // bootloader: erase failed
inline constexpr std::uint8_t kVerifyError = 0xCC;    // bootloader: written bytes read back different
inline constexpr std::uint8_t kOverrun = 0xD8;        // the last record was lost: sent again
inline constexpr std::uint8_t kFirmwareChecksumError = 0xF0;  // bootloader: firmware checksum wrong
inline constexpr std::uint8_t kUpdateSuccessful = 0xFA;       // bootloader: update done
}  // namespace link_char

// Two upper-case hex digits. Values above 255 become 255; a negative value
// is written as its low byte (its two's complement).
std::string HexByte(long long value);

// Four upper-case hex digits. Values above 0xFFFF become 0xFFFF; a negative
// value has 0x10000 added (and stays at 0 if that is not enough).
std::string HexWord(long long value);

// `digits` upper-case hex digits, most significant first. A negative value is
// first replaced by 0x7FFF0000. A value too large for the digits saturates at
// all F, like HexByte and HexWord.
std::string HexDigits(long long value, int digits);

// Value of one or two hex digits. Only "0".."9" and "A".."F" are recognised;
// any other character counts as 0.
std::uint8_t HexToByte(std::string_view text);

// Value of one hex digit, or -1 for a character that is not one.
int HexDigitValue(char c);

// Checksum of a record text that begins with ":" and has no checksum yet: the
// pairs of characters from the second one on are summed modulo 256, and the
// two's complement is returned as two hex digits.
std::string RecordChecksum(std::string_view recordWithoutChecksum);

// The value limited to 0xFFFF and read as a signed 16-bit number.
long long SignedWordValue(long long value);

// A complete record: ":" + LL + AAAA + TT + data + CC. `data` holds the data
// bytes themselves (one char per byte), not their hex text.
std::string BuildRecord(std::uint8_t type, std::uint16_t address, std::string_view data);

// Appends RecordChecksum to a record text.
std::string WithChecksum(std::string recordWithoutChecksum);

}  // namespace oxalis

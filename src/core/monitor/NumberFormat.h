#pragma once
// The number-to-text rules shared by the live panel, the trace cursors, the
// status bar and the factory window. Values are fixed-point integers; text is
// made only for display.
#include <cstdint>
#include <string>

namespace oxalis {

// Fixed-point text: the value with `decimals` digits after ".", "-" in front
// of a negative value and one space in front of any other, so columns line
// up. The value is first limited to 65535 and, when `isSigned`, a value above
// 32767 is read as a 16-bit two's complement. Both corrections are stored
// back into `value`: the live panel keeps the value it shows, so a division
// guard's 99999 is kept (and shown) as 65535.
std::string formatFixed(std::int32_t& value, bool isSigned, int decimals);

// The same text without touching the caller's variable.
std::string formatFixedValue(std::int64_t value, bool isSigned, int decimals);

// Probe used time: "1h  2mn  5s" for 3725 s (hours plain, minutes and
// seconds with their sign column).
std::string formatDuration(std::int64_t seconds);

// n / d, or 99999 when d is 0.
double safeDivide(double n, double d);

}  // namespace oxalis

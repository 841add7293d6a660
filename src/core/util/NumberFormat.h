#pragma once
// The number-to-text rules shared by the live panel, the trace cursors, the
// status bar and the factory window. Values are fixed-point integers; text is
// made only for display.
#include <cstdint>
#include <string>
#include <string_view>

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

// The same layout for a value of any size, with neither correction: for
// quantities that are not kept within a 16-bit word, such as the user
// channels, whose values run as far as their scaling takes them. A CAN
// channel at 7000.0 (70000 with 1 decimal) reads " 7000.0", not the
// " 6553.5" the 16-bit limit would make of it.
std::string formatFixedWide(std::int64_t value, int decimals);

// 0..99 with a leading zero below 10: "07" (clock and date fields).
std::string TwoDigits(long value);

// Probe used time: "1h  2mn  5s" for 3725 s (hours plain, minutes and
// seconds with their sign column).
std::string formatDuration(std::int64_t seconds);

// Rounded to nearest (ties to even) and held within the 32-bit range; NaN
// reads 0.
std::int32_t roundToInt32(double value);

// n / d, or 99999 when d is 0.
double safeDivide(double n, double d);

// A double as a plain decimal number: "." as separator, never an exponent,
// integers without decimals, and the fewest digits that read back (with
// ReadLeadingNumber) to exactly the same double. Values of any magnitude keep
// the plain form, so a very large or very small value makes a long text (at
// most about 330 characters) rather than an exponent that a plain reader
// would cut short. -0 is written "0"; NaN is written "0" and the infinities
// as the largest finite value of their sign, so the text always reads back as
// a finite number.
std::string FormatPlainNumber(double value);

// The number at the start of a text: leading blanks (spaces and tabs) are
// skipped, then an optional sign, then digits with an optional "." fraction
// (".5" and "5." are numbers). Reading stops at the first other character,
// so "1e3" reads 1 and "12.5abc" reads 12.5; a text with no leading number
// reads 0. A number too large for a double reads as the largest finite value
// of its sign, one too small as 0.
double ReadLeadingNumber(std::string_view text);

}  // namespace oxalis

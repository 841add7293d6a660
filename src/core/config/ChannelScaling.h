#pragma once
// A user channel's raw word and its physical value, both ways, with the
// channel's coefficients: physical = (A*raw + B) / (C*raw + D).
#include <cstdint>

namespace oxalis {

// A raw word in units of 10^-decimals: (a*raw + b) / (c*raw + d) times
// 10^decimals, rounded to nearest with ties to even. A channel whose scale
// ends below 32768 (max < 32768) is a signed one: words above 32767 count
// down from -1. A zero divisor gives 99999. The result is held within the
// 32-bit range; a result that is not a number (only absurd coefficients give
// one) reads 0.
std::int32_t scaleChannel(std::uint16_t raw, double a, double b, double c, double d, int decimals, double max);

// The raw word of a physical value x: (x*d - b) / (a - c*x), rounded to
// nearest with ties to even and held within 0..65535. A zero divisor gives
// 99999, hence 65535; a result that is not a number reads 0.
std::uint16_t unscaleChannel(double x, double a, double b, double c, double d);

}  // namespace oxalis

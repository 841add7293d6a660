#include "setup/CoefficientToolbox.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "util/NumberFormat.h"

namespace oxalis {
namespace {

// A typed number; "," is taken as the decimal separator as well.
double number(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return ReadLeadingNumber(text);
}

// A value within rounding noise of a whole number is that number, so that
// 0.3 x 100 counts as whole rather than as 30.000000000000004.
double snapped(double value) {
  const double whole = std::round(value);
  return std::abs(value - whole) <= 1e-9 * std::max(1.0, std::abs(value)) ? whole : value;
}

bool hasFraction(double value) { return snapped(value) != std::floor(snapped(value)); }

}  // namespace

CoefficientResult SET_COEF(const CoefficientEntry& entry) {
  CoefficientResult r;
  r.decimals = static_cast<int>(std::clamp(number(entry.Vdec), 0.0, 3.0));
  const double scale = std::pow(10.0, r.decimals);
  const double x1 = number(entry.VX1), y1 = number(entry.VY1);
  if (entry.linear) {
    const double x2 = number(entry.VX2), y2 = number(entry.VY2);
    r.C = 0;
    r.D = scale;
    r.A = safeDivide((y2 - y1) * scale, x2 - x1);
    r.B = y1 * scale - x1 * r.A;
    // Up to three more decimal places, carried by D, to make A and B whole;
    // what is left after that is cut off.
    for (int i = 0; i < 3 && (hasFraction(r.A) || hasFraction(r.B)); ++i) {
      r.A *= 10;
      r.B *= 10;
      r.D *= 10;
    }
    r.A = std::floor(snapped(r.A));
    r.B = std::floor(snapped(r.B));
  } else {
    r.A = 0;
    r.B = x1 * y1;
    r.C = 1;
    r.D = 0;
  }
  struct Check {
    const double& value;
    const char* high;
    const char* low;
  };
  const std::array<Check, 3> checks{{{r.A, "A is too high. Must be <32767", "A is too low. Must be >-32767"},
                                     {r.B, "B is too high. Must be <32767", "B is too low. Must be >-32767"},
                                     {r.D, "D is too high. Must be <32767", "D is too low. Must be >-32767"}}};
  for (const Check& check : checks) {
    if (check.value > 32767) r.error = check.high;
    if (check.value < -32768) r.error = check.low;
    if (!r.ok()) break;
  }
  return r;
}

}  // namespace oxalis

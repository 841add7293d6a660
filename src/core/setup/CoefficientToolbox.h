#pragma once
// `SET_COEF` of the coefficient toolbox: the conversion coefficients of a
// received CAN channel from two sample points (Ax+B) or one (1/(Cx+D)),
// scaled so that A and B come out whole, and the checks that keep them
// within the module's 16-bit words.
#include <string>
#include <string_view>

namespace oxalis {

// The toolbox's inputs as typed: IN values `VX1`, `VX2`, OUT values `VY1`,
// `VY2`, the decimals `Vdec`, and the form ("Type Ax+B" when linear,
// otherwise "Type 1/(Cx+D)", which uses VX1 and VY1 only).
struct CoefficientEntry {
  std::string VX1, VX2, VY1, VY2;
  std::string Vdec = "2";
  bool linear = true;
};

// What goes into the CAN grid's row: A, B, C, D and the decimals (0..3);
// or, when a coefficient does not fit, the message shown instead
// (titled "Error", error icon) and nothing written.
struct CoefficientResult {
  double A = 0, B = 0, C = 0, D = 0;
  int decimals = 0;
  std::string error;
  bool ok() const { return error.empty(); }
};

CoefficientResult SET_COEF(const CoefficientEntry& entry);

}  // namespace oxalis

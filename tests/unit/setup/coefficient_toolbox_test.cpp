#include "setup/CoefficientToolbox.h"

#include <gtest/gtest.h>

namespace oxalis {
namespace {

struct CoefficientCase {
  const char* what;
  CoefficientEntry entry;
  double A, B, C, D;
  int decimals;
  const char* error;
};

TEST(SET_COEF, ComputesScalesAndChecksTheCoefficients) {
  const CoefficientCase cases[] = {
      {"two points", {"0", "1000", "0", "5000", "2", true}, 500, 0, 0, 100, 2, ""},
      {"offset", {"1", "3", "10", "20", "0", true}, 5, 5, 0, 1, 0, ""},
      {"fraction moved into D", {"0", "2", "0", "1", "0", true}, 5, 0, 0, 10, 0, ""},
      {"decimal comma", {"0", "1", "0,5", "1", "0", true}, 5, 5, 0, 10, 0, ""},
      {"three places then cut", {"0", "3", "0", "1", "0", true}, 333, 0, 0, 1000, 0, ""},
      {"decimals held to 3", {"0", "1", "0", "1", "7", true}, 1000, 0, 0, 1000, 3, ""},
      {"decimals held to 0", {"0", "1", "0", "1", "-1", true}, 1, 0, 0, 1, 0, ""},
      {"reciprocal", {"2", "", "3", "", "2", false}, 0, 6, 1, 0, 2, ""},
      {"same IN twice", {"5", "5", "0", "1", "0", true}, 99999, -499995, 0, 1, 0, "A is too high. Must be <32767"},
      {"A too low", {"0", "1", "0", "-400", "2", true}, -40000, 0, 0, 100, 2, "A is too low. Must be >-32767"},
      {"B too high", {"0", "1", "400", "400", "2", true}, 0, 40000, 0, 100, 2, "B is too high. Must be <32767"},
      {"B too low", {"7", "", "-5000", "", "0", false}, 0, -35000, 1, 0, 0, "B is too low. Must be >-32767"},
      {"D too high", {"0", "3", "0", "1", "3", true}, 333333, 0, 0, 1000000, 3, "A is too high. Must be <32767"},
      {"only D too high", {"0", "3000", "0", "1", "3", true}, 333, 0, 0, 1000000, 3, "D is too high. Must be <32767"},
  };
  for (const CoefficientCase& c : cases) {
    const CoefficientResult r = SET_COEF(c.entry);
    EXPECT_EQ(r.A, c.A) << c.what;
    EXPECT_EQ(r.B, c.B) << c.what;
    EXPECT_EQ(r.C, c.C) << c.what;
    EXPECT_EQ(r.D, c.D) << c.what;
    EXPECT_EQ(r.decimals, c.decimals) << c.what;
    EXPECT_EQ(r.error, c.error) << c.what;
  }
}

}  // namespace
}  // namespace oxalis

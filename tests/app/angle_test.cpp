// Tests of the exact sums of decimal degrees and tenths that the angle keys make.
#include "angle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <tuple>

namespace {

TEST(Angle, AddDegreesGivesTheExactSumInItsCanonicalForm) {
  const std::optional<std::string> none;
  // Plain up to 40 characters, or when no longer than with an exponent.
  // clang-format off
  const std::tuple<std::string, int64_t, std::optional<std::string>> rows[] = {
      {"0.1", 0, "0.1"}, {"+027.50", 0, "27.5"}, {"-0.0", 0, "0"}, {"9.95", 1, "10.05"},
      {"1E-3", -1, "-0.099"}, {"-1.25", 20, "0.75"}, {"-1.25", 10, "-0.25"}, {"1e2", 1, "100.1"},
      {"5.", -55, "-0.5"}, {"1e-300", 0, "1e-300"}, {"1e-300", 10, "1." + std::string(299, '0') + "1"},
      {"1e39", 0, "1" + std::string(39, '0')}, {"-1e39", 0, "-1e39"},
      {std::string(39, '1') + ".5", 0, std::string(39, '1') + ".5"},
      {"0", INT64_MIN, "-922337203685477580.8"}, {"0e99999999999999999999", 3, "0.3"},
      {"1e-1000000000000000", 0, "1e-1000000000000000"}, {"1e-1000000000000001", 0, none},
      {"1e-1000001", 1, none}, {"", 0, none}, {".", 0, none}, {"1e", 1, none}, {"1e+", 1, none},
      {"1.2.3", 0, none}, {" 1", 0, none}, {"0x10", 0, none}, {"inf", 0, none}, {"+-1", 0, none}};
  // clang-format on
  for (const auto& [text, tenths, sum] : rows) {
    EXPECT_EQ(sum, addDegrees(text, tenths)) << text << " + " << tenths;
  }
}

TEST(Angle, TenthsAddedThenTakenBackInAnyStepsGiveTheCanonicalTextBack) {
  std::mt19937_64 random(20260);
  const auto pick = [&random](int64_t a, int64_t b) {
    return std::uniform_int_distribution<int64_t>(std::min(a, b), std::max(a, b))(random);
  };
  for (int i = 0; i < 2000; ++i) {
    std::string text = pick(0, 1) ? "-" : "";
    for (int64_t digits = pick(1, 30), point = pick(-1, digits); digits > 0; --digits)
      text += (point-- == 0 ? "." : "") + std::to_string(pick(0, 9));
    if (pick(0, 1)) text += "e" + std::to_string(pick(-60, 40));
    const std::optional<std::string> canonical = addDegrees(text, 0);
    ASSERT_TRUE(canonical) << text;
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(canonical->c_str(), nullptr)) << text;
    EXPECT_EQ(canonical, addDegrees(*canonical, 0)) << text;
    std::optional<std::string> turned = text;
    for (int64_t left = pick(-100000, 100000), back = -left, step = 0; turned && (left || back);
         (left ? left : back) -= step) {
      turned = addDegrees(*turned, step = pick(0, left ? left : back));
    }
    EXPECT_EQ(canonical, turned) << text;
  }
}

}  // namespace

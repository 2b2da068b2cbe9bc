// Degrees to the turtle's float radians, and back to a decimal that reads the same.
#include "angle.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;  // rounds to the double nearest to pi

}  // namespace

std::optional<float> radiansOfDegrees(double degrees, double offset) {
  const double radians = offset + degrees * kPi / 180.0;
  // Also false for an infinite or NaN value.
  if (!(std::fabs(radians) <= static_cast<double>(FLT_MAX))) return std::nullopt;
  return static_cast<float>(radians);
}

double defaultDegrees() { return 0.5 * 180.0 / kPi; }

std::string shortestDecimal(double value) {
  char text[32];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

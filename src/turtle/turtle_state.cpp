// TurtleState: every change is computed in double and rounded once to float when stored.
#include "turtle_state.h"

#include <cfloat>
#include <cmath>

double radiansOf(double degrees, double offset) {
  constexpr double kPi = 3.14159265358979323846;  // rounds to the double nearest to pi
  return offset + degrees * kPi / 180.0;
}

float roundedToFloat(double v) {
  if (std::fabs(v) <= static_cast<double>(FLT_MAX)) return static_cast<float>(v);
  return v > 0 ? HUGE_VALF : v < 0 ? -HUGE_VALF : NAN;
}

void TurtleState::init(int32_t x0, int32_t y0, int32_t step0) {
  x = static_cast<float>(x0);
  y = static_cast<float>(y0);
  heading = kUpHeading;
  step = static_cast<float>(step0);
}

// The float operations stay out of line as a second guard beside the build's
// -fno-tree-slp-vectorize: GCC 12's vectorizer, given an inlined move next to another one, can
// reuse the unrounded double instead of the float that was stored.
void TurtleState::assign(const TurtleState& other) {
  x = static_cast<float>(other.getX());
  y = static_cast<float>(other.getY());
  heading = other.heading;
  step = static_cast<float>(other.getStep());
}

void TurtleState::turn(float delta) {
  heading = static_cast<float>(static_cast<double>(heading) + static_cast<double>(delta));
}

void TurtleState::changeStep(float delta) {
  step = static_cast<float>(static_cast<double>(step) + static_cast<double>(delta));
}

void TurtleState::forward() { move(direction(heading)); }

void TurtleState::move(const Direction& d) {
  // The product of two floats is exact in double; the sum is rounded once, at the store.
  x = static_cast<float>(static_cast<double>(d.sine) * static_cast<double>(step) +
                         static_cast<double>(x));
  y = static_cast<float>(static_cast<double>(d.cosine) * static_cast<double>(step) +
                         static_cast<double>(y));
}

void TurtleState::moveBy(const Direction& d, float length) {
  x = static_cast<float>(static_cast<double>(d.sine) * static_cast<double>(length) +
                         static_cast<double>(x));
  y = static_cast<float>(static_cast<double>(d.cosine) * static_cast<double>(length) +
                         static_cast<double>(y));
}

Direction TurtleState::direction(float heading) {
  const double h = static_cast<double>(heading);
  return {static_cast<float>(std::sin(h)), static_cast<float>(std::cos(h))};
}

// TurtleState: every change is computed in double and rounded once to float when stored.
#include "turtle_state.h"

#include <cmath>

void TurtleState::init(int32_t x0, int32_t y0) {
  x = static_cast<float>(x0);
  y = static_cast<float>(y0);
  heading = 3.1416f;
  step = 20.0f;
}

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

void TurtleState::forward() {
  // sin and cos are each rounded to float before they scale the step; the product and the
  // sum stay in double (the product of two floats is exact there) until the one store.
  const float sine = static_cast<float>(std::sin(static_cast<double>(heading)));
  x = static_cast<float>(static_cast<double>(sine) * static_cast<double>(step) +
                         static_cast<double>(x));
  const float cosine = static_cast<float>(std::cos(static_cast<double>(heading)));
  y = static_cast<float>(static_cast<double>(cosine) * static_cast<double>(step) +
                         static_cast<double>(y));
}

// TurtleState: position, heading and step of the turtle, as four 32-bit floats.
#pragma once

#include <cstdint>

// The start heading when none is given: a hair above pi, which points up on the screen.
constexpr float kUpHeading = 3.1416f;
// The book's "|": a turn by the float nearest to pi.
constexpr float kPiTurn = 3.14159265358979323846f;

// offset + degrees * pi / 180 in double: the one conversion of degrees, for the angles of the
// command line and the turns of the book's turtle alike.
double radiansOf(double degrees, double offset = 0.0);
// v rounded once to float; beyond the floats' range (where a plain conversion is undefined) an
// infinity of v's sign, and NaN for NaN.
float roundedToFloat(double v);

// sin and cos of a heading, each computed in double and rounded to float.
struct Direction {
  float sine;
  float cosine;
};

class TurtleState {
 public:
  // x, y and step become the integers as floats; heading kUpHeading.
  void init(int32_t x0, int32_t y0, int32_t step0 = 20);

  // Truncated toward zero; NaN gives 0 and values beyond the int32 range saturate.
  int32_t getX() const { return truncate(x); }
  int32_t getY() const { return truncate(y); }
  float getHeading() const { return heading; }
  int32_t getStep() const { return truncate(step); }

  // Not a copy: x, y and step come back through the truncating getters, heading exactly.
  void assign(const TurtleState& other);
  void turn(float delta);
  void changeStep(float delta);
  // Moves by step along heading: x by sin(heading) * step, y by cos(heading) * step.
  void forward();
  // forward() with the heading's direction already at hand, as direction(heading) gives it.
  void move(const Direction& d);
  // move() by length instead of the step.
  void moveBy(const Direction& d, float length);

  // The one place where sine and cosine are computed, so every caller gets the same bits.
  static Direction direction(float heading);

  static int32_t truncate(float v) {
#if defined(__wasm_nontrapping_fptoint__)
    // WebAssembly's saturating conversion gives exactly the results below in one instruction;
    // clang would keep the three tests in front of it.
    return __builtin_wasm_trunc_saturate_s_i32_f32(v);
#else
    if (!(v == v)) return 0;  // NaN
    if (v >= 2147483648.0f) return INT32_MAX;
    if (v < -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
#endif
  }

  float x;  // grows to the right
  float y;  // grows downward, as on the screen
  float heading;
  float step;
};

// Tests of TurtleState: exact figures of moves, turns, step changes and the truncating assign.
#include "turtle_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>

namespace {

uint32_t bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

TurtleState at300() {
  TurtleState t;
  t.init(300, 300);
  return t;
}

TurtleState make(float x, float y, float heading, float step) {
  TurtleState t;
  t.x = x;
  t.y = y;
  t.heading = heading;
  t.step = step;
  return t;
}

}  // namespace

TEST(TurtleState, InitSetsTheStartValues) {
  TurtleState t = at300();
  EXPECT_EQ(300.0f, t.x);
  EXPECT_EQ(300.0f, t.y);
  EXPECT_EQ(0x40490FF9u, bits(t.heading));
  EXPECT_EQ(3.1416f, t.getHeading());
  EXPECT_EQ(20.0f, t.step);
  EXPECT_EQ(20, t.getStep());
}

TEST(TurtleState, SineAndCosineOfTheStartHeading) {
  // Not pi: the sine is a tiny negative number, the cosine exactly -1.
  const double heading = static_cast<double>(3.1416f);
  EXPECT_EQ(-7.2399803e-6f, static_cast<float>(std::sin(heading)));
  EXPECT_EQ(-1.0f, static_cast<float>(std::cos(heading)));
}

TEST(TurtleState, ForwardFromTheStartPoint) {
  TurtleState t = at300();
  t.forward();
  EXPECT_EQ(299.9998474f, t.x);
  EXPECT_EQ(0x4395FFFBu, bits(t.x));
  EXPECT_EQ(280.0f, t.y);
  EXPECT_EQ(299, t.getX());
  EXPECT_EQ(280, t.getY());
  t.forward();
  EXPECT_EQ(299.9996948f, t.x);
  EXPECT_EQ(260.0f, t.y);
  EXPECT_EQ(299, t.getX());
  EXPECT_EQ(3.1416f, t.heading);
  EXPECT_EQ(20.0f, t.step);
}

TEST(TurtleState, ForwardAfterHalfRadianTurns) {
  TurtleState left = at300();
  left.turn(0.5f);
  left.forward();
  EXPECT_EQ(290.41138f, left.x);
  EXPECT_EQ(282.44843f, left.y);
  EXPECT_EQ(290, left.getX());
  EXPECT_EQ(282, left.getY());

  TurtleState right = at300();
  right.turn(-0.5f);
  right.forward();
  EXPECT_EQ(309.58838f, right.x);
  EXPECT_EQ(282.44827f, right.y);
  EXPECT_EQ(309, right.getX());
  EXPECT_EQ(282, right.getY());
}

TEST(TurtleState, TurnsThereAndBack) {
  TurtleState once = at300();
  once.turn(0.5f);
  once.turn(-0.5f);
  EXPECT_EQ(0x40490FF9u, bits(once.heading));

  // Two turns each way drift by one unit in the last place.
  TurtleState twice = at300();
  twice.turn(0.5f);
  twice.turn(0.5f);
  EXPECT_EQ(4.1415997f, twice.heading);
  twice.turn(-0.5f);
  twice.turn(-0.5f);
  EXPECT_EQ(3.14159966f, twice.heading);
  EXPECT_EQ(0x40490FF8u, bits(twice.heading));
}

TEST(TurtleState, StepShrinksToZeroAndBelow) {
  TurtleState t = at300();
  for (int i = 0; i < 4; ++i) t.changeStep(-5.0f);
  EXPECT_EQ(0.0f, t.step);
  t.forward();
  EXPECT_EQ(300.0f, t.x);
  EXPECT_EQ(300.0f, t.y);
  t.changeStep(-5.0f);
  EXPECT_EQ(-5.0f, t.step);
  EXPECT_EQ(-5, t.getStep());
  t.forward();
  EXPECT_EQ(305.0f, t.y);
  EXPECT_EQ(300, t.getX());
}

TEST(TurtleState, GettersTruncateTowardZero) {
  TurtleState t = make(299.99985f, -0.5f, 0.0f, -1.75f);
  EXPECT_EQ(299, t.getX());
  EXPECT_EQ(0, t.getY());
  EXPECT_EQ(-1, t.getStep());
}

TEST(TurtleState, AssignTruncatesButACopyKeepsEveryBit) {
  const TurtleState moved = make(299.9996948f, 260.0f, 3.1416f, 20.0f);
  TurtleState assigned = at300();
  assigned.assign(moved);
  EXPECT_EQ(299.0f, assigned.x);
  EXPECT_EQ(260.0f, assigned.y);
  EXPECT_EQ(bits(3.1416f), bits(assigned.heading));
  EXPECT_EQ(20.0f, assigned.step);

  const TurtleState copy = moved;
  EXPECT_EQ(299.9996948f, copy.x);
  EXPECT_EQ(bits(moved.x), bits(copy.x));

  TurtleState negative = at300();
  negative.assign(make(-0.5f, -1.75f, 0.25f, 7.9f));
  EXPECT_EQ(0x00000000u, bits(negative.x));  // +0.0, toward zero, not -1.0
  EXPECT_EQ(-1.0f, negative.y);
  EXPECT_EQ(0.25f, negative.heading);
  EXPECT_EQ(7.0f, negative.step);
}

TEST(TurtleState, AssignFromItselfLeavesWholeNumbers) {
  TurtleState t = make(12.75f, -3.5f, 1.25f, 4.5f);
  t.assign(t);
  EXPECT_EQ(12.0f, t.x);
  EXPECT_EQ(-3.0f, t.y);
  EXPECT_EQ(1.25f, t.heading);
  EXPECT_EQ(4.0f, t.step);
}

TEST(TurtleState, ConversionsSaturateOutsideTheIntRangeAndMapNanToZero) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  TurtleState t = make(nan, inf, 0.0f, -inf);
  EXPECT_EQ(0, t.getX());
  EXPECT_EQ(INT32_MAX, t.getY());
  EXPECT_EQ(INT32_MIN, t.getStep());

  t = make(3e9f, -3e9f, 0.0f, 2147483648.0f);
  EXPECT_EQ(INT32_MAX, t.getX());
  EXPECT_EQ(INT32_MIN, t.getY());
  EXPECT_EQ(INT32_MAX, t.getStep());

  // The largest float below 2^31 and -2^31 itself still fit.
  t = make(2147483520.0f, -2147483648.0f, 0.0f, 0.0f);
  EXPECT_EQ(2147483520, t.getX());
  EXPECT_EQ(INT32_MIN, t.getY());

  TurtleState assigned = at300();
  assigned.assign(make(nan, -inf, nan, 1e30f));
  EXPECT_EQ(0.0f, assigned.x);
  EXPECT_EQ(-2147483648.0f, assigned.y);
  EXPECT_TRUE(std::isnan(assigned.heading));  // the heading is copied, not converted
  EXPECT_EQ(2147483648.0f, assigned.step);
}

namespace {

// The turtle's move written where the compiler can inline it, twice in a row: the case that
// GCC 12's SLP vectorizer turns into one double sum of both steps, skipping the rounding of
// the first sum to float, unless the build passes -fno-tree-slp-vectorize.
inline void inlinedMove(TurtleState& t, const Direction& d) {
  t.x = static_cast<float>(static_cast<double>(d.sine) * static_cast<double>(t.step) +
                           static_cast<double>(t.x));
  t.y = static_cast<float>(static_cast<double>(d.cosine) * static_cast<double>(t.step) +
                           static_cast<double>(t.y));
}

__attribute__((noinline)) TurtleState twoInlinedMoves(TurtleState t, Direction d) {
  inlinedMove(t, d);
  inlinedMove(t, d);
  return t;
}

// Left as it stands, a * b + c is contracted into one fused multiply-add on targets that have
// one (GCC's default on ARM64), which skips the rounding of the product.
__attribute__((noinline)) double multiplyAdd(double a, double b, double c) { return a * b + c; }

}  // namespace

TEST(TurtleStateBuild, InlinedMovesRoundEachSumToFloat) {
  volatile int32_t start = 300;  // nothing known at compile time
  TurtleState t;
  t.init(start, start);
  const Direction d = TurtleState::direction(t.heading);
  TurtleState outOfLine = t;
  outOfLine.move(d);
  outOfLine.move(d);
  const TurtleState inlined = twoInlinedMoves(t, d);
  EXPECT_EQ(299.999695f, outOfLine.x);  // 299.999725 if the first sum is not rounded
  EXPECT_EQ(bits(outOfLine.x), bits(inlined.x))
      << std::setprecision(9) << "inlined x " << inlined.x;
  EXPECT_EQ(bits(outOfLine.y), bits(inlined.y))
      << std::setprecision(9) << "inlined y " << inlined.y;
}

TEST(TurtleStateBuild, ProductsAreRoundedBeforeTheyAreAdded) {
  // (1 + 2^-30)(1 - 2^-30) = 1 - 2^-60, which rounds to 1: a rounded product gives 0 here, a
  // fused one -2^-60.
  volatile double a = 1.0 + 0x1p-30;
  volatile double b = 1.0 - 0x1p-30;
  EXPECT_EQ(0.0, multiplyAdd(a, b, -1.0));
}

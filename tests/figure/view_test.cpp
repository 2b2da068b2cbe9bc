// Tests of the view: screen squares from uncut positions, clipping, the fit, the zoom's limits.
#include "view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "figure.h"
#include "frames.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "words.h"

namespace {

constexpr Palette kPalette{1, 2, 3};

// A fill as a comparable tuple: x, y, w, h, colour.
using Square4 = std::tuple<int, int, int, int, uint32_t>;

// The squares of a frame through the view in a 600 x 400 window; the pick's selection in
// selected.
std::vector<Square4> viewWalk(TurtleCursor& cursor, const View& view, int32_t px, int32_t py,
                              int32_t* selected = nullptr) {
  std::vector<Square4> fills;
  const Frame frame = frameOf(cursor, px, py, &view);
  for (const Fill& f : frame.fills) {
    fills.emplace_back(f.square.x, f.square.y, f.square.w, f.square.h, f.colour);
  }
  if (selected != nullptr) *selected = frame.selected;
  return fills;
}

View fitView(TurtleCursor& cursor, int32_t width, int32_t height) {
  return fitView(Figure(cursor), width, height, Style());
}

// A cursor whose word draws one bud at (x, y).
TurtleCursor budAt(int32_t x, int32_t y) {
  TurtleCursor cursor(kGrammar, x, y);
  cursor.word = "xo";
  return cursor;
}

}  // namespace

TEST(View, ScreenSquaresFromPositionsPastSixteenBits) {
  // 0.5 * 100000 - 49990.25 = 9.75 and 0.5 * -70000 + 35010.75 = 10.75; side floor(10.5).
  TurtleCursor far = budAt(100000, -70000);
  EXPECT_EQ((std::vector<Square4>{{9, 10, 10, 10, kPalette.bud}}),
            viewWalk(far, View{0.5, -49990.25, 35010.75}, 0, 0));
  // Sides round half up and never fall below one pixel.
  const std::tuple<double, double, double> sides[] = {
      {0.5, 7, 4},    {0.25, 7, 2}, {0.25, 20, 5},        {64, 7, 448},
      {64, 20, 1280}, {0.07, 7, 1}, {1.0 / 65536, 20, 1},
  };
  for (const auto& [s, side, screen] : sides) {
    EXPECT_EQ(screen, viewSide(View{s, 0, 0}, side)) << s << " x " << side;
  }
}

TEST(View, SquaresAreClippedToTheWindow) {
  const std::tuple<int32_t, int32_t, std::vector<Square4>> cases[] = {
      {590, 390, {{590, 390, 10, 10, kPalette.bud}}},
      {-19, 5, {{0, 5, 1, 20, kPalette.bud}}},
      {5, -19, {{5, 0, 20, 1, kPalette.bud}}},
      {-20, 5, {}},
      {600, 5, {}},
      {5, 400, {}},
      {-1000000, 5, {}},
  };
  for (const auto& [x, y, fills] : cases) {
    TurtleCursor cursor = budAt(x, y);
    EXPECT_EQ(fills, viewWalk(cursor, View{}, 300, 300)) << x << "," << y;
  }
}

TEST(View, TheHitTestIsTheOpenScreenSquare) {
  // The bud at (10, 10) under s = 2, tx = ty = 0.5 covers columns and rows 20 to 59.
  const View view{2, 0.5, 0.5};
  const std::tuple<int32_t, int32_t, bool> pointers[] = {
      {21, 21, true},  {59, 59, true},  {20, 30, false}, {30, 20, false},
      {60, 30, false}, {30, 60, false}, {40, 40, true},
  };
  for (const auto& [px, py, inside] : pointers) {
    TurtleCursor cursor = budAt(10, 10);
    int32_t selected = -1;
    const auto fills = viewWalk(cursor, view, px, py, &selected);
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(inside ? kPalette.selection : kPalette.bud, std::get<4>(fills[0])) << px << "," << py;
    EXPECT_EQ(inside ? 1 : 0, selected) << px << "," << py;
  }
  // A square outside the window still holds a pointer there, and the last one is selected.
  TurtleCursor two(kGrammar, -30, 10);
  two.word = "xo[o]o";
  int32_t selected = -1;
  const auto fills = viewWalk(two, View{}, -25, 15, &selected);
  EXPECT_TRUE(fills.empty());
  EXPECT_EQ(5, selected);
}

TEST(View, FitCentresOneSquareAtTheMostScale) {
  TurtleCursor cursor = budAt(300, 300);
  // A 20-pixel box in 600 x 400: s = min(580 / 20, 380 / 20, 16) = 16.
  View view = fitView(cursor, 600, 400);
  EXPECT_EQ(16.0, view.s);
  EXPECT_EQ(-4660.0, view.tx);  // (600 - 16 * 20) / 2 - 16 * 300
  EXPECT_EQ(-4760.0, view.ty);  // (400 - 16 * 20) / 2 - 16 * 300
  EXPECT_EQ((std::vector<Square4>{{140, 40, 320, 320, kPalette.bud}}),
            viewWalk(cursor, view, 0, 0));
  // 100 x 48: the margin is 48 / 10 = 4 in whole pixels, so s = min(92 / 20, 40 / 20) = 2.
  view = fitView(cursor, 100, 48);
  EXPECT_EQ(2.0, view.s);
  EXPECT_EQ(-570.0, view.tx);  // (100 - 40) / 2 - 600
  EXPECT_EQ(-596.0, view.ty);  // (48 - 40) / 2 - 600
  // Nothing drawn: the identity.
  cursor.word = "x+[y]";
  view = fitView(cursor, 600, 400);
  EXPECT_EQ(1.0, view.s);
  EXPECT_EQ(0.0, view.tx);
  EXPECT_EQ(0.0, view.ty);
}

TEST(View, FitOfAHugeFigureMakesOnePixelSquares) {
  // From (0, 0) with a step of 2^24 the segment ends at (trunc(sin(3.1416f) * 2^24), -2^24) =
  // (-121, -16777216); the bud stays at (0, 0). The box is 141 x 16777236.
  TurtleCursor cursor("{}oa", 0, 0, 1 << 24);
  const View view = fitView(cursor, 600, 400);
  const double s = 380.0 / 16777236;
  EXPECT_EQ(s, view.s);
  EXPECT_EQ((600 - s * 141) / 2 - s * -121, view.tx);
  EXPECT_EQ((400 - s * 16777236) / 2 - s * -16777216, view.ty);
  // tx is 300.0011 and ty 389.9995; the segment sits 379.9995 rows above the bud.
  EXPECT_EQ(
      (std::vector<Square4>{{300, 389, 1, 1, kPalette.bud}, {299, 10, 1, 1, kPalette.segment}}),
      viewWalk(cursor, view, 0, 0));
  EXPECT_EQ(0, zoomPercent(view));
}

TEST(View, ZoomKeepsThePointAndStopsAtItsLimits) {
  View view;
  ASSERT_TRUE(zoomView(view, true, 100, 50));
  EXPECT_EQ(1.25, view.s);
  EXPECT_EQ(-25.0, view.tx);  // 100 - 100 * 1.25
  EXPECT_EQ(-12.5, view.ty);
  ASSERT_TRUE(zoomView(view, false, 100, 50));
  EXPECT_EQ(1.0, view.s);
  EXPECT_EQ(0.0, view.tx);
  EXPECT_EQ(0.0, view.ty);
  EXPECT_EQ(100, zoomPercent(view));

  // Both limits themselves are allowed; past them the view stays as it was.
  View top{64.0 / 1.25, 7, 9};
  ASSERT_TRUE(zoomView(top, true, 0, 0));
  EXPECT_EQ(64.0, top.s);
  EXPECT_EQ(6400, zoomPercent(top));
  EXPECT_FALSE(zoomView(top, true, 300, 200));
  EXPECT_EQ(64.0, top.s);
  EXPECT_EQ(7.0 * 1.25, top.tx);
  EXPECT_EQ(9.0 * 1.25, top.ty);
  View bottom{1.25 / 65536, 0, 0};
  ASSERT_TRUE(zoomView(bottom, false, 0, 0));
  EXPECT_EQ(1.0 / 65536, bottom.s);
  EXPECT_FALSE(zoomView(bottom, false, 0, 0));
  EXPECT_EQ(1.0 / 65536, bottom.s);
  View below{0.5 / 65536, 0, 0};  // from outside the range, a step toward it is taken
  EXPECT_TRUE(zoomView(below, true, 0, 0) && !zoomView(below, false, 0, 0));
  // The percent rounds half up.
  EXPECT_EQ(13, zoomPercent(View{0.125, 0, 0}));
  EXPECT_EQ(38, zoomPercent(View{0.375, 0, 0}));
}

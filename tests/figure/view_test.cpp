// Tests of the view: screen squares from uncut positions, clipping, the fit, the zoom's limits.
#include "view.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "figure.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "words.h"

namespace {

constexpr Palette kPalette{1, 2, 3};

// A fill as a comparable tuple: x, y, w, h, colour.
using Fill = std::tuple<int, int, int, int, uint32_t>;

// The squares of a walk through the view in a 600 x 400 window.
std::vector<Fill> viewWalk(TurtleCursor& arbre, const View& view, int32_t px, int32_t py,
                           const Style& style = Style()) {
  std::vector<Fill> fills;
  walkFrame(arbre, kPalette, &view, style, 600, 400, px, py,
            [&fills](const Square& q, uint32_t colour) {
              fills.emplace_back(q.x, q.y, q.w, q.h, colour);
            });
  return fills;
}

// A cursor whose word draws one bud at (x, y).
TurtleCursor budAt(int32_t x, int32_t y) {
  TurtleCursor arbre(kGrammar, x, y);
  arbre.word = "xo";
  return arbre;
}

}  // namespace

TEST(View, ScreenSquaresFromPositionsPastSixteenBits) {
  // 0.5 * 100000 - 49990.25 = 9.75 and 0.5 * -70000 + 35010.75 = 10.75; side floor(10.5).
  TurtleCursor far = budAt(100000, -70000);
  EXPECT_EQ((std::vector<Fill>{{9, 10, 10, 10, kPalette.green}}),
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
  const std::tuple<int32_t, int32_t, std::vector<Fill>> cases[] = {
      {590, 390, {{590, 390, 10, 10, kPalette.green}}},
      {-19, 5, {{0, 5, 1, 20, kPalette.green}}},
      {5, -19, {{5, 0, 20, 1, kPalette.green}}},
      {-20, 5, {}},
      {600, 5, {}},
      {5, 400, {}},
      {-1000000, 5, {}},
  };
  for (const auto& [x, y, fills] : cases) {
    TurtleCursor arbre = budAt(x, y);
    EXPECT_EQ(fills, viewWalk(arbre, View{}, 300, 300)) << x << "," << y;
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
    TurtleCursor arbre = budAt(10, 10);
    const auto fills = viewWalk(arbre, view, px, py);
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(inside ? kPalette.red : kPalette.green, std::get<4>(fills[0])) << px << "," << py;
    EXPECT_EQ(inside ? 1 : 0, arbre.selected) << px << "," << py;
  }
  // A square outside the window still holds a pointer there, and the last one is selected.
  TurtleCursor two(kGrammar, -30, 10);
  two.word = "xo[o]o";
  const auto fills = viewWalk(two, View{}, -25, 15);
  EXPECT_TRUE(fills.empty());
  EXPECT_EQ(5, two.selected);
}

TEST(View, FitCentresOneSquareAtTheMostScale) {
  TurtleCursor arbre = budAt(300, 300);
  arbre.selected = 1;
  // A 20-pixel box in 600 x 400: s = min(580 / 20, 380 / 20, 16) = 16.
  View view = fitView(arbre, 600, 400);
  EXPECT_EQ(16.0, view.s);
  EXPECT_EQ(-4660.0, view.tx);  // (600 - 16 * 20) / 2 - 16 * 300
  EXPECT_EQ(-4760.0, view.ty);  // (400 - 16 * 20) / 2 - 16 * 300
  EXPECT_EQ(1, arbre.selected);
  EXPECT_EQ((std::vector<Fill>{{140, 40, 320, 320, kPalette.green}}), viewWalk(arbre, view, 0, 0));
  // 100 x 48: the margin is 48 / 10 = 4 in whole pixels, so s = min(92 / 20, 40 / 20) = 2.
  view = fitView(arbre, 100, 48);
  EXPECT_EQ(2.0, view.s);
  EXPECT_EQ(-570.0, view.tx);  // (100 - 40) / 2 - 600
  EXPECT_EQ(-596.0, view.ty);  // (48 - 40) / 2 - 600
  // Nothing drawn: the identity.
  arbre.word = "x+[y]";
  view = fitView(arbre, 600, 400);
  EXPECT_EQ(1.0, view.s);
  EXPECT_EQ(0.0, view.tx);
  EXPECT_EQ(0.0, view.ty);
}

TEST(View, FitOfAHugeFigureMakesOnePixelSquares) {
  // From (0, 0) with a step of 2^24 the segment ends at (trunc(sin(3.1416f) * 2^24), -2^24) =
  // (-121, -16777216); the bud stays at (0, 0). The box is 141 x 16777236.
  TurtleCursor arbre("{}oa", 0, 0, 1 << 24);
  const View view = fitView(arbre, 600, 400);
  const double s = 380.0 / 16777236;
  EXPECT_EQ(s, view.s);
  EXPECT_EQ((600 - s * 141) / 2 - s * -121, view.tx);
  EXPECT_EQ((400 - s * 16777236) / 2 - s * -16777216, view.ty);
  // tx is 300.0011 and ty 389.9995; the segment sits 379.9995 rows above the bud.
  EXPECT_EQ((std::vector<Fill>{{300, 389, 1, 1, kPalette.green}, {299, 10, 1, 1, kPalette.brown}}),
            viewWalk(arbre, view, 0, 0));
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
  // The percent rounds half up.
  EXPECT_EQ(13, zoomPercent(View{0.125, 0, 0}));
  EXPECT_EQ(38, zoomPercent(View{0.375, 0, 0}));
}

TEST(View, KeptShapesDrawWhatTheWalkDraws) {
  TurtleCursor arbre = grownCursor(7);
  // A fitted view, one zoomed in about a bud near the edge, and one that leaves most outside;
  // squares, and lines of an odd and an even brush.
  const View views[] = {fitView(arbre, 600, 400), View{3.0, -400.5, -250.25}, View{1, 250, 0}};
  for (const auto& [view, style] : {std::pair{views[0], Style()}, {views[1], Style()},
                                    {views[2], Style()}, {views[0], Style{true, 1}},
                                    {views[1], Style{true, 4}}, {views[2], Style{true, 3}}}) {
    KeptFrame kept;
    ASSERT_TRUE(kept.keep(arbre, view, style, 600, 400));
    // The corners of the window, and pointers inside the first, a middle and the last square,
    // and on their left columns and top rows, which are outside.
    std::vector<std::pair<int32_t, int32_t>> pointers{{0, 0}, {599, 399}};
    const std::vector<Fill> squares = viewWalk(arbre, view, 0, 0, style);
    for (const std::size_t k : {std::size_t{0}, squares.size() / 2, squares.size() - 1}) {
      const auto& [x, y, w, h, colour] = squares[k];
      pointers.insert(pointers.end(), {{x + w / 2, y + h / 2}, {x, y + h / 2}, {x + w / 2, y}});
    }
    for (const auto& [px, py] : pointers) {
      const std::vector<Fill> walked = viewWalk(arbre, view, px, py, style);
      const int32_t selected = arbre.selected;
      std::vector<Fill> drawn;
      kept.draw(arbre, kPalette, px, py, [&drawn](const Square& q, uint32_t colour) {
        drawn.emplace_back(q.x, q.y, q.w, q.h, colour);
      });
      EXPECT_EQ(walked, drawn) << view.s << " at " << px << "," << py;
      EXPECT_EQ(selected, arbre.selected) << view.s << " at " << px << "," << py;
    }
  }
}

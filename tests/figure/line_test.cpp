// Tests of the line style: a line's pixels under the brush, clipped, the bud's square, the hit
// test.
#include "line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "words.h"

namespace {

using Pixels = std::set<std::pair<int64_t, int64_t>>;
__extension__ typedef __int128 Wide;

// What drawLine paints, with every rectangle checked to be non-empty and inside the window.
Pixels drawn(ScreenPoint p0, ScreenPoint p1, int32_t brush, int32_t width, int32_t height,
             int* fills = nullptr) {
  Pixels pixels;
  drawLine(p0, p1, brush, width, height, [&](const Square& s) {
    EXPECT_TRUE(s.w > 0 && s.h > 0 && s.x >= 0 && s.y >= 0 && s.x + s.w <= width &&
                s.y + s.h <= height);
    for (int64_t y = s.y; y < s.y + s.h; ++y) {
      for (int64_t x = s.x; x < s.x + s.w; ++x) pixels.insert({x, y});
    }
    if (fills != nullptr) ++*fills;
  });
  return pixels;
}

int64_t floorDiv(Wide a, Wide b) {
  return static_cast<int64_t>(a / b - (a % b != 0 && (a < 0) != (b < 0)));
}

// The line's formula for every step whose major coordinate can reach the window, each pixel's
// brush square painted and cut to the window: no run, no minor bound, no clipping of steps.
Pixels reference(ScreenPoint p0, ScreenPoint p1, int32_t brush, int32_t width, int32_t height) {
  Pixels pixels;
  const int64_t back = (brush - 1) / 2;
  const auto paint = [&](int64_t x, int64_t y) {
    for (int64_t v = y - back; v < y - back + brush; ++v) {
      for (int64_t u = x - back; u < x - back + brush; ++u) {
        if (u >= 0 && u < width && v >= 0 && v < height) pixels.insert({u, v});
      }
    }
  };
  const int64_t dx = p1.x - p0.x;
  const int64_t dy = p1.y - p0.y;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t length = std::max(std::abs(dx), std::abs(dy));
  if (length == 0) paint(p0.x, p0.y);
  const int64_t m0 = xMajor ? p0.x : p0.y;
  const int64_t sign = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t size = xMajor ? width : height;
  for (int64_t m = -brush; m < size + brush; ++m) {
    const int64_t t = (m - m0) * sign;
    if (length == 0 || t < 0 || t > length) continue;
    const int64_t minor =
        (xMajor ? p0.y : p0.x) + floorDiv(Wide{2} * t * (xMajor ? dy : dx) + length, 2 * length);
    xMajor ? paint(m, minor) : paint(minor, m);
  }
  return pixels;
}

TEST(Line, PixelsOfHandDrawnLines) {
  struct Case {
    ScreenPoint p0, p1;
    int32_t brush;
    Pixels pixels;
  };
  const Case cases[] = {
      {{2, 3}, {2, 3}, 1, {{2, 3}}},
      // The eight octants of one slope, 2 in 5, which has no ties.
      {{5, 5}, {10, 7}, 1, {{5, 5}, {6, 5}, {7, 6}, {8, 6}, {9, 7}, {10, 7}}},
      {{5, 5}, {0, 7}, 1, {{5, 5}, {4, 5}, {3, 6}, {2, 6}, {1, 7}, {0, 7}}},
      {{5, 5}, {10, 3}, 1, {{5, 5}, {6, 5}, {7, 4}, {8, 4}, {9, 3}, {10, 3}}},
      {{5, 5}, {0, 3}, 1, {{5, 5}, {4, 5}, {3, 4}, {2, 4}, {1, 3}, {0, 3}}},
      {{5, 5}, {7, 10}, 1, {{5, 5}, {5, 6}, {6, 7}, {6, 8}, {7, 9}, {7, 10}}},
      {{5, 5}, {3, 10}, 1, {{5, 5}, {5, 6}, {4, 7}, {4, 8}, {3, 9}, {3, 10}}},
      {{5, 5}, {7, 0}, 1, {{5, 5}, {5, 4}, {6, 3}, {6, 2}, {7, 1}, {7, 0}}},
      {{5, 5}, {3, 0}, 1, {{5, 5}, {5, 4}, {4, 3}, {4, 2}, {3, 1}, {3, 0}}},
      // A tie rounds the minor coordinate up, whichever way the line runs.
      {{0, 0}, {2, 1}, 1, {{0, 0}, {1, 1}, {2, 1}}},
      {{2, 1}, {0, 0}, 1, {{0, 0}, {1, 1}, {2, 1}}},
      {{0, 1}, {2, 0}, 1, {{0, 1}, {1, 1}, {2, 0}}},
      {{1, 0}, {0, 2}, 1, {{1, 0}, {1, 1}, {0, 2}}},
      {{0, 0}, {2, 2}, 1, {{0, 0}, {1, 1}, {2, 2}}},
      // Brushes: an even one reaches one pixel further right and down than left and up.
      {{3, 3}, {3, 3}, 2, {{3, 3}, {4, 3}, {3, 4}, {4, 4}}},
      {{1, 1},
       {2, 1},
       3,
       {{0, 0},
        {1, 0},
        {2, 0},
        {3, 0},
        {0, 1},
        {1, 1},
        {2, 1},
        {3, 1},
        {0, 2},
        {1, 2},
        {2, 2},
        {3, 2}}},
      {{0, 0}, {1, 1}, 2, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}, {2, 2}}},
      // Cut by the window's edges.
      {{-3, 1}, {1, 1}, 1, {{0, 1}, {1, 1}}},
      {{0, 0}, {0, 0}, 4, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p0.x << "," << c.p0.y << " to " << c.p1.x << "," << c.p1.y
                                    << " brush " << c.brush);
    EXPECT_EQ(c.pixels, drawn(c.p0, c.p1, c.brush, 12, 12));
    EXPECT_EQ(c.pixels, reference(c.p0, c.p1, c.brush, 12, 12));
  }
}

TEST(Line, PixelsAgreeWithTheFormulaStepByStep) {
  // Small lines in and around a small window, and long ones from far outside, as a zoom of 64
  // places them; every brush from 1 to the widest.
  std::mt19937_64 random(25);
  const auto near = [&random] { return static_cast<int64_t>(random() % 60) - 25; };
  const auto far = [&random] {
    const int64_t reach = int64_t{1} << (random() % 40);
    return static_cast<int64_t>(random() % static_cast<uint64_t>(2 * reach + 1)) - reach + 8;
  };
  for (int i = 0; i < 30000; ++i) {
    const bool small = i % 3 != 0;
    const ScreenPoint p0 = small ? ScreenPoint{near(), near()} : ScreenPoint{far(), far()};
    const ScreenPoint p1 = small ? ScreenPoint{near(), near()} : ScreenPoint{far(), far()};
    const auto brush =
        static_cast<int32_t>(i % 10 == 0 ? 1 + random() % kMaxLineWidth : 1 + random() % 6);
    const auto width = static_cast<int32_t>(1 + random() % 20);
    const auto height = static_cast<int32_t>(1 + random() % 20);
    ASSERT_EQ(reference(p0, p1, brush, width, height), drawn(p0, p1, brush, width, height))
        << p0.x << "," << p0.y << " to " << p1.x << "," << p1.y << " brush " << brush << " in "
        << width << "x" << height;
  }
}

TEST(Line, AFarLineCostsWhatTheWindowHolds) {
  // 2^38 pixels long, at zoom 64: it meets row 6 at column 0, where it rounds up from row 5.
  const int64_t far = int64_t{1} << 37;
  int fills = 0;
  const Pixels pixels = drawn({-far, 5}, {far, 6}, 3, 600, 400, &fills);
  Pixels expected = {{0, 4}};
  for (int64_t x = 0; x < 600; ++x) {
    for (int64_t y = 5; y <= 7; ++y) expected.insert({x, y});
  }
  EXPECT_EQ(expected, pixels);
  EXPECT_LE(fills, 3);
  // Steep, and crossing the window's corner only.
  EXPECT_EQ(reference({-far, far + 3}, {far, -far}, 5, 600, 400),
            drawn({-far, far + 3}, {far, -far}, 5, 600, 400));
  EXPECT_TRUE(drawn({-far, 0}, {-far + 1000, 1000}, 64, 600, 400).empty());
}

TEST(Line, ScreenPointsAndBudSquares) {
  const View zoomed{64.0, -0.5, 1e9};
  const ScreenPoint p = screenPoint(zoomed, {INT32_MAX, INT32_MIN});
  EXPECT_EQ(int64_t{64} * INT32_MAX - 1, p.x);  // floor of .5 below the product
  EXPECT_EQ(int64_t{64} * INT32_MIN + 1000000000, p.y);
  EXPECT_EQ(0, screenCoordinate(std::nan("")));
  EXPECT_EQ(-kFarPixel, screenCoordinate(-1e300));
  // Side max(1, floor(20 s + 0.5)), the corner half of it up and left.
  const std::pair<double, ScreenSquare> buds[] = {
      {1.0, {290, 190, 20}}, {2.5, {275, 175, 50}}, {0.05, {300, 200, 1}}, {0.2, {298, 198, 4}}};
  for (const auto& [s, square] : buds) {
    const ScreenSquare got = budSquare(View{s, 0, 0}, {300, 200});
    EXPECT_EQ(square.left, got.left) << s;
    EXPECT_EQ(square.top, got.top) << s;
    EXPECT_EQ(square.side, got.side) << s;
  }
  const ScreenSquare bud{290, 190, 20};
  EXPECT_FALSE(squareHolds(bud, 290, 200));
  EXPECT_TRUE(squareHolds(bud, 291, 191));
  EXPECT_TRUE(squareHolds(bud, 309, 209));
  EXPECT_FALSE(squareHolds(bud, 310, 209));
  EXPECT_FALSE(squareHolds(ScreenSquare{5, 5, 1}, 5, 5));
}

TEST(Line, HitTestWithinTheBrushsReach) {
  const int64_t far = int64_t{1} << 40;
  struct Case {
    ScreenPoint p0, p1;
    int32_t brush;  // the reach is brush / 2 + 2
    int64_t px, py;
    bool holds;
  };
  const Case cases[] = {
      // Before the start, beside the middle and past the end of a horizontal segment.
      {{0, 0}, {10, 0}, 1, -2, 0, true},
      {{0, 0}, {10, 0}, 1, -2, 1, false},
      {{0, 0}, {10, 0}, 1, 5, 2, true},
      {{0, 0}, {10, 0}, 1, 5, 3, false},
      {{0, 0}, {10, 0}, 1, 12, 0, true},
      {{0, 0}, {10, 0}, 1, 11, 2, false},
      // The reach of even and odd brushes: 3 for 2 and 3, 4 for 4.
      {{0, 0}, {10, 0}, 2, 5, 3, true},
      {{0, 0}, {10, 0}, 3, 5, 3, true},
      {{0, 0}, {10, 0}, 3, 5, -4, false},
      {{0, 0}, {10, 0}, 4, 5, -4, true},
      {{0, 0}, {10, 0}, 4, 15, 0, false},
      // Beside a diagonal: 1.41 and 2.83 pixels away.
      {{0, 0}, {10, 10}, 1, 5, 7, true},
      {{0, 0}, {10, 10}, 1, 3, 7, false},
      {{0, 0}, {10, 10}, 2, 3, 7, true},
      // A point, and a segment of 2^41 pixels through the window at zoom 64.
      {{5, 5}, {5, 5}, 1, 7, 5, true},
      {{5, 5}, {5, 5}, 1, 7, 6, false},
      {{-far, 0}, {far, 0}, 1, 300, 2, true},
      {{-far, 0}, {far, 0}, 1, 300, -3, false},
      {{-far, -far}, {far, far + 1}, 64, 300, 300, true},
      {{-far, -far}, {far, far + 3000}, 1, 300, 300, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.holds, lineHolds(c.p0, c.p1, c.brush, c.px, c.py))
        << c.p0.x << "," << c.p0.y << " to " << c.p1.x << "," << c.p1.y << " brush " << c.brush
        << " at " << c.px << "," << c.py;
  }
}

TEST(Line, TheWalkGivesEachSegmentBothEndsAndTheBoxHoldsThem) {
  TurtleCursor arbre = cursorWith("FaX[+F]fFo");
  arbre.setSymbols("F", "X", "f");
  std::vector<std::pair<TurtlePoint, TurtlePoint>> strokes;
  walkStrokes(arbre, [&](TurtlePoint from, TurtlePoint to, char) {
    strokes.push_back({from, to});
  });
  arbre.selected = 4;  // the boxes keep it
  // F, X, the branch's F turned left, and F after the move f, from the truncated point.
  const int32_t expected[][4] = {
      {300, 300, 299, 280}, {299, 280, 299, 280}, {299, 280, 290, 262}, {298, 260, 298, 240}};
  ASSERT_EQ(4u, strokes.size());
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    EXPECT_EQ(expected[i][0], strokes[i].first.x) << i;
    EXPECT_EQ(expected[i][1], strokes[i].first.y) << i;
    EXPECT_EQ(expected[i][2], strokes[i].second.x) << i;
    EXPECT_EQ(expected[i][3], strokes[i].second.y) << i;
  }
  const Box lines = drawnBox(arbre, Style{true, 5});
  EXPECT_EQ((std::vector<int64_t>{290, 240, 301, 301}),
            (std::vector<int64_t>{lines.minX, lines.minY, lines.maxX, lines.maxY}));
  const Box squares = drawnBox(arbre, Style{});
  EXPECT_EQ((std::vector<int64_t>{290, 240, 319, 300}),
            (std::vector<int64_t>{squares.minX, squares.minY, squares.maxX, squares.maxY}));
  EXPECT_EQ(4, arbre.selected);
}

}  // namespace

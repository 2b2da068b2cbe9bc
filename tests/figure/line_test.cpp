// Tests of the line style: a line's pixels under the brush, clipped, the bud's square, the hit
// test.
#include "line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "shapes.h"

namespace {

using Pixels = std::set<std::pair<int64_t, int64_t>>;
__extension__ typedef __int128 Wide;

// What drawLine paints, with every rectangle checked to be non-empty and inside the window.
Pixels drawn(ScreenPoint p0, ScreenPoint p1, int32_t brush, int32_t width, int32_t height,
             int* fills = nullptr) {
  Pixels pixels;
  drawLine(p0, p1, brush, ScreenRect{0, 0, width, height}, [&](const Square& s) {
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

// Pixels written "x,y x,y ...".
Pixels pixelsOf(const std::string& text) {
  Pixels pixels;
  std::istringstream in(text);
  for (int64_t x, y; in >> x && in.ignore() && in >> y;) pixels.insert({x, y});
  return pixels;
}

TEST(Line, PixelsOfHandDrawnLines) {
  const std::tuple<ScreenPoint, ScreenPoint, int32_t, std::string> cases[] = {
      {{2, 3}, {2, 3}, 1, "2,3"},
      // The eight octants of one slope, 2 in 5, which has no ties.
      {{5, 5}, {10, 7}, 1, "5,5 6,5 7,6 8,6 9,7 10,7"},
      {{5, 5}, {0, 7}, 1, "5,5 4,5 3,6 2,6 1,7 0,7"},
      {{5, 5}, {10, 3}, 1, "5,5 6,5 7,4 8,4 9,3 10,3"},
      {{5, 5}, {0, 3}, 1, "5,5 4,5 3,4 2,4 1,3 0,3"},
      {{5, 5}, {7, 10}, 1, "5,5 5,6 6,7 6,8 7,9 7,10"},
      {{5, 5}, {3, 10}, 1, "5,5 5,6 4,7 4,8 3,9 3,10"},
      {{5, 5}, {7, 0}, 1, "5,5 5,4 6,3 6,2 7,1 7,0"},
      {{5, 5}, {3, 0}, 1, "5,5 5,4 4,3 4,2 3,1 3,0"},
      // A tie rounds the minor coordinate up, whichever way the line runs.
      {{2, 1}, {0, 0}, 1, "0,0 1,1 2,1"},
      {{0, 1}, {2, 0}, 1, "0,1 1,1 2,0"},
      {{1, 0}, {0, 2}, 1, "1,0 1,1 0,2"},
      // An even brush reaches one pixel further right and down than left and up.
      {{3, 3}, {3, 3}, 2, "3,3 4,3 3,4 4,4"},
      {{0, 0}, {1, 1}, 2, "0,0 1,0 0,1 1,1 2,1 1,2 2,2"},
      {{1, 1}, {2, 1}, 3, "0,0 1,0 2,0 3,0 0,1 1,1 2,1 3,1 0,2 1,2 2,2 3,2"},
      // Cut by the window's edges.
      {{-3, 1}, {1, 1}, 1, "0,1 1,1"},
      {{0, 0}, {0, 0}, 4, "0,0 1,0 2,0 0,1 1,1 2,1 0,2 1,2 2,2"},
  };
  for (const auto& [p0, p1, brush, pixels] : cases) {
    SCOPED_TRACE(pixels);
    EXPECT_EQ(pixelsOf(pixels), drawn(p0, p1, brush, 12, 12));
    EXPECT_EQ(pixelsOf(pixels), reference(p0, p1, brush, 12, 12));
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
  const auto at = [](float x, float y, bool bud) { return Stroke{x, y, x, y, 1, bud}; };
  // A point goes to its nearest pixel, floor(s x + tx + 0.5) in double from the float: a point
  // at .5 and a tie go up, a point a hair below a whole number goes to it.
  const struct {
    View view;
    float x, y;
    int64_t column, row;
  } points[] = {
      {View{64.0, -0.5, 1e9}, 2147483648.0f, -2147483648.0f, int64_t{64} << 31,
       -(int64_t{64} << 31) + 1000000000},
      {View{}, 0.5f, -0.5f, 1, 0},
      {View{}, 299.99985f, 0.49999997f, 300, 0},
      {View{2, 0.25, 0}, 1.125f, -1.25f, 3, -2},
  };
  for (const auto& p : points) {
    const Shape shape = ViewLines(p.view, 1).place(at(p.x, p.y, false));
    EXPECT_EQ(p.column, shape.p1.x) << p.x;
    EXPECT_EQ(p.row, shape.p1.y) << p.y;
  }
  EXPECT_EQ(-kFarPixel, screenCoordinate(-1e300));
  // Side max(1, floor(20 s + 0.5)), the corner half of it up and left; the open square holds.
  for (const auto& [s, left, side] : {std::tuple{1.0, 290, 20}, {2.5, 275, 50}, {0.05, 300, 1}}) {
    const Shape bud = ViewLines(View{s, 300, 200}, 1).place(at(0, 0, true));
    EXPECT_EQ(left, bud.p0.x);
    EXPECT_EQ(left - 100, bud.p0.y);
    EXPECT_EQ(side, bud.p1.x - bud.p0.x);
    EXPECT_EQ(side > 1, shapeHolds(bud, 1, {left + side - 1, left - 100 + 1})) << s;
    EXPECT_FALSE(shapeHolds(bud, 1, {left, left - 99}));
  }
}

TEST(Line, HitTestWithinTheBrushsReach) {
  const int64_t far = int64_t{1} << 40;
  // A segment, its brush (the reach is brush / 2 + 2), the pointers it holds and some it misses.
  const std::tuple<ScreenPoint, ScreenPoint, int32_t, std::string, std::string> cases[] = {
      // Before the start, beside the middle and past the end.
      {{0, 0}, {10, 0}, 1, "-2,0 5,2 12,0", "-2,1 5,3 11,2"},
      {{0, 0}, {10, 0}, 2, "5,3 5,-3", "5,4"},
      {{0, 0}, {10, 0}, 3, "5,-3 13,0", "5,-4 13,1"},
      {{0, 0}, {10, 0}, 4, "5,-4 14,0", "15,0"},
      // Beside a diagonal: 1.41 and 2.83 pixels away.
      {{0, 0}, {10, 10}, 1, "5,7", "3,7"},
      {{0, 0}, {10, 10}, 2, "3,7", ""},
      {{5, 5}, {5, 5}, 1, "7,5", "7,6"},
      // 2^41 pixels long, through the window at zoom 64.
      {{-far, 0}, {far, 0}, 1, "300,2", "300,-3"},
      {{-far, -far}, {far, far + 1}, 64, "300,300", ""},
      {{-far, -far}, {far, far + 3000}, 1, "", "300,300"},
  };
  for (const auto& [p0, p1, brush, holds, misses] : cases) {
    SCOPED_TRACE(testing::Message()
                 << p0.x << "," << p0.y << " to " << p1.x << "," << p1.y << " brush " << brush);
    for (const auto& [x, y] : pixelsOf(holds))
      EXPECT_TRUE(lineHolds(p0, p1, brush, {x, y})) << x << "," << y;
    for (const auto& [x, y] : pixelsOf(misses))
      EXPECT_FALSE(lineHolds(p0, p1, brush, {x, y})) << x << "," << y;
  }
}

}  // namespace

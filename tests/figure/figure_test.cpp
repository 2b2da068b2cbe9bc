// Tests of one frame's figure: the open square of the hit test, the squares of the walk and the
// pick of the pointer.
#include "figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "frames.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "words.h"

namespace {

constexpr Palette kPalette{1, 2, 3};

// The fills of the frame without a view; the pick's selection in selected.
std::vector<Fill> walk(TurtleCursor& cursor, int32_t px, int32_t py,
                       const Palette& palette = kPalette, int32_t* selected = nullptr) {
  const Frame frame = frameOf(cursor, px, py, nullptr, Style(), 600, 400, palette);
  if (selected != nullptr) *selected = frame.selected;
  return frame.fills;
}

int32_t selectedAt(TurtleCursor& cursor, int32_t px, int32_t py) {
  int32_t selected = -1;
  walk(cursor, px, py, kPalette, &selected);
  return selected;
}

}  // namespace

TEST(HitTest, OpenSquareEdges) {
  const ScreenRect segment{299, 280, 306, 287};
  const ScreenRect bud{227, 201, 247, 221};
  const struct {
    ScreenRect square;
    int64_t px, py;
    bool holds;
  } cases[] = {
      {segment, 299, 281, false},  // left column
      {segment, 300, 280, false},  // top row
      {segment, 300, 281, true},
      {segment, 305, 286, true},  // right column and bottom row
      {segment, 306, 286, false},
      {segment, 305, 287, false},
      {bud, 228, 202, true},
      {bud, 246, 220, true},
      {bud, 247, 220, false},
      {bud, 246, 221, false},
      {{-10, -10, 10, 10}, 0, 0, true},
      {{0, 0, 20, 20}, 0, 0, false},
      {{5, 5, 5, 5}, 5, 5, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.holds, squareHolds(c.square, {c.px, c.py})) << c.px << "," << c.py;
  }
}

TEST(Walk, SquaresOfTheStartWord) {
  TurtleCursor cursor = startCursor();
  int32_t selected = -1;
  const auto fills = walk(cursor, 0, 0, kPalette, &selected);
  ASSERT_EQ(30u, fills.size());  // 22 segments and 8 buds
  EXPECT_EQ(299, fills[0].square.x);
  EXPECT_EQ(280, fills[0].square.y);
  EXPECT_EQ(7, fills[0].square.w);
  EXPECT_EQ(kPalette.segment, fills[0].colour);
  int buds = 0;
  for (const Fill& f : fills) {
    if (f.colour == kPalette.bud) {
      ++buds;
      EXPECT_EQ(20, f.square.w);
      EXPECT_EQ(20, f.square.h);
    }
  }
  EXPECT_EQ(8, buds);
  EXPECT_EQ(0, selected);
}

TEST(Walk, PointerSelectsTheLastSquareHoldingIt) {
  TurtleCursor cursor = startCursor();
  int32_t selected = -1;
  const auto fills = walk(cursor, 240, 203, kPalette, &selected);
  EXPECT_EQ(17, selected);
  int red = 0;
  for (const Fill& f : fills) red += f.colour == kPalette.selection;
  EXPECT_EQ(2, red);  // the buds at 13 and 17

  EXPECT_EQ(13, selectedAt(cursor, 230, 215));
  EXPECT_EQ(21, selectedAt(cursor, 282, 188));
}

TEST(Walk, BudOverASegmentAtTheSameCorner) {
  TurtleCursor cursor(kGrammar, 300, 300);  // "ao"
  int32_t selected = -1;
  const auto fills = walk(cursor, 300, 281, kPalette, &selected);
  ASSERT_EQ(2u, fills.size());
  EXPECT_EQ(fills[0].square.x, fills[1].square.x);
  EXPECT_EQ(fills[0].square.y, fills[1].square.y);
  EXPECT_EQ(kPalette.selection, fills[0].colour);
  EXPECT_EQ(kPalette.selection, fills[1].colour);
  EXPECT_EQ(1, selected);
}

TEST(Walk, FirstSymbolIsRedButNeverSelected) {
  TurtleCursor cursor = startCursor();
  int32_t selected = -1;
  const auto fills = walk(cursor, 300, 281, kPalette, &selected);
  EXPECT_EQ(kPalette.selection, fills[0].colour);
  EXPECT_EQ(0, selected);
}

TEST(Walk, OtherSymbolsAreNeverDrawnButStillMoveTheTurtle) {
  TurtleCursor cursor(kGrammar, 300, 300);
  cursor.word = "x+_|a]b";
  const auto fills = walk(cursor, 0, 0);
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(290, fills[0].square.x);
  EXPECT_EQ(282, fills[0].square.y);
}

TEST(Walk, PositionsKeepTheirLowSixteenBits) {
  TurtleCursor far(kGrammar, 65536 + 10, -65536 + 20);
  far.word = "xo";
  int32_t selected = -1;
  const auto fills = walk(far, 15, 25, kPalette, &selected);
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(10, fills[0].square.x);
  EXPECT_EQ(20, fills[0].square.y);
  EXPECT_EQ(1, selected);

  TurtleCursor wraps(kGrammar, 40000, 300);
  wraps.word = "xo";
  EXPECT_EQ(40000 - 65536, CutSquares{}.place(Figure(wraps).strokes()[0]).p0.x);
}

TEST(Walk, AColourOfZeroIsNotDrawnNorSelected) {
  TurtleCursor cursor(kGrammar, 300, 300);  // "ao"
  int32_t selected = -1;
  const auto fills = walk(cursor, 300, 281, Palette{0, 2, 3}, &selected);
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(kPalette.selection, fills[0].colour);  // the bud; the segment was skipped
  EXPECT_EQ(1, selected);
}

TEST(Walk, TheLineStyleReturnsFromABranchExactly) {
  for (const bool exact : {false, true}) {
    TurtleCursor cursor = cursorWith("a[+a]a");
    cursor.exactBranches = exact;
    const std::vector<Stroke> s = Figure(cursor).strokes();
    ASSERT_EQ(3u, s.size());
    // The first segment ends at (299.99985, 280); after the branch the next one starts there, or
    // through whole pixels at (299, 280).
    EXPECT_NE(299.0f, s[0].x1);
    EXPECT_EQ(exact ? s[0].x1 : 299.0f, s[2].x0);
    EXPECT_EQ(280.0f, s[2].y0);
    // A decimal step is the exact walk's from its start; through whole pixels it is 2.
    cursor.origin.step = 2.5f;
    EXPECT_EQ(exact ? 297.5f : 298.0f, Figure(cursor).strokes()[0].y1);
  }
}

TEST(Figure, TheIndexHoldsEveryStrokeInTheBoxesOverItsRuns) {
  // Words of random grammars, in both styles: going down the nodes in their order meets the
  // leaves last run first, each stroke in one, and each node's box holds the points of the strokes
  // under it and knows their last bud and segment.
  std::mt19937 random(34);
  const auto randomText = [&random](std::size_t most) {
    std::string text;
    for (std::size_t n = random() % most; n > 0; --n) text += "aaoo+-+-[]]_|x"[random() % 14];
    return text;
  };
  for (int trial = 0; trial < 60; ++trial) {
    TurtleCursor cursor("{a:" + randomText(8) + ";o:" + randomText(12) + ";}" + randomText(20),
                        static_cast<int32_t>(random() % 600), static_cast<int32_t>(random() % 400),
                        static_cast<int32_t>(random() % 30) - 10,
                        static_cast<float>(random() % 628) / 100);
    cursor.maxWordLength = 20000;
    for (int g = 0; g < 4 && cursor.wordLength() < 5000; ++g) cursor.grow();
    cursor.exactBranches = trial % 2 == 0;
    const Figure figure(cursor);
    const std::vector<Stroke>& strokes = figure.strokes();
    const std::vector<FigureNode>& nodes = figure.nodes();
    int32_t covered = static_cast<int32_t>(strokes.size());  // the leaves' strokes come down to 0
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const FigureNode& node = nodes[i];
      ASSERT_GT(node.next, i);
      ASSERT_LE(node.next, nodes.size());
      int32_t lastBud = -1;
      int32_t lastSegment = -1;
      for (int32_t k = node.first; k < node.end; ++k) {
        const Stroke& s = strokes[static_cast<std::size_t>(k)];
        // The squares stand on the end points; the lines run from the start points too.
        const auto holds = [&box = node.box](float x, float y) {
          return box.minX <= x && x <= box.maxX && box.minY <= y && y <= box.maxY;
        };
        ASSERT_TRUE(holds(s.x1, s.y1));
        ASSERT_TRUE(!cursor.exactBranches || holds(s.x0, s.y0));
        (s.bud ? lastBud : lastSegment) = k;
      }
      ASSERT_EQ(lastBud, node.lastBud);
      ASSERT_EQ(lastSegment, node.lastSegment);
      if (!node.leaf) continue;
      ASSERT_EQ(i + 1, node.next);
      ASSERT_EQ(covered, node.end);
      covered = node.first;
    }
    ASSERT_EQ(0, covered);
  }
}

// Tests of one frame's figure: the open square of the hit test and the squares of the walk.
#include "figure.h"
#include "shapes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "turtle_cursor.h"
#include "words.h"

namespace {

constexpr Palette kPalette{1, 2, 3};

struct Fill {
  Square square;
  uint32_t colour;
};

std::vector<Fill> walk(TurtleCursor& arbre, int32_t px, int32_t py,
                       const Palette& palette = kPalette) {
  std::vector<Fill> fills;
  walkFigure(arbre, palette, px, py, [&fills](const Square& square, uint32_t colour) {
    fills.push_back({square, colour});
  });
  return fills;
}

}  // namespace

TEST(HitTest, OpenSquareEdges) {
  const Square segment{299, 280, 7, 7};
  EXPECT_FALSE(containsPointer(segment, 299, 281));  // left column
  EXPECT_FALSE(containsPointer(segment, 300, 280));  // top row
  EXPECT_TRUE(containsPointer(segment, 300, 281));
  EXPECT_TRUE(containsPointer(segment, 305, 286));  // right column and bottom row
  EXPECT_FALSE(containsPointer(segment, 306, 286));
  EXPECT_FALSE(containsPointer(segment, 305, 287));

  const Square bud{227, 201, 20, 20};
  EXPECT_TRUE(containsPointer(bud, 228, 202));
  EXPECT_TRUE(containsPointer(bud, 246, 220));
  EXPECT_FALSE(containsPointer(bud, 247, 220));
  EXPECT_FALSE(containsPointer(bud, 246, 221));

  const Square negative{-10, -10, 20, 20};
  EXPECT_TRUE(containsPointer(negative, 0, 0));
  EXPECT_FALSE(containsPointer(Square{0, 0, 20, 20}, 0, 0));
  EXPECT_FALSE(containsPointer(Square{5, 5, 0, 0}, 5, 5));
}

TEST(Walk, SquaresOfTheStartWord) {
  TurtleCursor arbre = startCursor();
  const auto fills = walk(arbre, 0, 0);
  ASSERT_EQ(30u, fills.size());  // 22 segments and 8 buds
  EXPECT_EQ(299, fills[0].square.x);
  EXPECT_EQ(280, fills[0].square.y);
  EXPECT_EQ(7, fills[0].square.w);
  EXPECT_EQ(kPalette.brown, fills[0].colour);
  int buds = 0;
  for (const Fill& f : fills) {
    if (f.colour == kPalette.green) {
      ++buds;
      EXPECT_EQ(20, f.square.w);
      EXPECT_EQ(20, f.square.h);
    }
  }
  EXPECT_EQ(8, buds);
  EXPECT_EQ(0, arbre.selected);
}

TEST(Walk, PointerSelectsTheLastSquareHoldingIt) {
  TurtleCursor arbre = startCursor();
  const auto fills = walk(arbre, 240, 203);
  EXPECT_EQ(17, arbre.selected);
  int red = 0;
  for (const Fill& f : fills) red += f.colour == kPalette.red;
  EXPECT_EQ(2, red);  // the buds at 13 and 17

  walk(arbre, 230, 215);
  EXPECT_EQ(13, arbre.selected);
  walk(arbre, 282, 188);
  EXPECT_EQ(21, arbre.selected);
  EXPECT_EQ('a', arbre.selectedSymbol());
}

TEST(Walk, BudOverASegmentAtTheSameCorner) {
  TurtleCursor arbre(kGrammar, 300, 300);  // "ao"
  const auto fills = walk(arbre, 300, 281);
  ASSERT_EQ(2u, fills.size());
  EXPECT_EQ(fills[0].square.x, fills[1].square.x);
  EXPECT_EQ(fills[0].square.y, fills[1].square.y);
  EXPECT_EQ(kPalette.red, fills[0].colour);
  EXPECT_EQ(kPalette.red, fills[1].colour);
  EXPECT_EQ(1, arbre.selected);
  EXPECT_EQ('o', arbre.selectedSymbol());
}

TEST(Walk, FirstSymbolIsRedButNeverSelected) {
  TurtleCursor arbre = startCursor();
  const auto fills = walk(arbre, 300, 281);
  EXPECT_EQ(kPalette.red, fills[0].colour);
  EXPECT_EQ(0, arbre.selected);
}

TEST(Walk, OtherSymbolsAreNeverDrawnButStillMoveTheTurtle) {
  TurtleCursor arbre(kGrammar, 300, 300);
  arbre.word = "x+_|a]b";
  const auto fills = walk(arbre, 0, 0);
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(290, fills[0].square.x);
  EXPECT_EQ(282, fills[0].square.y);
}

TEST(Walk, PositionsKeepTheirLowSixteenBits) {
  TurtleCursor far(kGrammar, 65536 + 10, -65536 + 20);
  far.word = "xo";
  const auto fills = walk(far, 15, 25);
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(10, fills[0].square.x);
  EXPECT_EQ(20, fills[0].square.y);
  EXPECT_EQ(1, far.selected);

  TurtleCursor wraps(kGrammar, 40000, 300);
  wraps.word = "xo";
  EXPECT_EQ(40000 - 65536, walk(wraps, 0, 0)[0].square.x);
}

TEST(Walk, AColourOfZeroIsNotDrawnNorSelected) {
  TurtleCursor arbre(kGrammar, 300, 300);  // "ao"
  const auto fills = walk(arbre, 300, 281, Palette{0, 2, 3});
  ASSERT_EQ(1u, fills.size());
  EXPECT_EQ(kPalette.red, fills[0].colour);  // the bud; the segment was skipped
  EXPECT_EQ(1, arbre.selected);
}

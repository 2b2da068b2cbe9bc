// Tests of TurtleCursor: construction, walks with their exact positions, selection, grow, prune.
#include "turtle_cursor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "alloc_count.h"
#include "words.h"

namespace {

struct Visit {
  char symbol;
  int32_t x;
  int32_t y;
};

// The walk as the viewer makes it: command first, then the reads.
std::vector<Visit> walk(TurtleCursor& c) {
  std::vector<Visit> visits;
  c.reset();
  while (!c.atEnd()) {
    c.interpretCurrent();
    const TurtleState s = c.currentState();
    visits.push_back({c.currentSymbol(), s.getX(), s.getY()});
    c.advance();
  }
  return visits;
}

void expectState(const TurtleState& s, float x, float y, float heading, float step) {
  EXPECT_EQ(x, s.x);
  EXPECT_EQ(y, s.y);
  EXPECT_EQ(heading, s.heading);
  EXPECT_EQ(step, s.step);
}

}  // namespace

TEST(TurtleCursor, ConstructionFromTheBuiltInGrammar) {
  TurtleCursor c(kGrammar, 300, 300);
  EXPECT_EQ(kGrammar, c.source);
  EXPECT_EQ("ao", c.word);
  EXPECT_EQ((std::vector<RuleSet>{{{"o", "a[+ao]-ao"}}}), c.ruleSets);
  EXPECT_EQ(0, c.index);
  EXPECT_EQ(0, c.selected);
  EXPECT_TRUE(c.stack.empty());
  expectState(c.origin, 300.0f, 300.0f, 3.1416f, 20.0f);
  expectState(c.state, 300.0f, 300.0f, 3.1416f, 20.0f);
}

TEST(TurtleCursor, WalksTheAxiomAndStopsAtItsEnd) {
  TurtleCursor c(kGrammar, 300, 300);
  c.reset();
  EXPECT_EQ('a', c.currentSymbol());
  c.interpretCurrent();
  EXPECT_EQ(0, c.index);  // interpreting does not move the index
  expectState(c.currentState(), 299.9998474f, 280.0f, 3.1416f, 20.0f);
  EXPECT_EQ(299, c.currentState().getX());
  EXPECT_EQ(280, c.currentState().getY());
  c.advance();
  EXPECT_EQ('o', c.currentSymbol());
  c.interpretCurrent();
  expectState(c.currentState(), 299.9998474f, 280.0f, 3.1416f, 20.0f);
  c.advance();
  EXPECT_TRUE(c.atEnd());
  EXPECT_EQ('\0', c.currentSymbol());
  expectState(c.currentState(), 300.0f, 300.0f, 3.1416f, 20.0f);  // origin at the end
  c.interpretCurrent();
  expectState(c.state, 299.9998474f, 280.0f, 3.1416f, 20.0f);
  c.advance();
  EXPECT_TRUE(c.atEnd());  // still at the end past it
}

TEST(TurtleCursor, EmptyWordIsAtItsEndAtOnce) {
  TurtleCursor c = cursorWith("");
  c.reset();
  EXPECT_TRUE(c.atEnd());
  EXPECT_EQ('\0', c.currentSymbol());
}

TEST(TurtleCursor, RestoreAtTheBranchEndTruncatesThePosition) {
  TurtleCursor c = cursorWith("a[a]a");
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {299, 280}, {299, 280}, {299, 260}, {299, 280}, {298, 260}};
  const auto visits = walk(c);
  ASSERT_EQ(expected.size(), visits.size());
  for (size_t i = 0; i < visits.size(); ++i) {
    EXPECT_EQ(expected[i].first, visits[i].x) << "index " << i;
    EXPECT_EQ(expected[i].second, visits[i].y) << "index " << i;
  }
  EXPECT_EQ(298.9998474f, c.state.x);
}

TEST(TurtleCursor, RestoreBringsBackTheExactHeading) {
  TurtleCursor c = cursorWith("a[+a]a");
  c.reset();
  for (int i = 0; i < 5; ++i) {
    c.interpretCurrent();
    c.advance();
  }
  expectState(c.state, 299.0f, 280.0f, 3.1416f, 20.0f);
  EXPECT_TRUE(c.stack.empty());
}

TEST(TurtleCursor, BudsOfTheStartWord) {
  TurtleCursor c = cursorWith(kStartWord);
  std::vector<std::pair<int32_t, int32_t>> buds;
  for (const Visit& v : walk(c)) {
    if (v.symbol == 'o') buds.emplace_back(v.x, v.y);
  }
  const std::vector<std::pair<int32_t, int32_t>> expected = {{227, 201}, {237, 185}, {270, 166},
                                                             {288, 166}, {308, 167}, {327, 166},
                                                             {361, 184}, {370, 200}};
  EXPECT_EQ(expected, buds);
}

TEST(TurtleCursor, FirstCloseOfTheStartWordRestoresWholePixels) {
  TurtleCursor c = cursorWith(kStartWord);
  c.reset();
  while (c.index < 14) {
    c.interpretCurrent();
    if (c.index == 10) {
      EXPECT_EQ(247.16345f, c.state.x);
      EXPECT_EQ(203.285f, c.state.y);
    }
    c.advance();
  }
  ASSERT_EQ(']', c.currentSymbol());
  ASSERT_EQ(3u, c.stack.size());
  EXPECT_EQ(247.16345f, c.stack.back().x);  // saved exactly
  c.interpretCurrent();
  EXPECT_EQ(247.0f, c.state.x);
  EXPECT_EQ(203.0f, c.state.y);
  EXPECT_EQ(2u, c.stack.size());
}

TEST(TurtleCursor, CommandsOfEverySymbol) {
  TurtleCursor c = cursorWith("+-|_");
  c.reset();
  c.interpretCurrent();
  EXPECT_EQ(3.6416f, c.state.heading);
  c.advance();
  c.interpretCurrent();
  EXPECT_EQ(3.1416f, c.state.heading);
  c.advance();
  c.interpretCurrent();
  EXPECT_EQ(25.0f, c.state.step);
  c.advance();
  c.interpretCurrent();
  EXPECT_EQ(20.0f, c.state.step);
}

TEST(TurtleCursor, BytesWithoutACommandLeaveTheStateAlone) {
  std::string inert;
  for (int b = 0; b < 256; ++b) {
    const char ch = static_cast<char>(b);
    if (std::string("a+-[]_|").find(ch) == std::string::npos) inert.push_back(ch);
  }
  TurtleCursor c = cursorWith("a" + inert);
  c.reset();
  c.interpretCurrent();
  c.advance();
  while (!c.atEnd()) {
    c.interpretCurrent();
    expectState(c.state, 299.9998474f, 280.0f, 3.1416f, 20.0f);
    EXPECT_TRUE(c.stack.empty());
    c.advance();
  }
  EXPECT_EQ(250, c.index);
}

TEST(TurtleCursor, SymbolSetsChooseWhatStepsAndWhatIsDrawn) {
  // Under the sets a word walks as its translation to the default bytes, bit for bit; the
  // default bytes then do nothing, and the commands keep theirs in any set.
  TurtleCursor chosen = cursorWith("F[+FX]f-FXao|f_[F]");
  chosen.setSymbols("FZ", "X", "f+");
  TurtleCursor plain = cursorWith("a[+ao]a-aoxx|a_[a]");
  const auto chosenVisits = walk(chosen);
  const auto plainVisits = walk(plain);
  ASSERT_EQ(plainVisits.size(), chosenVisits.size());
  for (std::size_t i = 0; i < plainVisits.size(); ++i) {
    EXPECT_EQ(plainVisits[i].x, chosenVisits[i].x) << "index " << i;
    EXPECT_EQ(plainVisits[i].y, chosenVisits[i].y) << "index " << i;
  }
  expectState(chosen.state, plain.state.x, plain.state.y, plain.state.heading, plain.state.step);
  const std::string kinds = "FZXfao+|";
  const TurtleCommand commands[] = {TurtleCommand::kSegment, TurtleCommand::kSegment,
                                    TurtleCommand::kBud,     TurtleCommand::kMove,
                                    TurtleCommand::kNone,    TurtleCommand::kNone,
                                    TurtleCommand::kLeft,    TurtleCommand::kLonger};
  for (std::size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(commands[i], chosen.commandOf(kinds[i]));
  EXPECT_TRUE(plain.isSegment('a') && plain.isBud('o') && !plain.isSegment('F'));
}

TEST(TurtleCursor, TheStartHeadingIsWhereEveryWalkBegins) {
  // 90 degrees clockwise from up, as --heading -90 gives it: the first segment points right.
  TurtleCursor c = cursorWith("aa");
  c.setStartHeading(static_cast<float>(static_cast<double>(kUpHeading) - 90.0 * M_PI / 180.0));
  for (int round = 0; round < 2; ++round) {
    const auto visits = walk(c);
    EXPECT_EQ(320, visits[0].x);
    EXPECT_EQ(299, visits[0].y);  // cos of a hair above pi/2 is a hair below 0
    EXPECT_EQ(340, visits[1].x);
  }
}

TEST(TurtleCursor, StepChangesReachASegment) {
  TurtleCursor stopped = cursorWith("____a");
  walk(stopped);
  expectState(stopped.state, 300.0f, 300.0f, 3.1416f, 0.0f);
  TurtleCursor backwards = cursorWith("_____a");
  walk(backwards);
  EXPECT_EQ(305.0f, backwards.state.y);
}

TEST(TurtleCursor, UnmatchedCloseKeepsTheState) {
  TurtleCursor c = cursorWith("a]]a");
  const auto visits = walk(c);
  ASSERT_EQ(4u, visits.size());
  EXPECT_EQ(280, visits[1].y);
  EXPECT_EQ(280, visits[2].y);
  EXPECT_EQ(260, visits[3].y);
  EXPECT_EQ(299.9996948f, c.state.x);  // no restore happened
}

TEST(TurtleCursor, ResetInsideABranch) {
  TurtleCursor c = cursorWith("a[[+a");
  c.reset();
  for (int i = 0; i < 5; ++i) {
    c.interpretCurrent();
    c.advance();
  }
  c.select();
  ASSERT_EQ(2u, c.stack.size());
  c.reset();
  EXPECT_TRUE(c.stack.empty());
  EXPECT_EQ(0, c.index);
  EXPECT_EQ(0, c.selected);
  expectState(c.state, 300.0f, 300.0f, 3.1416f, 20.0f);
}

TEST(TurtleCursor, SelectingIndexZeroSelectsNothing) {
  TurtleCursor c = cursorWith(kStartWord);
  c.reset();
  c.select();
  EXPECT_EQ(0, c.selected);
  EXPECT_EQ('a', c.selectedSymbol());  // the first symbol stands for no selection
  c.prune();
  EXPECT_EQ(kStartWord, c.word);
  c.grow();
  EXPECT_EQ(122, c.wordLength());  // the whole word grew one generation
}

TEST(TurtleCursor, GrowAndPruneAtTheSelection) {
  TurtleCursor c = cursorWith(kStartWord);
  c.index = 13;
  c.select();
  EXPECT_EQ('o', c.selectedSymbol());
  c.grow();
  EXPECT_EQ("aa[+aa[+aa[+aa[+ao]-ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao", c.word);
  EXPECT_EQ(13, c.selected);
  EXPECT_EQ(13, c.index);
  EXPECT_EQ('a', c.selectedSymbol());
  c.prune();
  EXPECT_EQ("aa[+aa[+aa[+a]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao", c.word);
}

TEST(TurtleCursor, PruneKeepsTheSelectionSoASecondPruneActsAgain) {
  TurtleCursor c = cursorWith("a[+ao]-ao");
  c.index = 6;
  c.select();
  c.prune();
  EXPECT_EQ("a[+ao]o", c.word);
  EXPECT_EQ(6, c.selected);
  c.prune();
  EXPECT_EQ("a[+ao]o", c.word);  // the last symbol of the main axis stays
  c.index = 2;
  c.select();
  c.prune();
  EXPECT_EQ("a[]o", c.word);
  c.prune();
  EXPECT_EQ("a[]o", c.word);
}

TEST(TurtleCursor, SelectionPastTheShortenedWord) {
  TurtleCursor c = cursorWith("a[+ao]-ao");
  c.index = 8;
  c.select();
  c.word = "ao";
  EXPECT_EQ('\0', c.selectedSymbol());
  c.grow();
  EXPECT_EQ("ao", c.word);
}

TEST(TurtleCursor, AWalkAllocatesNothingPerSymbol) {
  TurtleCursor c(kGrammar, 300, 300);
  for (int i = 0; i < 14; ++i) c.grow();
  ASSERT_EQ(131066, c.wordLength());
  walk(c);  // the first walk may size the stack
  c.reset();
  const auto before = alloc_count::total();
  int32_t drawn = 0;
  while (!c.atEnd()) {
    c.interpretCurrent();
    drawn += c.currentState().getX() > 0 && c.currentSymbol() == 'o';
    c.advance();
  }
  EXPECT_LE(alloc_count::total() - before, 2u);
  EXPECT_GT(drawn, 0);
}

namespace {

uint32_t bitsOf(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// A segment's move exactly as defined: sine, x, cosine, y, each trig value rounded to float.
// Out of line, so that nothing is carried in registers from one move to the next.
__attribute__((noinline)) void definedForward(TurtleState& t) {
  const float sine = static_cast<float>(std::sin(static_cast<double>(t.heading)));
  t.x = static_cast<float>(static_cast<double>(sine) * static_cast<double>(t.step) +
                           static_cast<double>(t.x));
  const float cosine = static_cast<float>(std::cos(static_cast<double>(t.heading)));
  t.y = static_cast<float>(static_cast<double>(cosine) * static_cast<double>(t.step) +
                           static_cast<double>(t.y));
}

}  // namespace

TEST(TurtleCursor, CachedDirectionsGiveTheBitsOfAFreshSineAndCosine) {
  // A long random word whose turns reach thousands of headings, so the cache both hits and
  // evicts; every state along the walk must equal, bit for bit, a walk without any cache.
  std::mt19937 random(12345);
  const std::string alphabet = "aaaaaaaa+++-----[[]]]|__o";
  std::string word;
  for (int i = 0; i < 200000; ++i) word.push_back(alphabet[random() % alphabet.size()]);
  TurtleCursor c = cursorWith(word);

  TurtleState reference;
  reference.assign(c.origin);
  std::vector<TurtleState> saved;
  std::set<uint32_t> headings;
  int32_t repeats = 0;
  c.reset();
  while (!c.atEnd()) {
    const char symbol = c.currentSymbol();
    switch (symbol) {
      case 'a':
        repeats += !headings.insert(bitsOf(reference.heading)).second;
        definedForward(reference);
        break;
      case '+':
        reference.turn(0.5f);
        break;
      case '-':
        reference.turn(-0.5f);
        break;
      case '[':
        saved.push_back(reference);
        break;
      case ']':
        if (!saved.empty()) {
          reference.assign(saved.back());
          saved.pop_back();
        }
        break;
      case '_':
        reference.changeStep(-5.0f);
        break;
      case '|':
        reference.changeStep(5.0f);
        break;
      default:
        break;
    }
    c.interpretCurrent();
    const TurtleState s = c.currentState();
    ASSERT_EQ(bitsOf(reference.x), bitsOf(s.x)) << "index " << c.index;
    ASSERT_EQ(bitsOf(reference.y), bitsOf(s.y)) << "index " << c.index;
    ASSERT_EQ(bitsOf(reference.heading), bitsOf(s.heading)) << "index " << c.index;
    ASSERT_EQ(bitsOf(reference.step), bitsOf(s.step)) << "index " << c.index;
    c.advance();
  }
  EXPECT_GT(headings.size(), 1000u);  // far more than the cache holds
  EXPECT_GT(repeats, 20000);          // and many segments meet a heading seen before
}

TEST(TurtleCursor, DirectionCacheAnswersEveryHeadingAsTheUncachedDirection) {
  // Special values, and many headings that share slots, asked twice in an interleaved order.
  std::vector<float> headings = {0.0f,
                                 -0.0f,
                                 3.1416f,
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::denorm_min(),
                                 1e30f,
                                 -1e-30f};
  // Random bit patterns, and runs of 300 neighbouring floats: more neighbours than slots, so
  // some headings that differ only in their last bits must share a slot.
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    const uint32_t b = static_cast<uint32_t>(random());
    for (uint32_t n = 0; n < (i % 200 == 0 ? 300u : 1u); ++n) {
      const uint32_t neighbour = b + n;
      float f;
      std::memcpy(&f, &neighbour, sizeof f);
      headings.push_back(f);
    }
  }
  DirectionCache cache;
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < headings.size(); ++i) {
      const float h = headings[(i * 7 + static_cast<std::size_t>(round)) % headings.size()];
      const Direction expected = TurtleState::direction(h);
      const Direction got = cache.of(h);
      ASSERT_EQ(bitsOf(expected.sine), bitsOf(got.sine)) << "heading bits " << bitsOf(h);
      ASSERT_EQ(bitsOf(expected.cosine), bitsOf(got.cosine)) << "heading bits " << bitsOf(h);
    }
  }
}

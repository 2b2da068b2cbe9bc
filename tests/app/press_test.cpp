// Tests of a press and of taking presses back: a refused growth, undo exact for any word, and
// bounded in what it keeps.
#include "press.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "alloc_count.h"
#include "book.h"
#include "command_line.h"
#include "history.h"
#include "start.h"
#include "svg_text.h"
#include "words.h"

namespace {

// Presses at random selections, buds, segments and others alike, as the viewer would make them;
// the words that they made, each press that changed nothing left out.
std::vector<std::string> pressAtRandom(TurtleCursor& cursor, PressHistory& history, int presses,
                                       unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> words{cursor.printedWord()};
  for (int i = 0; i < presses; ++i) {
    cursor.selected = static_cast<int32_t>(random() % (cursor.word.size() + 1));
    history.press(cursor);
    if (cursor.printedWord() != words.back()) words.push_back(cursor.printedWord());
  }
  return words;
}

TEST(Press, OnNothingChangesNothing) {
  TurtleCursor cursor = startCursor();  // selection 0: the first segment, which never prunes
  PressHistory history;
  const Edit edit = history.press(cursor);
  EXPECT_FALSE(edit.changed);
  EXPECT_EQ("", edit.refusal);
  EXPECT_EQ(kStartWord, cursor.word);
}

TEST(Press, AGrowthThatFailsKeepsTheWordAndSaysWhy) {
  TurtleCursor cursor = startCursor();
  PressHistory history;
  cursor.selected = 13;  // the bud at 13: growing it makes 66 symbols
  cursor.maxWordLength = 65;
  EXPECT_EQ("the word would be longer than 65 symbols; it stays as it was",
            history.press(cursor).refusal);
  cursor.maxWordLength = INT32_MAX;
  alloc_count::failAt(1);  // the result's buffer: the stretch kept for undo, "o]", is short
  const Edit edit = history.press(cursor);
  alloc_count::failAt(0);
  EXPECT_EQ("out of memory; the word stays as it was", edit.refusal);
  EXPECT_EQ(kStartWord, cursor.word);
  EXPECT_TRUE(history.press(cursor).changed);
  EXPECT_EQ(kGrownAt13, cursor.word);
  cursor.setBook(std::make_shared<const BookSystem>("axiom: F(1)A(1e300)\nA(x) -> A(x * x)"));
  cursor.setSymbols("F", "A", "");  // a book's growth whose parameter comes out infinite
  cursor.selected = 1;
  EXPECT_EQ(
      "module 1 ('A'), rewritten by the production on line 2, gives a parameter that is "
      "not finite; the word stays as it was",
      history.press(cursor).refusal);
  EXPECT_EQ("F(1)A(1e+300)", cursor.printedWord());
}

TEST(PressHistory, UndoGoesBackOnePressAtATimeForAnyWord) {
  // The start word; a word that holds braces and could never be read back as an axiom; an
  // unbalanced one; and one whose rule empties buds.
  const std::pair<std::string, std::string> cases[] = {
      {kGrammar, kStartWord},
      {"{o:a}[+o]-o};}o", "a}[+o]]-ao}{o:a;}a[o"},
      {"{o:ao[;a:a];}o", "]]ao[[a[o]o"},
      {"{o:;}ao", "aoaoao[o]o"},
      {"", "A(1)[B(2)]A(3)"},
  };
  TurtleCursor book("", 300, 300);  // a word of modules: undo puts back their parameters too
  book.setBook(std::make_shared<const BookSystem>(
      "axiom: A(1)[B(2)]A(3)\nA(x) -> F(x)[+A(x / 2)]A(x + 1)\nB(x) : x > 1 -> B(x - 1)F"));
  book.setSymbols("F", "AB", "");
  for (const auto& [grammar, word] : cases) {
    SCOPED_TRACE(grammar);
    TurtleCursor cursor(grammar, 300, 300);
    cursor.word = word;
    if (grammar.empty()) cursor = book;
    PressHistory history;
    const std::vector<std::string> words = pressAtRandom(cursor, history, 40, 7);
    ASSERT_EQ(words.size() - 1, history.size());
    ASSERT_EQ(words.size() - 1, history.presses().size());
    for (std::size_t i = words.size() - 1; i > 0; --i) {
      ASSERT_TRUE(history.undo(cursor));
      ASSERT_EQ(words[i - 1], cursor.printedWord()) << "undo of press " << i;
    }
    EXPECT_FALSE(history.undo(cursor));
    EXPECT_EQ(word, cursor.printedWord());
    EXPECT_TRUE(history.presses().empty());
  }
}

TEST(PressHistory, KeepsOnlyTheNewestPressesThatFitItsBudget) {
  TurtleCursor cursor = grownCursor(8);
  PressHistory history(4096, 30);
  const std::vector<std::string> words = pressAtRandom(cursor, history, 200, 11);
  ASSERT_GE(history.size(), 1u);
  EXPECT_LE(history.size(), 30u);
  // The ones it kept are the newest, and still exact.
  const std::size_t kept = history.size();
  for (std::size_t i = 0; i < kept; ++i) {
    ASSERT_TRUE(history.undo(cursor));
    EXPECT_EQ(words[words.size() - 2 - i], cursor.word);
  }
  EXPECT_FALSE(history.undo(cursor));
}

TEST(PressHistory, APressPastTheListsLimitIsRefused) {
  TurtleCursor cursor("{o:oa;}[o]", 300, 300);  // a growth at 1 and a pruning at 2 in turn
  PressHistory history;
  for (std::size_t n = 0; n < kMaxPresses; ++n) history.pressAt(cursor, n % 2 == 0 ? 1 : 2);
  EXPECT_THROW(history.pressAt(cursor, 1), PressLimitError);
  cursor.selected = 1;
  EXPECT_EQ("the list of presses is full at 100000 presses; the word stays as it was",
            history.press(cursor).refusal);
  EXPECT_EQ("[o]", cursor.word);
  EXPECT_EQ(kMaxPresses, history.presses().size());
}

// A cursor as the start makes it: grown from 0, stochastic with a seed; a .lsys file's, buds AX.
TurtleCursor grownWith(const std::string& grammar, int generations, std::optional<uint64_t> seed) {
  TurtleCursor cursor(grammar, 300, 300);
  if (grammar.find(".lsys") != std::string::npos) {
    Options options = parseOptions({"--book", grammar, "--buds", "AX"}).options;
    bool badFile = false;
    EXPECT_EQ("", readBookFile(options, badFile));
    cursor = cursorOf(options);
  }
  cursor.maxWordLength = 20000;
  cursor.seed = seed;
  for (int i = 0; i < generations; ++i) cursor.grow();
  return cursor;
}

TEST(PressHistory, AReplayedPressOnNothingIsNotKept) {
  TurtleCursor cursor = startCursor();
  PressHistory history;
  // The first segment, which never prunes, '[', '+' and past the end.
  for (const int32_t index : {0, 2, 3, 58}) history.pressAt(cursor, index);
  EXPECT_EQ(kStartWord, cursor.word);
  EXPECT_EQ(0u, history.size());
  EXPECT_TRUE(history.presses().empty());
}

TEST(PressHistory, PressesGrowAndPruneByTheCursorsSets) {
  TurtleCursor cursor("{X:F[+X]-FX;}fFXao", 300, 300);
  cursor.setSymbols("F", "X", "f");
  PressHistory history;
  // A move, and the default segment and bud, which are plain bytes under these sets.
  for (const int32_t index : {0, 3, 4}) history.pressAt(cursor, index);
  EXPECT_EQ("fFXao", cursor.word);
  history.pressAt(cursor, 2);
  EXPECT_EQ("fFF[+X]-FXao", cursor.word);
  history.pressAt(cursor, 8);
  EXPECT_EQ("fFF[+X]-o", cursor.word);
  EXPECT_EQ((std::vector<int32_t>{2, 8}), history.presses());
}

TEST(PressHistory, AReplayedListMakesTheWordOfTheLivePresses) {
  const std::pair<std::string, int> grammars[] = {
      {kGrammar, 3},
      {"{o:a[+o]a[-o]o;}{o:a[-ao]o;a:aa;}o", 3},
      {"{o:[o]ao;a:a;}{o:o[-a]o;}{a:[+a]a;}[o]o", 2},
      {LSV_SOURCE_DIR "/data/book/tree.lsys", 6},
      {LSV_SOURCE_DIR "/data/book/weighted.lsys", 4},
      {LSV_SOURCE_DIR "/data/book/signal.lsys", 7},
  };
  for (const auto& [grammar, generations] : grammars) {
    for (const std::optional<uint64_t> seed : {std::optional<uint64_t>(), {42}, {UINT64_MAX}}) {
      SCOPED_TRACE(grammar + (seed ? " seed " + std::to_string(*seed) : ""));
      TurtleCursor live = grownWith(grammar, generations, seed);
      PressHistory liveHistory;
      std::mt19937 random(99);
      for (int i = 0; i < 40; ++i) {
        live.selected = static_cast<int32_t>(random() % live.word.size());
        if (i == 7 || i == 23) {
          liveHistory.growAll(live);  // a g in the list
        } else {
          liveHistory.press(live);
        }
      }
      const std::vector<int32_t> presses = liveHistory.presses();
      ASSERT_GE(presses.size(), 10u);
      ASSERT_EQ(2, std::count(presses.begin(), presses.end(), kGrowAll));

      TurtleCursor replayed = grownWith(grammar, generations, seed);
      PressHistory history;
      for (const int32_t index : presses) history.pressAt(replayed, index);
      EXPECT_EQ(presses, history.presses());
      EXPECT_EQ(live.printedWord(), replayed.printedWord());
      EXPECT_EQ(svgText(live), svgText(replayed));

      // The start replays the same list from the command line.
      const bool book = live.book != nullptr;
      std::vector<std::string> args = {
          book ? "--book" : "-g", grammar,         "-n",   std::to_string(generations), "--presses",
          pressList(presses),     "--max-symbols", "20000"};
      if (seed) args.insert(args.end(), {"--stochastic", std::to_string(*seed)});
      if (book) args.insert(args.end(), {"--buds", "AX"});
      const Start start = startFromArguments(args, [](const auto&) {});
      EXPECT_EQ(std::nullopt, start.status);
      const std::optional<Session>& session = start.session;
      ASSERT_TRUE(session.has_value());
      EXPECT_EQ(live.printedWord(), session->cursor.printedWord());
      EXPECT_EQ(presses, session->history.presses());
    }
  }
}

}  // namespace

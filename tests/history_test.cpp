// Tests of taking presses back: exact for any word, and bounded in what it keeps.
#include "history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cout_capture.h"
#include "words.h"

namespace {

// Presses at random selections, buds and segments alike, as the viewer would make them.
std::vector<std::string> pressAtRandom(TurtleCursor& arbre, PressHistory& history, int presses,
                                       unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> words{arbre.word};
  for (int i = 0; i < presses; ++i) {
    arbre.selected = static_cast<int32_t>(random() % (arbre.word.size() + 1));
    history.press(arbre);
    words.push_back(arbre.word);
  }
  return words;
}

TEST(PressHistory, UndoGoesBackOnePressAtATimeForAnyWord) {
  CoutCapture capture;
  // The start word; a word that holds braces and could never be read back as an axiom; an
  // unbalanced one; and one whose rule empties buds.
  const std::pair<std::string, std::string> cases[] = {
      {kGrammar, kStartWord},
      {"{o:a}[+o]-o};}o", "a}[+o]]-ao}{o:a;}a[o"},
      {"{o:ao[;a:a];}o", "]]ao[[a[o]o"},
      {"{o:;}ao", "aoaoao[o]o"},
  };
  for (const auto& [grammar, word] : cases) {
    SCOPED_TRACE(grammar);
    TurtleCursor arbre(grammar, 300, 300);
    arbre.word = word;
    PressHistory history;
    const std::vector<std::string> words = pressAtRandom(arbre, history, 40, 7);
    ASSERT_EQ(40u, history.size());
    for (std::size_t i = words.size() - 1; i > 0; --i) {
      ASSERT_TRUE(history.undo(arbre));
      ASSERT_EQ(words[i - 1], arbre.word) << "undo of press " << i;
    }
    EXPECT_FALSE(history.undo(arbre));
    EXPECT_EQ(word, arbre.word);
  }
  EXPECT_EQ(4u * 40u, capture.lines().size()) << "every press prints its word";
}

TEST(PressHistory, KeepsOnlyTheNewestPressesThatFitItsBudget) {
  CoutCapture capture;
  TurtleCursor arbre = grownCursor(8);
  PressHistory history(4096, 30);
  const std::vector<std::string> words = pressAtRandom(arbre, history, 200, 11);
  ASSERT_GE(history.size(), 1u);
  EXPECT_LE(history.size(), 30u);
  // The ones it kept are the newest, and still exact.
  const std::size_t kept = history.size();
  for (std::size_t i = 0; i < kept; ++i) {
    ASSERT_TRUE(history.undo(arbre));
    EXPECT_EQ(words[words.size() - 2 - i], arbre.word);
  }
  EXPECT_FALSE(history.undo(arbre));
}

}  // namespace

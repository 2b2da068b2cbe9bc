// LSystem: a bracketed L-system's grammar text, its rule sets and its current word.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// One rule block: key -> replacement. Only one-byte keys ever match a symbol.
using RuleSet = std::map<std::string, std::string>;

// A rewrite refused because its result would be longer than the word may be.
class WordLimitError : public std::length_error {
 public:
  using std::length_error::length_error;
};

class LSystem {
 public:
  LSystem() = default;
  explicit LSystem(std::string grammar);

  // Replaces source and word; appends the text's rule sets after any already held.
  void parseGrammar(std::string grammar);
  // Appends exactly one RuleSet read from the text of one block, braces excluded.
  void parseRuleBlock(std::string block);

  // One generation over the rest of the branch of start; everything else is copied.
  // A ruleSetIndex that names no rule set acts as an empty rule set. A result longer than
  // maxWordLength throws WordLimitError before anything is allocated; the word stays as it was.
  void rewriteFrom(int32_t start, int32_t ruleSetIndex);
  // Rest of the branch of pos plus its closing "]"; the whole length when pos is 0.
  int32_t branchLength(int32_t pos) const;
  // Erases branchLength(pos) - 1 symbols at pos; std::out_of_range when pos is past the end.
  void pruneAt(int32_t pos);
  // The byte at pos, or NUL when pos is out of range (negative counts as out of range).
  char symbolAt(int32_t pos) const {
    return static_cast<uint32_t>(pos) < word.size() ? word[static_cast<uint32_t>(pos)] : '\0';
  }
  int32_t wordLength() const { return static_cast<int32_t>(word.size()); }
  // The word and a line end on standard output, flushed.
  void printWord() const;
  std::string getWord() const { return word; }

  std::string source;
  std::string word;
  std::vector<RuleSet> ruleSets;
  // Indices are signed 32-bit, so no word may be longer; tests set a smaller limit.
  int32_t maxWordLength = INT32_MAX;
};

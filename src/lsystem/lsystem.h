// LSystem: a bracketed L-system's grammar text, its rule sets and its current word.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One rule block: key -> replacement. Only one-byte keys ever match a symbol.
using RuleSet = std::map<std::string, std::string>;

class LSystem {
 public:
  LSystem() = default;
  explicit LSystem(std::string grammar);

  // Replaces source and word; appends the text's rule sets after any already held.
  void parseGrammar(std::string grammar);
  // Appends exactly one RuleSet read from the text of one block, braces excluded.
  void parseRuleBlock(std::string block);

  // One generation over the rest of the branch of start; everything else is copied.
  // A ruleSetIndex that names no rule set acts as an empty rule set.
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
};

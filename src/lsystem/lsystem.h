// LSystem: a bracketed L-system's grammar text, its rule sets and its current word.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class BookSystem;
struct ModuleWord;

// One rule block: key -> replacement. Only one-byte keys ever match a symbol.
using RuleSet = std::map<std::string, std::string>;

// A rewrite refused because its result would be longer than the word may be.
class WordLimitError : public std::length_error {
 public:
  using std::length_error::length_error;
};

// splitmix64's finalizer of seed ^ length * 0x9E3779B97F4A7C15 ^ index * 0xC2B2AE3D27D4EB4F: the
// choice of a stochastic rewrite depends only on the seed, the word's length and the place.
constexpr uint64_t mix(uint64_t seed, uint64_t length, uint64_t index) {
  uint64_t z = seed ^ (length * 0x9E3779B97F4A7C15u) ^ (index * 0xC2B2AE3D27D4EB4Fu);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

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
  // rewriteFrom's generation in which each symbol of the region chooses among every rule set
  // that has a one-byte rule for it, in their order: number mix(seed, L, i) mod k of the k
  // candidates, L the word's length before the rewrite and i the symbol's index. One candidate is
  // taken as it is; a symbol with none is copied. Refused as rewriteFrom refuses.
  void rewriteStochastic(int32_t start, uint64_t seed);
  // Rest of the branch of pos plus its closing "]"; the whole length when pos is 0.
  int32_t branchLength(int32_t pos) const;
  // Erases branchLength(pos) - 1 symbols at pos, with their parameters; std::out_of_range when
  // pos is past the end.
  void pruneAt(int32_t pos);
  // The byte at pos, or NUL when pos is out of range (negative counts as out of range).
  char symbolAt(int32_t pos) const {
    return static_cast<uint32_t>(pos) < word.size() ? word[static_cast<uint32_t>(pos)] : '\0';
  }
  int32_t wordLength() const { return static_cast<int32_t>(word.size()); }
  // The word and a line end on standard output, flushed: with a book, module by module with
  // their parameters.
  void printWord() const;
  std::string getWord() const { return word; }

  // Makes the word the book's axiom, parameters and all; every growth is then the book's.
  void setBook(std::shared_ptr<const BookSystem> system);
  // The book's generation over the rest of the branch of start (the whole word from 0), its
  // contexts read in the whole word. Throws as BookSystem::generateFrom does, the word as it was.
  void growBook(int32_t start, uint64_t seed);
  // Modules [begin, end) with their parameters, and their replacement, as undo keeps and puts
  // them back; with a book only.
  ModuleWord modulesIn(std::size_t begin, std::size_t end) const;
  void replaceModules(std::size_t begin, std::size_t end, const ModuleWord& with);
  // Modules [at, at + other.size()) are other's, parameters compared by their bits.
  bool sameModules(std::size_t at, const ModuleWord& other) const;
  // The word as printWord prints it, without the line end.
  std::string printedWord() const;

  std::string source;
  std::string word;
  // The rewrites read tables of the one-byte rules, made as each rule set is read and made again
  // from ruleSets whenever their number has changed: a rule set pushed or removed here is seen,
  // one edited in place is not.
  std::vector<RuleSet> ruleSets;
  // Indices are signed 32-bit, so no word may be longer; --max-symbols and tests set less.
  int32_t maxWordLength = INT32_MAX;
  // Set, the word is one of the book's: module i is the byte word[i] with the parameters
  // values[offsets[i], offsets[i + 1]), as a ModuleWord holds them. Unset, both are empty.
  std::shared_ptr<const BookSystem> book;
  std::vector<uint32_t> offsets;
  std::vector<double> values;

 private:
  // A rule whose key is one byte, the only kind that can match a symbol.
  struct ByteRule {
    unsigned char key;
    std::string replacement;
  };
  // What the rewrites read of ruleSets, so that a rewrite costs the word and not the grammar.
  struct RuleTables {
    std::size_t sets = 0;             // the number of rule sets they were made from
    std::vector<ByteRule> rules;      // the one-byte rules of each set in turn, in key order
    std::vector<std::size_t> setEnd;  // where each set's rules end in rules
    // The stochastic candidates of byte c, indices into rules in the sets' order:
    // candidates[candidateBegin[c], candidateBegin[c + 1]). Made at the first stochastic rewrite.
    bool candidatesMade = false;
    std::vector<std::size_t> candidates;
    std::array<std::size_t, 257> candidateBegin{};
  };

  // The tables, made again first if the number of rule sets has changed.
  const RuleTables& ruleTables();
  // ruleTables() with the stochastic candidates made.
  const RuleTables& stochasticTables();
  // Throws WordLimitError when a word of this length would pass maxWordLength.
  void refuseLongerThanLimit(uint64_t length) const;
  // Lends the word and its parameters to edit as one ModuleWord, and takes them back even when
  // edit throws.
  template <class Edit>
  void editModules(Edit&& edit);

  RuleTables tables_;
};

// BookSystem: a file in the book's notation (parametric, conditional, context-sensitive and
// weighted productions) read once, and the generations it makes of a ModuleWord.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "book_expr.h"
#include "module_word.h"

// A bad file: the line it was found on (from 1) and what is wrong, without the line.
class BookFileError : public std::runtime_error {
 public:
  BookFileError(std::size_t lineNumber, const std::string& message)
      : std::runtime_error(message), line(lineNumber) {}
  std::size_t line;
};

// A generation refused because a successor's parameter came out infinite or NaN; what() says
// which module and which production on one line. The word is left as it was.
class BookValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BookSystem {
 public:
  // Reads a whole file: comments /* */, then one line a time, each blank, "#define NAME EXPR",
  // "derivation length: N", "angle: DEGREES", "ignore: SYMBOLS", "axiom: MODULES" (exactly one)
  // or a production "[pN:] [LEFT <] PRED [> RIGHT] [: CONDITION] -> SUCCESSOR [: WEIGHT]".
  // Throws BookFileError at the first thing wrong.
  explicit BookSystem(std::string_view text);

  const ModuleWord& axiom() const { return axiom_; }
  // What the file sets, when it does.
  std::optional<int> derivationLength() const { return derivationLength_; }
  std::optional<double> angle() const { return angle_; }

  // One generation of the whole word: every module rewritten at once by the first production
  // that applies to it (or by a weighted choice among the applicable weighted ones, drawn from
  // mix(seed, word.size(), i)), then every "%" removed with the rest of its branch. A result of
  // more than maxModules modules throws WordLimitError before it is allocated; a non-finite
  // parameter throws BookValueError; std::bad_alloc may pass. On any throw the word is unchanged.
  void generate(ModuleWord& word, uint64_t seed, uint64_t maxModules) const {
    generateFrom(word, 0, seed, maxModules);
  }
  // The same generation over the modules from begin to the end of its branch (before the first
  // "]" that closes a branch opened before begin, or the word's end), as a press on a bud makes
  // it; the modules outside are copied, contexts are read in the whole word, and indices and
  // the length given to mix are the whole word's. Nothing happens when begin >= word.size().
  void generateFrom(ModuleWord& word, std::size_t begin, uint64_t seed, uint64_t maxModules) const;

  // A file that draws word again: this file's lines (comments dropped), then
  // "derivation length: 0" and "axiom: " with the word.
  std::string saveText(const ModuleWord& word) const;

  // What a module of a context or a predecessor matches: its symbol and number of parameters,
  // whose values are bound to the slots from firstSlot on.
  struct Pattern {
    char symbol;
    uint32_t count;
    uint32_t firstSlot;
  };
  struct Production {
    std::size_t line;
    Pattern predecessor;
    std::vector<Pattern> left;   // as written; matched from the last one leftwards
    std::vector<Pattern> right;  // as written
    bool conditional = false;
    Expr condition;
    std::string successor;           // one byte a module
    std::vector<uint32_t> argBegin;  // module k's parameters: args[argBegin[k], argBegin[k + 1])
    std::vector<Expr> args;
    bool weighted = false;
    double weight = 0;
  };

 private:
  friend class BookReader;
  friend class Generation;

  ExprCode code_;
  std::vector<Production> productions_;
  // The productions of byte c, by index in file order: bySymbol_[first_[c], first_[c + 1]).
  std::array<uint32_t, 257> first_{};
  std::vector<uint32_t> bySymbol_;
  std::array<bool, 256> ignored_{};
  bool anyLeft_ = false;
  bool anyRight_ = false;
  std::size_t maxSlots_ = 0;
  ModuleWord axiom_;
  std::optional<int> derivationLength_;
  std::optional<double> angle_;
  std::vector<std::string> lines_;  // the lines saveText keeps
};

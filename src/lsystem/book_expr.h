// Expressions of the book's notation: compiled once into postfix code, evaluated many times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A bad expression; the reader adds the line.
class ExprError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class Op : uint8_t {
  kConst,
  kVar,
  kNeg,
  kNot,
  kAdd,
  kSub,
  kMul,
  kDiv,
  kMod,
  kPow,
  kLt,
  kLe,
  kGt,
  kGe,
  kEq,
  kNe,
  kAnd,
  kOr,
  kSelect,
  kSin,
  kCos,
  kTan,
  kAsin,
  kAcos,
  kAtan,
  kAtan2,
  kSqrt,
  kExp,
  kLog,
  kFloor,
  kCeil,
  kAbs,
  kMin,
  kMax
};

struct Instr {
  Op op;
  uint32_t slot;  // kVar: the bound name's slot
  double value;   // kConst
};

// One compiled expression: code[begin, end) of its ExprCode.
struct Expr {
  uint32_t begin = 0;
  uint32_t end = 0;
};

// What a name in an expression means: a slot of the production's bound names, which hide the
// constants, or a constant's value.
struct NameScope {
  const std::vector<std::string>* names = nullptr;
  const std::map<std::string, double, std::less<>>* constants = nullptr;
};

// The code of every expression of a file, in one buffer.
class ExprCode {
 public:
  // Compiles the expression that starts at text[pos] and advances pos past it, to the first
  // token that cannot continue it (a "," or ")" of the caller, or the end). Sub-expressions
  // without names are folded into constants. With topLevelChoice false, a "?:" must be in
  // parentheses. Throws ExprError.
  Expr compile(std::string_view text, std::size_t& pos, const NameScope& scope,
               bool topLevelChoice);
  bool isConstant(Expr e) const { return e.end - e.begin == 1 && code_[e.begin].op == Op::kConst; }
  // The value, with the bound names' values in vars; stack holds at least maxStack() values.
  double eval(Expr e, const double* vars, double* stack) const;
  std::size_t maxStack() const { return maxStack_; }

 private:
  std::vector<Instr> code_;
  std::size_t maxStack_ = 1;
};

// True when a value holds in a condition: neither 0 nor NaN.
inline bool holds(double v) { return v == v && v != 0; }

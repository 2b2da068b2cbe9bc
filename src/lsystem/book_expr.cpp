// The expression compiler: a tokenizer, one parsing function per precedence level, postfix code.
#include "book_expr.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "exact_math.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kMaxNesting = 256;

enum class Tok { kEnd, kNumber, kName, kSymbol };

struct Token {
  Tok kind = Tok::kEnd;
  std::string_view text;  // a kSymbol is one or two bytes: ( ) , ? : || && == != < <= ...
  std::size_t pos = 0;
};

bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Function {
  std::string_view name;
  Op op;
  int arity;
};

constexpr std::array<Function, 15> kFunctions = {{{"sin", Op::kSin, 1},
                                                  {"cos", Op::kCos, 1},
                                                  {"tan", Op::kTan, 1},
                                                  {"asin", Op::kAsin, 1},
                                                  {"acos", Op::kAcos, 1},
                                                  {"atan", Op::kAtan, 1},
                                                  {"atan2", Op::kAtan2, 2},
                                                  {"sqrt", Op::kSqrt, 1},
                                                  {"exp", Op::kExp, 1},
                                                  {"log", Op::kLog, 1},
                                                  {"floor", Op::kFloor, 1},
                                                  {"ceil", Op::kCeil, 1},
                                                  {"abs", Op::kAbs, 1},
                                                  {"min", Op::kMin, 2},
                                                  {"max", Op::kMax, 2}}};

// How many values an operation takes from the stack (it always leaves one).
int operandCount(Op op) {
  switch (op) {
    case Op::kConst:
    case Op::kVar:
      return 0;
    case Op::kNeg:
    case Op::kNot:
    case Op::kSin:
    case Op::kCos:
    case Op::kTan:
    case Op::kAsin:
    case Op::kAcos:
    case Op::kAtan:
    case Op::kSqrt:
    case Op::kExp:
    case Op::kLog:
    case Op::kFloor:
    case Op::kCeil:
    case Op::kAbs:
      return 1;
    case Op::kSelect:
      return 3;
    default:
      return 2;
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::size_t pos, const NameScope& scope, bool topLevelChoice,
         std::vector<Instr>& code, std::size_t& maxStack)
      : text_(text),
        pos_(pos),
        scope_(scope),
        topLevelChoice_(topLevelChoice),
        code_(code),
        maxStack_(maxStack) {
    advance();
  }

  std::size_t parse() {
    if (token_.kind == Tok::kEnd) throw ExprError("an expression is missing");
    choice();
    return token_.pos;
  }

 private:
  // Each level returns whether what it emitted holds no name, so that it can be folded.
  bool choice() {
    const std::size_t start = code_.size();
    bool constant = logicalOr();
    if (isSymbol("?")) {
      if (parens_ == 0 && !topLevelChoice_) {
        throw ExprError("a ?: here must be in parentheses");
      }
      advance();
      Nest nest(*this);
      constant &= choice();
      expect(":");
      constant &= choice();
      return emit(Op::kSelect, start, constant);
    }
    return constant;
  }

  bool logicalOr() {
    const std::size_t start = code_.size();
    bool constant = logicalAnd();
    while (isSymbol("||") || isName("or")) {
      advance();
      constant &= logicalAnd();
      constant = emit(Op::kOr, start, constant);
    }
    return constant;
  }

  bool logicalAnd() {
    const std::size_t start = code_.size();
    bool constant = equality();
    while (isSymbol("&&") || isName("and")) {
      advance();
      constant &= equality();
      constant = emit(Op::kAnd, start, constant);
    }
    return constant;
  }

  bool equality() {
    const std::size_t start = code_.size();
    bool constant = relation();
    while (isSymbol("==") || isSymbol("!=")) {
      const Op op = token_.text == "==" ? Op::kEq : Op::kNe;
      advance();
      constant &= relation();
      constant = emit(op, start, constant);
    }
    return constant;
  }

  bool relation() {
    const std::size_t start = code_.size();
    bool constant = additive();
    while (isSymbol("<") || isSymbol("<=") || isSymbol(">") || isSymbol(">=")) {
      const Op op = token_.text == "<"    ? Op::kLt
                    : token_.text == "<=" ? Op::kLe
                    : token_.text == ">"  ? Op::kGt
                                          : Op::kGe;
      advance();
      constant &= additive();
      constant = emit(op, start, constant);
    }
    return constant;
  }

  bool additive() {
    const std::size_t start = code_.size();
    bool constant = multiplicative();
    while (isSymbol("+") || isSymbol("-")) {
      const Op op = token_.text == "+" ? Op::kAdd : Op::kSub;
      advance();
      constant &= multiplicative();
      constant = emit(op, start, constant);
    }
    return constant;
  }

  bool multiplicative() {
    const std::size_t start = code_.size();
    bool constant = unary();
    while (isSymbol("*") || isSymbol("/") || isSymbol("%")) {
      const Op op = token_.text == "*" ? Op::kMul : token_.text == "/" ? Op::kDiv : Op::kMod;
      advance();
      constant &= unary();
      constant = emit(op, start, constant);
    }
    return constant;
  }

  // Unary operators bind less tightly than "^": -2^2 is -(2^2).
  bool unary() {
    const std::size_t start = code_.size();
    if (isSymbol("-") || isSymbol("+") || isSymbol("!") || isName("not")) {
      const bool plus = isSymbol("+");
      const Op op = isSymbol("-") ? Op::kNeg : Op::kNot;
      advance();
      Nest nest(*this);
      const bool constant = unary();
      return plus ? constant : emit(op, start, constant);
    }
    return power();
  }

  // Right-associative, and its exponent may carry a sign: 2^-1, 2^3^2 = 2^9.
  bool power() {
    const std::size_t start = code_.size();
    bool constant = primary();
    if (isSymbol("^")) {
      advance();
      Nest nest(*this);
      constant &= unary();
      constant = emit(Op::kPow, start, constant);
    }
    return constant;
  }

  bool primary() {
    const Token t = token_;
    if (t.kind == Tok::kNumber) {
      // The token holds digits, "." and an exponent only, which strtod reads alike everywhere
      // in the "C" locale, correctly rounded.
      const std::string digits(t.text);
      advance();
      return emitValue(Op::kConst, 0, std::strtod(digits.c_str(), nullptr));
    }
    if (isSymbol("(")) {
      advance();
      Nest nest(*this);
      ++parens_;
      const bool constant = choice();
      --parens_;
      expect(")");
      return constant;
    }
    if (t.kind == Tok::kName) {
      if (t.text == "or" || t.text == "and" || t.text == "not") {
        throw ExprError("expected a value, found '" + std::string(t.text) + "'");
      }
      advance();
      if (isSymbol("(")) return call(t.text);
      if (scope_.names != nullptr) {
        for (std::size_t i = 0; i < scope_.names->size(); ++i) {
          if ((*scope_.names)[i] == t.text) return emitValue(Op::kVar, static_cast<uint32_t>(i), 0);
        }
      }
      if (scope_.constants != nullptr) {
        const auto found = scope_.constants->find(t.text);
        if (found != scope_.constants->end()) return emitValue(Op::kConst, 0, found->second);
      }
      throw ExprError("unknown name '" + std::string(t.text) + "'");
    }
    throw ExprError("expected a value, found " + describe(t));
  }

  bool call(std::string_view name) {
    const Function* function = nullptr;
    for (const Function& f : kFunctions) {
      if (f.name == name) function = &f;
    }
    if (function == nullptr) throw ExprError("unknown function '" + std::string(name) + "'");
    const std::size_t start = code_.size();
    advance();  // "("
    Nest nest(*this);
    ++parens_;
    bool constant = choice();
    for (int i = 1; i < function->arity; ++i) {
      expect(",");
      constant &= choice();
    }
    --parens_;
    if (!isSymbol(")")) {
      throw ExprError(std::string(name) + " takes " +
                      (function->arity == 1 ? "one value" : "two values"));
    }
    advance();
    return emit(function->op, start, constant);
  }

  // Counts one level of nesting for as long as it lives.
  class Nest {
   public:
    explicit Nest(Parser& p) : p_(p) {
      if (++p_.nesting_ > kMaxNesting) throw ExprError("an expression nested deeper than 256");
    }
    ~Nest() { --p_.nesting_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;

   private:
    Parser& p_;
  };

  bool emitValue(Op op, uint32_t slot, double value) {
    code_.push_back({op, slot, value});
    if (++depth_ > maxStack_) maxStack_ = depth_;
    return op == Op::kConst;
  }

  // Appends op; when everything from start is constant, runs it and keeps only its value.
  bool emit(Op op, std::size_t start, bool constant) {
    code_.push_back({op, 0, 0});
    depth_ -= static_cast<std::size_t>(operandCount(op) - 1);
    if (!constant) return false;
    foldStack_.resize(maxStack_);
    const double value =
        evalCode(code_.data() + start, code_.data() + code_.size(), nullptr, foldStack_.data());
    code_.resize(start);
    code_.push_back({Op::kConst, 0, value});
    return true;
  }

 public:
  static double evalCode(const Instr* ip, const Instr* end, const double* vars, double* stack);

 private:
  void advance() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    token_.pos = pos_;
    if (pos_ >= text_.size()) {
      token_ = {Tok::kEnd, {}, pos_};
      return;
    }
    const std::size_t begin = pos_;
    const char c = text_[pos_];
    if (isDigit(c) || (c == '.' && pos_ + 1 < text_.size() && isDigit(text_[pos_ + 1]))) {
      while (pos_ < text_.size() && isDigit(text_[pos_])) ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '.') ++pos_;
      while (pos_ < text_.size() && isDigit(text_[pos_])) ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
        std::size_t e = pos_ + 1;
        if (e < text_.size() && (text_[e] == '+' || text_[e] == '-')) ++e;
        if (e < text_.size() && isDigit(text_[e])) {
          while (e < text_.size() && isDigit(text_[e])) ++e;
          pos_ = e;
        }
      }
      token_ = {Tok::kNumber, text_.substr(begin, pos_ - begin), begin};
      return;
    }
    if (isNameStart(c)) {
      while (pos_ < text_.size() && (isNameStart(text_[pos_]) || isDigit(text_[pos_]))) ++pos_;
      token_ = {Tok::kName, text_.substr(begin, pos_ - begin), begin};
      return;
    }
    static constexpr std::string_view kPairs[] = {"||", "&&", "==", "!=", "<=", ">="};
    for (std::string_view pair : kPairs) {
      if (text_.substr(pos_, 2) == pair) {
        pos_ += 2;
        token_ = {Tok::kSymbol, pair, begin};
        return;
      }
    }
    ++pos_;
    token_ = {Tok::kSymbol, text_.substr(begin, 1), begin};
  }

  bool isSymbol(std::string_view s) const {
    return token_.kind == Tok::kSymbol && token_.text == s;
  }
  bool isName(std::string_view s) const { return token_.kind == Tok::kName && token_.text == s; }

  void expect(std::string_view s) {
    if (!isSymbol(s))
      throw ExprError("expected '" + std::string(s) + "', found " + describe(token_));
    advance();
  }

  static std::string describe(const Token& t) {
    if (t.kind == Tok::kEnd) return "the end";
    const unsigned char c = static_cast<unsigned char>(t.text[0]);
    if (t.kind == Tok::kSymbol && (c < 0x21 || c > 0x7E)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      return std::string("the byte 0x") + kHex[c >> 4] + kHex[c & 15];
    }
    return "'" + std::string(t.text.substr(0, 24)) + (t.text.size() > 24 ? "...'" : "'");
  }

  std::string_view text_;
  std::size_t pos_;
  const NameScope& scope_;
  bool topLevelChoice_;
  std::vector<Instr>& code_;
  std::size_t& maxStack_;
  Token token_;
  std::size_t depth_ = 0;  // values on the stack when the code so far has run
  int nesting_ = 0;
  int parens_ = 0;
  std::vector<double> foldStack_;
};

double Parser::evalCode(const Instr* ip, const Instr* end, const double* vars, double* stack) {
  double* sp = stack;  // one past the top
  for (; ip != end; ++ip) {
    switch (ip->op) {
      case Op::kConst:
        *sp++ = ip->value;
        continue;
      case Op::kVar:
        *sp++ = vars[ip->slot];
        continue;
      case Op::kNeg:
        sp[-1] = -sp[-1];
        continue;
      case Op::kNot:
        sp[-1] = holds(sp[-1]) ? 0 : 1;
        continue;
      case Op::kSelect:
        sp -= 2;
        sp[-1] = holds(sp[-1]) ? sp[0] : sp[1];
        continue;
      default:
        break;
    }
    if (operandCount(ip->op) == 1) {
      double& a = sp[-1];
      switch (ip->op) {
        case Op::kSin:
          a = exactSin((a * kPi) / 180);
          break;
        case Op::kCos:
          a = exactCos((a * kPi) / 180);
          break;
        case Op::kTan:
          a = exactTan((a * kPi) / 180);
          break;
        case Op::kAsin:
          a = (exactAsin(a) * 180) / kPi;
          break;
        case Op::kAcos:
          a = (exactAcos(a) * 180) / kPi;
          break;
        case Op::kAtan:
          a = (exactAtan(a) * 180) / kPi;
          break;
        case Op::kSqrt:
          a = std::sqrt(a);
          break;
        case Op::kExp:
          a = exactExp(a);
          break;
        case Op::kLog:
          a = exactLog(a);
          break;
        case Op::kFloor:
          a = std::floor(a);
          break;
        case Op::kCeil:
          a = std::ceil(a);
          break;
        default:  // kAbs
          a = std::fabs(a);
          break;
      }
      continue;
    }
    --sp;
    double& a = sp[-1];
    const double b = sp[0];
    switch (ip->op) {
      case Op::kAdd:
        a = a + b;
        break;
      case Op::kSub:
        a = a - b;
        break;
      case Op::kMul:
        a = a * b;
        break;
      case Op::kDiv:
        a = a / b;
        break;
      case Op::kMod:
        a = std::fmod(a, b);
        break;
      case Op::kPow:
        a = exactPow(a, b);
        break;
      case Op::kLt:
        a = a < b ? 1 : 0;
        break;
      case Op::kLe:
        a = a <= b ? 1 : 0;
        break;
      case Op::kGt:
        a = a > b ? 1 : 0;
        break;
      case Op::kGe:
        a = a >= b ? 1 : 0;
        break;
      case Op::kEq:
        a = a == b ? 1 : 0;
        break;
      case Op::kNe:
        a = a != b ? 1 : 0;
        break;
      case Op::kAnd:
        a = holds(a) && holds(b) ? 1 : 0;
        break;
      case Op::kOr:
        a = holds(a) || holds(b) ? 1 : 0;
        break;
      case Op::kAtan2:
        a = (exactAtan2(a, b) * 180) / kPi;
        break;
      case Op::kMin:
        a = b < a ? b : a;
        break;
      default:  // kMax
        a = b > a ? b : a;
        break;
    }
  }
  return sp[-1];
}

}  // namespace

Expr ExprCode::compile(std::string_view text, std::size_t& pos, const NameScope& scope,
                       bool topLevelChoice) {
  const std::size_t begin = code_.size();
  try {
    Parser parser(text, pos, scope, topLevelChoice, code_, maxStack_);
    pos = parser.parse();
  } catch (...) {
    code_.resize(begin);
    throw;
  }
  if (code_.size() > UINT32_MAX) throw ExprError("too many expressions");
  return {static_cast<uint32_t>(begin), static_cast<uint32_t>(code_.size())};
}

double ExprCode::eval(Expr e, const double* vars, double* stack) const {
  const Instr* ip = code_.data() + e.begin;
  if (e.end - e.begin == 1) return ip->op == Op::kConst ? ip->value : vars[ip->slot];
  return Parser::evalCode(ip, code_.data() + e.end, vars, stack);
}

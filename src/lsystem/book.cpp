// BookSystem: the reader of the book's notation, its generations and its saved text.
#include "book.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "lsystem.h"

namespace {

constexpr std::size_t kMaxParameters = 16;

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

// A module is one printable byte other than the notation's own ( ) , : < >.
bool isModule(char c) { return c >= '!' && c <= '~' && std::strchr("(),:<>", c) == nullptr; }

bool isReserved(std::string_view name) { return name == "or" || name == "and" || name == "not"; }

std::string describe(std::string_view s, std::size_t pos) {
  if (pos >= s.size()) return "the end of the line";
  const auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x21 || c > 0x7E) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("the byte 0x") + kHex[c >> 4] + kHex[c & 15];
  }
  return std::string("'") + s[pos] + "'";
}

std::size_t skipSpaces(std::string_view s, std::size_t pos) {
  while (pos < s.size() && isSpace(s[pos])) ++pos;
  return pos;
}

std::string_view trim(std::string_view s) {
  const std::size_t begin = skipSpaces(s, 0);
  std::size_t end = s.size();
  while (end > begin && isSpace(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

// The first c outside parentheses, or npos.
std::size_t findOutside(std::string_view s, char c) {
  int depth = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '(') ++depth;
    if (s[i] == ')') --depth;
    if (depth == 0 && s[i] == c) return i;
  }
  return std::string_view::npos;
}

// "WORD [WORD...] :" at the start of s, words apart by spaces: the position after the colon.
std::optional<std::size_t> directive(std::string_view s,
                                     std::initializer_list<std::string_view> words) {
  std::size_t pos = 0;
  bool firstWord = true;
  for (std::string_view word : words) {
    if (!firstWord) {
      const std::size_t after = skipSpaces(s, pos);
      if (after == pos) return std::nullopt;
      pos = after;
    }
    if (s.substr(pos, word.size()) != word) return std::nullopt;
    pos += word.size();
    firstWord = false;
  }
  pos = skipSpaces(s, pos);
  if (pos >= s.size() || s[pos] != ':') return std::nullopt;
  return pos + 1;
}

}  // namespace

// Fills a BookSystem from a file's text, line by line; every error is a BookFileError.
class BookReader {
 public:
  explicit BookReader(BookSystem& system) : s_(system) {}

  void read(std::string_view text) {
    std::size_t pos = 0;
    bool inComment = false;
    std::size_t commentLine = 0;
    std::string clean;
    // The text after the last line end is a line only when it is not empty.
    while (pos < text.size() || line_ == 0) {
      const std::size_t newline = text.find('\n', pos);
      const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
      ++line_;
      std::string_view raw = text.substr(pos, end - pos);
      if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
      // A comment counts as a space, as in C; one may span lines, which keep their numbers.
      clean.clear();
      for (std::size_t k = 0; k < raw.size();) {
        if (inComment) {
          const std::size_t close = raw.find("*/", k);
          if (close == std::string_view::npos) break;
          k = close + 2;
          inComment = false;
          clean += ' ';
        } else {
          const std::size_t open = raw.find("/*", k);
          clean.append(raw.substr(k, open - k));
          if (open == std::string_view::npos) break;
          k = open + 2;
          inComment = true;
          commentLine = line_;
        }
      }
      try {
        parseLine(trim(clean));
      } catch (const ExprError& e) {
        fail(e.what());
      }
      pos = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    if (inComment) throw BookFileError(commentLine, "a comment /* that is never closed");
    if (!haveAxiom_) fail("no axiom: line in the file");
    index();
  }

 private:
  using Pattern = BookSystem::Pattern;
  using Production = BookSystem::Production;

  [[noreturn]] void fail(const std::string& message) const { throw BookFileError(line_, message); }

  void parseLine(std::string_view s) {
    if (s.empty()) return;
    if (s.substr(0, 7) == "#define" && (s.size() == 7 || isSpace(s[7]))) {
      define(s.substr(7));
    } else if (const auto rest = directive(s, {"derivation", "length"})) {
      if (s_.derivationLength_) fail("a second derivation length");
      const double n = constant(s.substr(*rest), "the derivation length");
      if (!(n >= 0 && n <= 1000 && n == std::floor(n))) {
        fail("the derivation length must be a whole number from 0 to 1000");
      }
      s_.derivationLength_ = static_cast<int>(n);
      return;  // saveText writes its own
    } else if (const auto rest2 = directive(s, {"angle"})) {
      if (s_.angle_) fail("a second angle");
      const double a = constant(s.substr(*rest2), "the angle");
      if (!std::isfinite(a)) fail("the angle is not finite");
      s_.angle_ = a;
    } else if (const auto rest3 = directive(s, {"ignore"})) {
      for (std::size_t k = *rest3; k < s.size(); ++k) {
        if (isSpace(s[k])) continue;
        if (!isModule(s[k])) fail("expected a module to ignore, found " + describe(s, k));
        // Context matching walks the branches by their brackets, so they cannot be skipped.
        if (s[k] == '[' || s[k] == ']') fail("a bracket cannot be ignored");
        s_.ignored_[static_cast<unsigned char>(s[k])] = true;
      }
    } else if (const auto rest4 = directive(s, {"axiom"})) {
      if (haveAxiom_) fail("a second axiom");
      haveAxiom_ = true;
      axiom(s.substr(*rest4));
      return;  // saveText writes the word instead
    } else {
      production(s);
    }
    s_.lines_.emplace_back(s);
  }

  // The name at s[pos] on, after spaces, pos then past it; `expected` names it when none is there.
  std::string readName(std::string_view s, std::size_t& pos, const char* expected) {
    pos = skipSpaces(s, pos);
    const std::size_t begin = pos;
    if (pos < s.size() && isNameStart(s[pos])) {
      while (pos < s.size() && isNameChar(s[pos])) ++pos;
    }
    std::string found(s.substr(begin, pos - begin));
    if (found.empty()) fail(std::string("expected ") + expected + ", found " + describe(s, begin));
    if (isReserved(found)) fail("'" + found + "' is an operator, not a name");
    return found;
  }

  void define(std::string_view s) {
    std::size_t pos = 0;
    const std::string name = readName(s, pos, "a name after #define");
    if (constants_.count(name) != 0) fail("'" + name + "' defined twice");
    constants_[name] = constant(s.substr(pos), "the value of " + name);
  }

  // A whole constant expression: its value.
  double constant(std::string_view s, const std::string& what) {
    ExprCode code;
    std::size_t pos = 0;
    const Expr e = code.compile(s, pos, NameScope{nullptr, &constants_}, true);
    if (pos != s.size()) fail("unexpected " + describe(s, pos) + " in " + what);
    return code.eval(e, nullptr, nullptr);
  }

  void axiom(std::string_view s) {
    ExprCode code;
    std::vector<double> values;
    moduleList(s, "axiom", [&](char symbol, std::size_t& pos) {
      values.clear();
      if (pos < s.size() && s[pos] == '(') {
        arguments(s, pos, [&] {
          const Expr e = code.compile(s, pos, NameScope{nullptr, &constants_}, true);
          const double v = code.eval(e, nullptr, nullptr);
          if (!std::isfinite(v)) fail("a parameter of the axiom is not finite");
          values.push_back(v);
        });
      }
      s_.axiom_.push(symbol, values.data(), static_cast<uint32_t>(values.size()));
    });
  }

  // Calls onModule(symbol, pos) for each module of s, pos just past the symbol and its spaces.
  template <typename OnModule>
  void moduleList(std::string_view s, const char* where, OnModule onModule) {
    for (std::size_t pos = skipSpaces(s, 0); pos < s.size(); pos = skipSpaces(s, pos)) {
      if (!isModule(s[pos])) {
        fail(std::string("expected a module in the ") + where + ", found " + describe(s, pos));
      }
      const char symbol = s[pos];
      pos = skipSpaces(s, pos + 1);
      onModule(symbol, pos);
    }
  }

  // A parenthesised list at s[pos] == '(' of 1 to 16 items, each read by item() from pos.
  template <typename Item>
  void arguments(std::string_view s, std::size_t& pos, Item item) {
    ++pos;
    for (std::size_t count = 1;; ++count) {
      if (count > kMaxParameters) fail("a module has more than 16 parameters");
      item();
      pos = skipSpaces(s, pos);
      if (pos < s.size() && s[pos] == ')') break;
      if (pos >= s.size() || s[pos] != ',') {
        fail("expected ',' or ')' after a parameter, found " + describe(s, pos));
      }
      ++pos;
    }
    ++pos;
  }

  // Modules with parameter names: a predecessor or a context.
  void patterns(std::string_view s, const char* where, std::vector<Pattern>& out,
                std::vector<std::string>& names) {
    moduleList(s, where, [&](char symbol, std::size_t& pos) {
      if (where[0] != 'p' && (symbol == '[' || symbol == ']')) fail("a bracket in a context");
      Pattern pattern{symbol, 0, static_cast<uint32_t>(names.size())};
      if (pos < s.size() && s[pos] == '(') {
        arguments(s, pos, [&] {
          const std::string name = readName(s, pos, "a parameter name");
          if (std::find(names.begin(), names.end(), name) != names.end()) {
            fail("the name '" + name + "' twice in one production");
          }
          names.push_back(name);
          ++pattern.count;
        });
      }
      out.push_back(pattern);
    });
  }

  // [pN:] [LEFT <] PRED [> RIGHT] [: CONDITION] -> SUCCESSOR [: WEIGHT]. The arrow is the first
  // "->" outside parentheses ("-->" when a "-" stands before it and the predecessor before
  // that), so a "-" module may be a predecessor ("- -> +") but not stand right before the
  // arrow. The first ":" outside parentheses before the arrow starts the condition and after
  // it the weight; "<" and ">" outside parentheses before the condition mark the contexts.
  // Inside a condition or a weight a "?:" must be in parentheses, so that every ":" outside
  // parentheses is one of the production's own.
  void production(std::string_view s) {
    std::size_t pos = 0;
    if (s.size() > 1 && s[0] == 'p' && s[1] >= '0' && s[1] <= '9') {
      std::size_t k = 1;
      while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
      k = skipSpaces(s, k);
      if (k < s.size() && s[k] == ':') pos = k + 1;  // a label, which nothing reads
    }
    std::size_t arrow = std::string_view::npos;
    int depth = 0;
    for (std::size_t k = pos; k + 1 < s.size(); ++k) {
      if (s[k] == '(') ++depth;
      if (s[k] == ')' && --depth < 0) fail("a ')' without its '('");
      if (depth == 0 && s[k] == '-' && s[k + 1] == '>') {
        arrow = k;
        break;
      }
    }
    if (arrow == std::string_view::npos) {
      if (s[0] == '#') fail("unknown directive " + std::string(s.substr(0, 16)));
      fail(
          "expected a production (PREDECESSOR -> SUCCESSOR) or one of #define, derivation "
          "length:, angle:, ignore:, axiom:");
    }
    std::size_t headEnd = arrow;
    if (arrow > pos && s[arrow - 1] == '-' && !trim(s.substr(pos, arrow - 1 - pos)).empty()) {
      --headEnd;
    }
    const std::string_view head = s.substr(pos, headEnd - pos);
    const std::string_view tail = s.substr(arrow + 2);

    Production p;
    p.line = line_;
    std::vector<std::string> names;
    const std::size_t colon = findOutside(head, ':');
    const std::string_view modules = head.substr(0, colon);
    const std::size_t less = findOutside(modules, '<');
    const std::size_t greater = findOutside(modules, '>');
    std::string_view pred = modules;
    if (less != std::string_view::npos) {
      if (findOutside(modules.substr(less + 1), '<') != std::string_view::npos) {
        fail("a second '<' in a production");
      }
      if (greater != std::string_view::npos && greater < less) fail("'>' before '<'");
      patterns(modules.substr(0, less), "left context", p.left, names);
      if (p.left.empty()) fail("an empty left context");
      pred = modules.substr(less + 1);
    }
    if (greater != std::string_view::npos) {
      const std::size_t at = greater - (modules.size() - pred.size());
      if (findOutside(pred.substr(at + 1), '>') != std::string_view::npos) {
        fail("a second '>' in a production");
      }
      patterns(pred.substr(at + 1), "right context", p.right, names);
      if (p.right.empty()) fail("an empty right context");
      pred = pred.substr(0, at);
    }
    std::vector<Pattern> predecessor;
    patterns(pred, "predecessor", predecessor, names);
    if (predecessor.size() != 1) {
      fail(predecessor.empty() ? "no predecessor before the arrow"
                               : "the predecessor must be one module (contexts take < and >)");
    }
    p.predecessor = predecessor[0];
    const NameScope scope{&names, &constants_};
    try {
      if (colon != std::string_view::npos) {
        const std::string_view condition = head.substr(colon + 1);
        std::size_t at = 0;
        p.condition = s_.code_.compile(condition, at, scope, false);
        if (at != condition.size())
          fail("unexpected " + describe(condition, at) + " in the condition");
        p.conditional = true;
      }
    } catch (const ExprError& e) {
      fail(std::string("in the condition: ") + e.what());
    }

    const std::size_t weightColon = findOutside(tail, ':');
    successor(tail.substr(0, weightColon), p, scope);
    if (weightColon != std::string_view::npos) {
      const std::string_view weight = tail.substr(weightColon + 1);
      ExprCode code;
      std::size_t at = 0;
      Expr e;
      try {
        e = code.compile(weight, at, scope, false);
      } catch (const ExprError& error) {
        fail(std::string("in the weight: ") + error.what());
      }
      if (at != weight.size()) fail("unexpected " + describe(weight, at) + " in the weight");
      if (!code.isConstant(e)) fail("the weight must be a constant expression");
      p.weight = code.eval(e, nullptr, nullptr);
      if (!(p.weight > 0 && std::isfinite(p.weight)))
        fail("the weight must be positive and finite");
      p.weighted = true;
    }
    s_.maxSlots_ = std::max(s_.maxSlots_, names.size());
    s_.anyLeft_ |= !p.left.empty();
    s_.anyRight_ |= !p.right.empty();
    s_.productions_.push_back(std::move(p));
  }

  void successor(std::string_view s, Production& p, const NameScope& scope) {
    p.argBegin.push_back(0);
    const std::string_view body = trim(s);
    if (body == "*") return;
    if (body.empty()) fail("no successor after the arrow (write * for none)");
    moduleList(s, "successor", [&](char symbol, std::size_t& pos) {
      p.successor += symbol;
      if (pos < s.size() && s[pos] == '(') {
        arguments(s, pos, [&] { p.args.push_back(s_.code_.compile(s, pos, scope, true)); });
      }
      p.argBegin.push_back(static_cast<uint32_t>(p.args.size()));
    });
  }

  // The productions of each byte in file order, sorted by counting.
  void index() {
    auto& first = s_.first_;
    for (const Production& p : s_.productions_)
      ++first[static_cast<unsigned char>(p.predecessor.symbol) + 1u];
    for (std::size_t c = 0; c < 256; ++c) first[c + 1] += first[c];
    std::array<uint32_t, 257> next = first;
    s_.bySymbol_.resize(s_.productions_.size());
    for (std::size_t i = 0; i < s_.productions_.size(); ++i) {
      s_.bySymbol_[next[static_cast<unsigned char>(s_.productions_[i].predecessor.symbol)]++] =
          static_cast<uint32_t>(i);
    }
  }

  BookSystem& s_;
  std::map<std::string, double, std::less<>> constants_;
  std::size_t line_ = 0;
  bool haveAxiom_ = false;
};

BookSystem::BookSystem(std::string_view text) { BookReader(*this).read(text); }

// The state of one generation over a word: the names bound by the production being tried, the
// stack of its expressions, and, when some production has a context, where each module's
// context search goes next.
class Generation {
 public:
  Generation(const BookSystem& system, const ModuleWord& word, uint64_t seed)
      : s_(system),
        w_(word),
        seed_(seed),
        vars_(std::max<std::size_t>(system.maxSlots_, 1)),
        stack_(system.code_.maxStack()) {
    if (s_.anyLeft_) leftward();
    if (s_.anyRight_) rightward();
  }

  // The production that rewrites module i, or -1 when it is copied.
  int32_t choose(std::size_t i) {
    const auto c = static_cast<unsigned char>(w_.symbols[i]);
    const uint32_t end = s_.first_[c + 1u];
    for (uint32_t k = s_.first_[c]; k < end; ++k) {
      const uint32_t index = s_.bySymbol_[k];
      const BookSystem::Production& p = s_.productions_[index];
      if (!applies(p, i)) continue;
      if (!p.weighted) return static_cast<int32_t>(index);
      // A weighted choice among this and every later weighted production that applies.
      candidates_.clear();
      double total = 0;
      for (uint32_t q = k; q < end; ++q) {
        const BookSystem::Production& other = s_.productions_[s_.bySymbol_[q]];
        if (other.weighted && applies(other, i)) {
          candidates_.push_back(s_.bySymbol_[q]);
          total += other.weight;
        }
      }
      const double u = static_cast<double>(mix(seed_, w_.size(), i) >> 11) * 0x1p-53;
      const double target = u * total;
      double running = 0;
      for (const uint32_t q : candidates_) {
        running += s_.productions_[q].weight;
        if (running > target) return static_cast<int32_t>(q);
      }
      return static_cast<int32_t>(candidates_.back());  // when rounding left none
    }
    return -1;
  }

  // Whether p's predecessor and contexts match module i; binds their names.
  bool match(const BookSystem::Production& p, std::size_t i) {
    if (!bind(p.predecessor, i)) return false;
    int64_t j = static_cast<int64_t>(i) - 1;
    for (std::size_t k = p.left.size(); k-- > 0;) {
      j = j < 0 ? -1 : before_[static_cast<std::size_t>(j)];
      if (j < 0 || !bind(p.left[k], static_cast<std::size_t>(j))) return false;
      --j;
    }
    j = static_cast<int64_t>(i) + 1;
    for (const BookSystem::Pattern& pattern : p.right) {
      j = j >= static_cast<int64_t>(w_.size()) ? -1 : after_[static_cast<std::size_t>(j)];
      if (j < 0 || !bind(pattern, static_cast<std::size_t>(j))) return false;
      ++j;
    }
    return true;
  }

  double eval(Expr e) { return s_.code_.eval(e, vars_.data(), stack_.data()); }

 private:
  bool applies(const BookSystem::Production& p, std::size_t i) {
    return match(p, i) && (!p.conditional || holds(eval(p.condition)));
  }

  bool bind(const BookSystem::Pattern& pattern, std::size_t j) {
    if (w_.symbols[j] != pattern.symbol || w_.parameterCount(j) != pattern.count) return false;
    std::copy_n(w_.parameters(j), pattern.count, vars_.data() + pattern.firstSlot);
    return true;
  }

  // before_[j]: the module a left context meets first from j leftwards: ignored symbols and "["
  // passed, a complete branch "[...]" skipped; -1 at the word's start or an unmatched "]".
  void leftward() {
    const std::string& w = w_.symbols;
    before_.resize(w.size());
    std::vector<int32_t> open;
    for (std::size_t j = 0; j < w.size(); ++j) {
      const int32_t previous = j == 0 ? -1 : before_[j - 1];
      if (w[j] == '[') {
        open.push_back(static_cast<int32_t>(j));
        before_[j] = previous;
      } else if (w[j] == ']') {
        if (open.empty()) {
          before_[j] = -1;
        } else {
          const auto o = static_cast<std::size_t>(open.back());
          open.pop_back();
          before_[j] = o == 0 ? -1 : before_[o - 1];
        }
      } else {
        before_[j] =
            s_.ignored_[static_cast<unsigned char>(w[j])] ? previous : static_cast<int32_t>(j);
      }
    }
  }

  // after_[j]: the module a right context meets first from j rightwards: ignored symbols passed,
  // a complete branch "[...]" skipped; -1 at a "]" (the end of the module's branch), the word's
  // end or an unmatched "[".
  void rightward() {
    const std::string& w = w_.symbols;
    after_.resize(w.size());
    std::vector<int32_t> close;
    for (std::size_t j = w.size(); j-- > 0;) {
      const int32_t next = j + 1 == w.size() ? -1 : after_[j + 1];
      if (w[j] == ']') {
        close.push_back(static_cast<int32_t>(j));
        after_[j] = -1;
      } else if (w[j] == '[') {
        if (close.empty()) {
          after_[j] = -1;
        } else {
          const auto c = static_cast<std::size_t>(close.back());
          close.pop_back();
          after_[j] = c + 1 == w.size() ? -1 : after_[c + 1];
        }
      } else {
        after_[j] = s_.ignored_[static_cast<unsigned char>(w[j])] ? next : static_cast<int32_t>(j);
      }
    }
  }

  const BookSystem& s_;
  const ModuleWord& w_;
  uint64_t seed_;
  std::vector<double> vars_;
  std::vector<double> stack_;
  std::vector<uint32_t> candidates_;
  std::vector<int32_t> before_;
  std::vector<int32_t> after_;
};

namespace {

// Each "%" removed with the modules after it up to the end of its branch; the "]" stays.
void prune(ModuleWord& w) {
  if (w.symbols.find('%') == std::string::npos) return;
  const std::size_t n = w.size();
  std::size_t out = 0;
  uint32_t outValues = 0;
  for (std::size_t i = 0; i < n;) {
    if (w.symbols[i] == '%') {
      for (int64_t depth = 0; i < n; ++i) {
        if (w.symbols[i] == '[') ++depth;
        if (w.symbols[i] == ']' && --depth < 0) break;
      }
      continue;
    }
    const uint32_t begin = w.offsets[i];
    const uint32_t end = w.offsets[i + 1];
    w.symbols[out] = w.symbols[i];
    w.offsets[out] = outValues;
    std::copy(w.values.data() + begin, w.values.data() + end, w.values.data() + outValues);
    outValues += end - begin;
    ++out;
    ++i;
  }
  w.symbols.resize(out);
  w.offsets.resize(out + 1);
  w.offsets[out] = outValues;
  w.values.resize(outValues);
}

}  // namespace

void BookSystem::generateFrom(ModuleWord& word, std::size_t begin, uint64_t seed,
                              uint64_t maxModules) const {
  const std::size_t n = word.size();
  if (begin >= n) return;
  if (n > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw WordLimitError("the word is longer than 2147483647 modules");
  }
  std::size_t end = begin;
  for (int64_t depth = 0; end < n; ++end) {
    if (word.symbols[end] == '[') ++depth;
    if (word.symbols[end] == ']' && --depth < 0) break;
  }

  // The productions are chosen first and the result counted, so that a refused result is
  // never allocated.
  Generation g(*this, word, seed);
  std::vector<int32_t> chosen(end - begin);
  uint64_t modules = n - (end - begin);
  uint64_t values = word.values.size() - (word.offsets[end] - word.offsets[begin]);
  for (std::size_t i = begin; i < end; ++i) {
    const int32_t c = g.choose(i);
    chosen[i - begin] = c;
    if (c < 0) {
      modules += 1;
      values += word.parameterCount(i);
    } else {
      const Production& p = productions_[static_cast<std::size_t>(c)];
      modules += p.successor.size();
      values += p.args.size();
    }
    if (modules > maxModules) {
      throw WordLimitError("the word would be longer than " + std::to_string(maxModules) +
                           " symbols");
    }
  }
  if (values > std::numeric_limits<uint32_t>::max()) {
    throw WordLimitError("the word would hold more than 4294967295 parameters");
  }

  ModuleWord out;
  out.symbols.reserve(static_cast<std::size_t>(modules));
  out.offsets.reserve(static_cast<std::size_t>(modules) + 1);
  out.values.reserve(static_cast<std::size_t>(values));
  out.symbols.assign(word.symbols, 0, begin);
  out.offsets.assign(word.offsets.begin(),
                     word.offsets.begin() + static_cast<std::ptrdiff_t>(begin) + 1);
  out.values.assign(word.values.data(), word.values.data() + word.offsets[begin]);
  for (std::size_t i = begin; i < end; ++i) {
    const int32_t c = chosen[i - begin];
    if (c < 0) {
      out.symbols += word.symbols[i];
      out.values.insert(out.values.end(), word.parameters(i),
                        word.parameters(i) + word.parameterCount(i));
      out.offsets.push_back(static_cast<uint32_t>(out.values.size()));
      continue;
    }
    const Production& p = productions_[static_cast<std::size_t>(c)];
    g.match(p, i);
    for (std::size_t k = 0; k < p.successor.size(); ++k) {
      out.symbols += p.successor[k];
      for (uint32_t a = p.argBegin[k]; a < p.argBegin[k + 1]; ++a) {
        const double v = g.eval(p.args[a]);
        if (!std::isfinite(v)) {
          throw BookValueError("module " + std::to_string(i) + " ('" + word.symbols[i] +
                               "'), rewritten by the production on line " + std::to_string(p.line) +
                               ", gives a parameter that is not finite");
        }
        out.values.push_back(v);
      }
      out.offsets.push_back(static_cast<uint32_t>(out.values.size()));
    }
  }
  const uint32_t shift = static_cast<uint32_t>(out.values.size()) - word.offsets[end];  // may wrap
  out.symbols.append(word.symbols, end, std::string::npos);
  for (std::size_t j = end + 1; j <= n; ++j) out.offsets.push_back(word.offsets[j] + shift);
  out.values.insert(out.values.end(), word.values.data() + word.offsets[end],
                    word.values.data() + word.values.size());
  prune(out);
  word = std::move(out);
}

std::string BookSystem::saveText(const ModuleWord& word) const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += '\n';
  }
  out += "derivation length: 0\naxiom: ";
  std::string axiom;
  appendModules(axiom, word, 0, word.size());
  for (std::size_t i = 0; i < axiom.size(); ++i) {
    out += axiom[i];
    // A module "/" before a module "*" would open a comment; a space keeps them two modules.
    if (axiom[i] == '/' && i + 1 < axiom.size() && axiom[i + 1] == '*') out += ' ';
  }
  out += '\n';
  return out;
}

// Tests of the book's notation: expressions, exact math, contexts, choices, errors and saving.
#include "book.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "exact_math.h"
#include "lsystem.h"
#include "shortest.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

std::string grown(const std::string& text, int generations, uint64_t seed = 0) {
  const BookSystem system(text);
  ModuleWord word = system.axiom();
  for (int g = 0; g < generations; ++g) system.generate(word, seed, 1u << 20);
  return formatWord(word);
}

std::string readData(const std::string& name) {
  std::ifstream in(std::string(LSV_BOOK_DATA) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TEST(BookExpr, ValuesAgainstHandComputedOnes) {
  const std::map<std::string, double, std::less<>> constants = {{"x", 5}, {"k", 2}};
  const std::vector<std::string> names = {"x"};
  const double x = 3;
  const std::vector<std::pair<std::string, double>> rows = {
      {"1 + 2 * 3", 7},
      {"(1 + 2) * 3", 9},
      {"-2^2", -4},
      {"2^-1", 0.5},
      {"2^3^2", 512},
      {"-2^-2", -0.25},
      {"7 % 3", 1},
      {"-7 % 3", -1},
      {"7.5 % -2", 1.5},
      {"1 / 0", kInf},
      {"-1 / 0", -kInf},
      {"0 / 0", kNaN},
      {"1 < 2 == 1", 1},
      {"2 <= 1 || 1", 1},
      {"1 and 0 or 1", 1},
      {"1 && 0 || 0", 0},
      {"not 0 + 1", 2},
      {"!(0 / 0)", 1},
      {"0/0 == 0/0", 0},
      {"0/0 != 0/0", 1},
      {"(0 / 0) ? 1 : 2", 2},
      {"1 ? 2 : 0 ? 3 : 4", 2},
      {"0 ? 2 : 0 ? 3 : 4", 4},
      {"1.5e-3 * 1e3", 1.5},
      {".5 + 1.", 1.5},
      {"x + k", 5},
      {"x * -x", -9},
      {"min(3, 1) + max(3, 1)", 4},
      {"min(0/0, 1)", kNaN},
      {"max(1, 0/0)", 1},
      {"floor(-1.5) + ceil(-1.5)", -3},
      {"abs(-3)", 3},
      {"sqrt(2)", 1.4142135623730951},
      {"exp(0) + log(1)", 1},
      {"exp(1)", 2.718281828459045},
      {"log(0)", -kInf},
      {"log(-1)", kNaN},
      {"2^10", 1024},
      {"(-2)^3", -8},
      {"(-8)^(1/3)", kNaN},
      {"0^-1", kInf},
      {"cos(0) + sin(0)", 1},
      {"sin(30)", 0.49999999999999994},
      {"cos(60)", 0.5000000000000001},
      {"sin(90)", 1},
      {"tan(45)", 0.9999999999999999},
      {"atan2(1, 1)", 45},
      {"asin(1)", 90},
      {"acos(-1)", 180},
      {"atan(1e300)", 90},
  };
  ExprCode code;
  std::vector<double> stack(64);
  for (const auto& [text, expected] : rows) {
    SCOPED_TRACE(text);
    std::size_t pos = 0;
    const Expr e = code.compile(text, pos, NameScope{&names, &constants}, true);
    EXPECT_EQ(text.size(), pos);
    ASSERT_GE(stack.size(), code.maxStack());
    const double value = code.eval(e, &x, stack.data());
    // A NaN's sign differs between machines, and no NaN reaches a word.
    EXPECT_TRUE(std::isnan(expected) ? std::isnan(value) : bits(expected) == bits(value)) << value;
  }
}

// C's special values: zeros' signs, infinities, NaN and domain errors.
TEST(ExactMath, SpecialValues) {
  struct Row {
    double value, expected;
  };
  const Row rows[] = {
      {exactPow(kNaN, 0), 1},
      {exactPow(1, kNaN), 1},
      {exactPow(-1, -kInf), 1},
      {exactPow(-0.0, -3), -kInf},
      {exactPow(-0.0, -2), kInf},
      {exactPow(-0.0, 3), -0.0},
      {exactPow(-0.0, 2), 0},
      {exactPow(-kInf, 3), -kInf},
      {exactPow(-kInf, -3), -0.0},
      {exactPow(0.5, kInf), 0},
      {exactPow(0.5, -kInf), kInf},
      {exactPow(2, kInf), kInf},
      {exactPow(-2, 0.5), kNaN},
      {exactPow(10, 400), kInf},
      {exactPow(-10, -401), -0.0},
      {exactExp(1000), kInf},
      {exactExp(-1000), 0},
      {exactExp(-kInf), 0},
      {exactLog(-0.0), -kInf},
      {exactLog(kInf), kInf},
      {exactSin(-0.0), -0.0},
      {exactSin(kInf), kNaN},
      {exactTan(-0.0), -0.0},
      {exactAsin(2), kNaN},
      {exactAtan2(-0.0, -1), -M_PI},
      {exactAtan2(0, -0.0), M_PI},
      {exactAtan2(-0.0, 0), -0.0},
      {exactAtan2(1, -kInf), M_PI},
      {exactAtan2(-kInf, kInf), -M_PI / 4},
      {exactAtan(-kInf), -M_PI / 2},
      {exactAcos(1), 0},
      {exactExp(kNaN), kNaN},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(bits(rows[i].expected), bits(rows[i].value)) << rows[i].value;
  }
}

#ifdef LSV_NATIVE
namespace {

// The distance in ulps, counting across zero; NaNs are all alike.
uint64_t ulps(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) ? 0 : UINT64_MAX;
  const auto ordered = [](double v) {  // negative doubles mirrored below 2^63
    constexpr uint64_t kSign = uint64_t{1} << 63;
    const uint64_t u = bits(v);
    return u & kSign ? kSign - (u & ~kSign) : kSign + u;
  };
  return ordered(a) > ordered(b) ? ordered(a) - ordered(b) : ordered(b) - ordered(a);
}

}  // namespace

// The C library's functions are within 1 ulp of the true values, and so are these.
TEST(ExactMath, WithinOneUlpOfTheCLibrary) {
  std::mt19937_64 random(20240611);
  const auto anyDouble = [&] {
    double v;
    do {
      const uint64_t b = random();
      std::memcpy(&v, &b, sizeof v);
    } while (!std::isfinite(v));
    return v;
  };
  const auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  std::size_t worse = 0;
  const auto check = [&](const char* name, double got, double want, double a, double b) {
    if (ulps(got, want) > 1 && ++worse <= 10) {
      ADD_FAILURE() << name << "(" << a << ", " << b << ") = " << got << ", C: " << want;
    }
  };
  for (int i = 0; i < 30000; ++i) {
    const double wide = anyDouble();
    const double near = uniform(-1e4, 1e4);
    for (double x : {wide, near}) {
      check("sin", exactSin(x), std::sin(x), x, 0);
      check("cos", exactCos(x), std::cos(x), x, 0);
      check("tan", exactTan(x), std::tan(x), x, 0);
      check("atan", exactAtan(x), std::atan(x), x, 0);
      check("log", exactLog(std::fabs(x)), std::log(std::fabs(x)), x, 0);
    }
    const double unit = uniform(-1, 1);
    check("asin", exactAsin(unit), std::asin(unit), unit, 0);
    check("acos", exactAcos(unit), std::acos(unit), unit, 0);
    const double e = uniform(-745, 710);
    check("exp", exactExp(e), std::exp(e), e, 0);
    const double y = anyDouble();
    check("atan2", exactAtan2(wide, y), std::atan2(wide, y), wide, y);
    check("atan2", exactAtan2(near, unit), std::atan2(near, unit), near, unit);
    const double base = uniform(0, 100);
    const double power = uniform(-150, 150);
    check("pow", exactPow(base, power), std::pow(base, power), base, power);
    const double negative = -uniform(0, 10);
    const double whole = std::floor(uniform(-300, 300));
    check("pow", exactPow(negative, whole), std::pow(negative, whole), negative, whole);
  }
  EXPECT_EQ(0u, worse);
}
#endif

TEST(BookGeneration, ContextsConditionsAndPruningByHand) {
  struct Row {
    std::string file;
    int generations;
    std::string expected;
  };
  const std::vector<Row> rows = {
      // A signal passed on through segments that context matching ignores.
      {"ignore: F\naxiom: FbFaFaFa\nb < a -> b\nb -> a", 1, "FaFbFaFa"},
      {"ignore: F\naxiom: FbFaFaFa\nb < a -> b\nb -> a", 2, "FaFaFbFa"},
      // A right context skips a whole branch; a left context leaves a branch for its parent.
      {"axiom: A[B]C\nA > B -> Y\nA > C -> X", 1, "X[B]C"},
      {"axiom: A[B]C\nA < B -> Y\nA < C -> Z", 1, "A[Y]Z"},
      {"axiom: A[BC]D\nC > D -> X\nA > D -> W", 1, "W[BC]D"},
      {"axiom: AB[C]D\nAB < D -> X\nB > D -> Y\nB > C -> Z", 1, "AY[C]X"},
      // The signal climbs the stem and enters every branch, the turns ignored.
      {"ignore: +-\naxiom: F(1)[+F(0)]F(0)[-F(0)[+F(0)]]\nF(a) < F(b) : a == 1 -> F(1)", 1,
       "F(1)[+F(1)]F(1)[-F(0)[+F(0)]]"},
      {"axiom: A(1)B(2)C\nA(x) < B(y) > C -> B(x + y)\nA(x) > B(y) -> A(y)", 1, "A(2)B(3)C"},
      {"axiom: A(3)\nA(x) : x > 5 -> B\nA(x) -> A(x * 2)A(x - 1)", 2, "BA(4)A(1)"},
      {"axiom: A(1)\nA(x) -> F(x)[+A(x * 125 / 182)]", 1, "F(1)[+A(0.6868131868131868)]"},
      {"axiom: A(1,2)B\nA(x) -> C\nA(x, y) -> D(y, x)\nB -> *", 1, "D(2,1)"},
      {"axiom: A[B%C[D]E]F%G\nB -> BB", 1, "A[BB]F"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_EQ(row.expected, grown(row.file, row.generations));
  }
}

TEST(BookGeneration, RegionFromABudToTheEndOfItsBranch) {
  const BookSystem system("axiom: B(5)[AA[A]A]A\nB(x) < A -> C(x)\nA -> D");
  // begin, and the word after: contexts are read across the region's edges.
  const std::vector<std::pair<std::size_t, std::string>> rows = {
      {3, "B(5)[AD[D]D]A"}, {2, "B(5)[C(5)D[D]D]A"}, {0, "B(5)[C(5)D[D]D]C(5)"},
      {8, "B(5)[AA[A]A]A"}, {9, "B(5)[AA[A]A]C(5)"}, {5, "B(5)[AA[D]A]A"}};
  for (const auto& [begin, expected] : rows) {
    ModuleWord word = system.axiom();
    system.generateFrom(word, begin, 0, 100);
    EXPECT_EQ(expected, formatWord(word)) << "from " << begin;
  }
}

TEST(BookGeneration, WeightedChoiceFollowsTheFormula) {
  const BookSystem system(
      "axiom: A(0)A(1)A(2)A(0)A(1)A(2)A(0)A(1)A(2)A(0)A(1)A(2)\n"
      "A(x) : x == 2 -> D\nA(x) -> B : 1\nA(x) : x == 0 -> E\n"
      "A(x) : x == 1 -> C : 3\n");
  for (uint64_t seed : {0u, 1u, 99u}) {
    ModuleWord word = system.axiom();
    system.generate(word, seed, 100);
    std::string expected;
    for (std::size_t i = 0; i < 12; ++i) {
      const double u = static_cast<double>(mix(seed, 12, i) >> 11) * 0x1p-53;
      expected += i % 3 == 2 ? 'D' : i % 3 == 0 ? 'B' : (1 > u * 4 ? 'B' : 'C');
    }
    EXPECT_EQ(expected, word.symbols) << "seed " << seed;
  }
}

TEST(BookGeneration, RefusalsLeaveTheWordUnchanged) {
  const BookSystem system("axiom: A(1)A(0)\nA(x) -> A(1 / x)BB");
  ModuleWord word = system.axiom();
  try {
    system.generate(word, 0, 5);
    FAIL() << "no limit";
  } catch (const WordLimitError& e) {
    EXPECT_STREQ("the word would be longer than 5 symbols", e.what());
  }
  try {
    system.generate(word, 0, 6);
    FAIL() << "no refusal of infinity";
  } catch (const BookValueError& e) {
    EXPECT_STREQ(
        "module 1 ('A'), rewritten by the production on line 2, gives a parameter that is not "
        "finite",
        e.what());
  }
  EXPECT_EQ(system.axiom(), word);
}

TEST(BookFile, BadFilesNameTheirLine) {
  struct Row {
    std::string file;
    std::size_t line;
    std::string fragment;
  };
  const std::vector<Row> rows = {
      {"axiom: A\n/* open\n\n", 2, "never closed"},
      {"angle: 3\n", 1, "no axiom"},
      {"", 1, "no axiom"},
      {"axiom: A\naxiom: B", 2, "second axiom"},
      {"axiom: A\nderivation length: 2.5", 2, "whole number"},
      {"derivation length: 1001\naxiom: A", 1, "whole number"},
      {"angle: 1\nangle: 2\naxiom: A", 2, "second angle"},
      {"axiom: A(1/0)", 1, "not finite"},
      {"axiom: A()", 1, "expected a value"},
      {"axiom: A(1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17)", 1, "more than 16"},
      {"axiom: A\r\nA -> B\r\nA \x01 -> B", 3, "0x01"},
      {"axiom: A\n#define 2 3", 2, "expected a name"},
      {"#define X 1\n#define X 2\naxiom: A", 2, "defined twice"},
      {"#define X Y\naxiom: A", 1, "unknown name 'Y'"},
      {"axiom: A\nignore: [", 2, "bracket"},
      {"axiom: A\nA(x, x) -> B", 2, "twice"},
      {"axiom: A\nB(x) < A(x) -> B", 2, "twice"},
      {"axiom: A\nA B -> C", 2, "one module"},
      {"axiom: A\n-> C", 2, "no predecessor"},
      {"axiom: A\nA ->", 2, "no successor"},
      {"axiom: A\nA", 2, "expected a production"},
      {"axiom: A\n#include x", 2, "unknown directive"},
      {"axiom: A\nA[B] < C -> D", 2, "bracket in a context"},
      {"axiom: A\nA < B < C -> D", 2, "second '<'"},
      {"axiom: A\nA(x) : x ? 1 : 0 -> B", 2, "parentheses"},
      {"axiom: A\nA -> B : 0", 2, "positive"},
      {"axiom: A\nA(x) -> B : x", 2, "constant"},
      {"axiom: A\nA -> B(sin(1, 2))", 2, "one value"},
      {"axiom: A\nA -> B(1 +)", 2, "expected a value"},
      {"axiom: A\nA -> B(foo(1))", 2, "unknown function"},
      {"axiom: A\nA : 1 2 -> B", 2, "unexpected '2'"},
      {"axiom: A\nA -> B(" + std::string(257, '(') + "1" + std::string(257, ')') + ")", 2,
       "deeper than 256"},
      {"axiom: A\nA -> B(" + std::string(257, '-') + "1)", 2, "deeper than 256"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.substr(0, 60));
    try {
      BookSystem system(row.file);
      ADD_FAILURE() << "read without error";
    } catch (const BookFileError& e) {
      EXPECT_EQ(row.line, e.line);
      EXPECT_NE(std::string::npos, std::string(e.what()).find(row.fragment)) << e.what();
    }
  }
  // Nesting of 256 is still read.
  EXPECT_EQ("A(1)",
            grown("axiom: A(" + std::string(256, '(') + "1" + std::string(256, ')') + ")", 0));
}

TEST(BookFile, TheBookFilesGrowAndSaveToTheBit) {
  // The last one's word holds "/*", which must not come back as a comment.
  for (const std::string& text : {readData("signal.lsys"), readData("tree.lsys"),
                                  readData("weighted.lsys"), std::string("axiom: A\nA -> / * A")}) {
    SCOPED_TRACE(text.substr(0, 60));
    const BookSystem system(text);
    ModuleWord word = system.axiom();
    for (int g = 0; g < std::min(system.derivationLength().value_or(3), 6); ++g) {
      system.generate(word, 7, 1u << 20);
    }
    EXPECT_GT(word.size(), system.axiom().size());
    const BookSystem again(system.saveText(word));
    EXPECT_EQ(word, again.axiom());
    EXPECT_EQ(0, again.derivationLength());
    EXPECT_EQ(system.angle(), again.angle());
    ModuleWord next = word;
    system.generate(next, 3, 1u << 20);
    ModuleWord nextAgain = word;
    again.generate(nextAgain, 3, 1u << 20);
    EXPECT_EQ(next, nextAgain);
  }
}

TEST(ModuleWordTest, SliceReplaceAndErase) {
  const BookSystem system("axiom: A(1)B[C(2,3)]D(4)");
  ModuleWord word = system.axiom();
  const ModuleWord branch = word.slice(2, 5);
  EXPECT_EQ("[C(2,3)]", formatWord(branch));
  word.erase(2, 5);
  EXPECT_EQ("A(1)BD(4)", formatWord(word));
  EXPECT_EQ(4, word.firstParameter(2));
  EXPECT_FALSE(word.firstParameter(1));
  word.replace(2, 2, branch);
  EXPECT_EQ(system.axiom(), word);
  word.replace(0, 1, branch);
  EXPECT_EQ("[C(2,3)]B[C(2,3)]D(4)", formatWord(word));
}

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
// The form written where the C++ library has no std::to_chars for doubles is the same.
TEST(ModuleWordTest, ShortestFormAsToChars) {
  std::mt19937_64 random(7);
  std::vector<double> values = {
      0.1,  1e21, 1e-7,  123456789012345680000.0, 5e-324, 0x1p-1022, 1.7976931348623157e308, 0x1p60,
      -0.0, 100,  0.001, 68719476736.015625};
  for (int i = 0; i < 5000; ++i) {
    double v;
    const uint64_t b = random();
    std::memcpy(&v, &b, sizeof v);
    values.push_back(v);
    values.push_back(std::ldexp(1.0, static_cast<int>(b % 2098) - 1074));
    values.push_back(static_cast<double>(b % 100000) / static_cast<double>(b % 999 + 1));
  }
  char mine[32];
  char theirs[32];
  for (double v : values) {
    if (!std::isfinite(v)) continue;
    const std::string got(mine, writeShortest(mine, v));
    const std::string want(theirs, std::to_chars(theirs, theirs + sizeof theirs, v).ptr);
    ASSERT_EQ(want, got) << std::hexfloat << v;
    const auto f = static_cast<float>(v);  // as the SVG writes the turtle's points
    if (!std::isfinite(f)) continue;
    ASSERT_EQ(std::string(theirs, std::to_chars(theirs, theirs + sizeof theirs, f).ptr),
              std::string(mine, writeShortest(mine, f)))
        << std::hexfloat << f;
  }
}
#endif

// Tests of LSystem: grammar reading, rewriting, branch lengths, pruning and printing.
#include "lsystem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "alloc_count.h"
#include "cout_capture.h"
#include "reference.h"
#include "words.h"

namespace {

struct GrammarRow {
  std::string text;
  std::vector<RuleSet> ruleSets;
  std::string word;
};

}  // namespace

TEST(LSystemGrammar, ReadsEveryRowOfTheTable) {
  const std::vector<GrammarRow> rows = {
      {"{o:a[+ao]-ao;}ao", {{{"o", "a[+ao]-ao"}}}, "ao"},
      {"{o:a[+ao]-ao;}{a:aa;}ao", {{{"o", "a[+ao]-ao"}}, {{"a", "aa"}}}, "ao"},
      {"{o:a;o:b;}o", {{{"o", "b"}}}, "o"},
      {"xx{o:a;}ao", {{{"o", "a"}}}, "ao"},
      {"{o:a;}xyz{a:b;}ao", {{{"o", "a"}}, {{"a", "b"}}}, "ao"},
      {"{o:ab}ao", {{{"o", "ab"}}}, "ao"},
      {"{o:ab;p:cd}o", {{{"o", "ab"}, {"p", "cd"}}}, "o"},
      {"{o:a;xy;p:c;}o", {{{"o", "a"}, {"xy;p", "c"}}}, "o"},
      {"{ab;o:cd;}o", {{{"ab;o", "cd;"}, {"o", "cd"}}}, "o"},
      {"{abc}o", {{{"abc", "abc"}}}, "o"},
      {"{o:a:b;}o", {{{"o", "a:b"}}}, "o"},
      {"{ o : ab ;}o", {{{" o ", " ab "}}}, "o"},
      {"{:ab;}o", {{{"", "ab"}}}, "o"},
      {"{o:;}o", {{{"o", ""}}}, "o"},
      {"{}ao", {{{"", ""}}}, "ao"},
      {"{o:a;}{}o", {{{"o", "a"}}, {{"", ""}}}, "o"},
      {"{{o:a;}o", {{{"o", "a"}}}, "o"},
      {"{a{b:c;}o", {{{"b", "c"}}}, "o"},
      {"{o:a;}}x", {{{"o", "a"}}}, "x"},
      {"}{o:a;}x", {{{"o", "a"}}}, "x"},
      {"{o:a;}{b:c;", {{{"o", "a"}}, {{"b", "c"}}}, "{b:c;"},
      {"{o:ab;", {{{"o", "ab"}}}, "{o:ab"},
      {"o:ab;}x", {{{"o", "ab"}}}, "x"},
      {"o:a;}p:b;", {{{"o", "a"}}}, "p:b;"},
      {"ao", {{{"ao", "ao"}}}, "a"},
      {"", {{{"", ""}}}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("grammar \"" + row.text + "\"");
    LSystem l;
    l.parseGrammar(row.text);
    EXPECT_EQ(row.text, l.source);
    EXPECT_EQ(row.ruleSets, l.ruleSets);
    EXPECT_EQ(row.word, l.word);
  }
}

TEST(LSystemGrammar, EveryByteCountsAndNothingIsConverted) {
  const std::string text("{\0:\xff\n;}\t\x80", 9);
  LSystem l(text);
  EXPECT_EQ(text, l.source);
  EXPECT_EQ((std::vector<RuleSet>{{{std::string(1, '\0'), "\xff\n"}}}), l.ruleSets);
  EXPECT_EQ("\t\x80", l.word);
}

TEST(LSystemGrammar, DefaultConstructionIsEmpty) {
  LSystem l;
  EXPECT_EQ("", l.source);
  EXPECT_EQ("", l.word);
  EXPECT_TRUE(l.ruleSets.empty());
}

TEST(LSystemGrammar, OneStepConstructionEqualsEmptyThenParse) {
  LSystem parsed;
  parsed.parseGrammar(kGrammar);
  LSystem direct(kGrammar);
  EXPECT_EQ(parsed.source, direct.source);
  EXPECT_EQ(parsed.word, direct.word);
  EXPECT_EQ(parsed.ruleSets, direct.ruleSets);
  EXPECT_EQ((std::vector<RuleSet>{{{"o", "a[+ao]-ao"}}}), direct.ruleSets);
}

TEST(LSystemGrammar, ParsingAgainAppendsRuleSetsAndReplacesTheRest) {
  LSystem l("{o:a;}x");
  l.parseGrammar("{p:b;}y");
  EXPECT_EQ((std::vector<RuleSet>{{{"o", "a"}}, {{"p", "b"}}}), l.ruleSets);
  EXPECT_EQ("y", l.word);
  EXPECT_EQ("{p:b;}y", l.source);
}

TEST(LSystemGrammar, ParseRuleBlockAppendsExactlyOneSet) {
  LSystem l;
  l.parseRuleBlock("o:a;p:b;");
  l.parseRuleBlock("");
  EXPECT_EQ((std::vector<RuleSet>{{{"o", "a"}, {"p", "b"}}, {{"", ""}}}), l.ruleSets);
}

TEST(LSystemRewrite, ThreeGenerationsFromTheAxiom) {
  LSystem l(kGrammar);
  l.rewriteFrom(0, 0);
  EXPECT_EQ("aa[+ao]-ao", l.word);
  l.rewriteFrom(0, 0);
  EXPECT_EQ("aa[+aa[+ao]-ao]-aa[+ao]-ao", l.word);
  l.rewriteFrom(0, 0);
  EXPECT_EQ(kStartWord, l.word);
  EXPECT_EQ(58, l.wordLength());
}

TEST(LSystemRewrite, StartBeforeAtAndPastTheAxiom) {
  for (int32_t start : {0, 1, -1, INT32_MIN}) {
    LSystem l = lsystemWith("ao");
    l.rewriteFrom(start, 0);
    EXPECT_EQ("aa[+ao]-ao", l.word) << "start " << start;
  }
  for (int32_t start : {2, 3, INT32_MAX}) {
    LSystem l = lsystemWith("ao");
    l.rewriteFrom(start, 0);
    EXPECT_EQ("ao", l.word) << "start " << start;
  }
}

TEST(LSystemRewrite, RewritesOnlyTheRestOfTheBranch) {
  const std::vector<std::pair<int32_t, std::string>> cases = {
      {4, "a[+aa[+ao]-ao]-ao"}, {8, "a[+ao]-aa[+ao]-ao"}, {1, "a[+aa[+ao]-ao]-aa[+ao]-ao"},
      {5, "a[+ao]-ao"},         {9, "a[+ao]-ao"},
  };
  for (const auto& [start, expected] : cases) {
    LSystem l = lsystemWith("a[+ao]-ao");
    l.rewriteFrom(start, 0);
    EXPECT_EQ(expected, l.word) << "start " << start;
  }
}

TEST(LSystemRewrite, FirstBudOfTheStartWord) {
  LSystem l = lsystemWith(kStartWord);
  l.rewriteFrom(13, 0);
  EXPECT_EQ(kGrownAt13, l.word);
  EXPECT_EQ(66, l.wordLength());
}

TEST(LSystemRewrite, UnmatchedCloseEndsTheRegion) {
  LSystem l = lsystemWith("a]o");
  l.rewriteFrom(0, 0);
  EXPECT_EQ("a]o", l.word);
}

TEST(LSystemRewrite, ManyOpensAfterTheBranchEndNeverReopenIt) {
  LSystem l = lsystemWith("o]" + std::string(3000, '[') + "o");
  l.rewriteFrom(0, 0);
  EXPECT_EQ("a[+ao]-ao]" + std::string(3000, '[') + "o", l.word);
}

TEST(LSystemRewrite, BracketRulesRewriteNestedBracketsOnly) {
  LSystem l("{[:(;]:);o:x;}[a[o]o]b");
  l.rewriteFrom(1, 0);
  EXPECT_EQ("[a(x)x]b", l.word);
}

TEST(LSystemRewrite, ReplacementTextIsNotScannedAgain) {
  LSystem l("{o:]o;}oo");
  l.rewriteFrom(0, 0);
  EXPECT_EQ("]o]o", l.word);
}

TEST(LSystemRewrite, EmptyReplacementDeletesInTheRegionOnly) {
  LSystem l("{b:;}b[bab]bab");
  l.rewriteFrom(2, 0);
  EXPECT_EQ("b[a]bab", l.word);
}

TEST(LSystemRewrite, OnlyOneByteKeysMatch) {
  LSystem l("{ab:x;:y;a:z;}ab");
  l.rewriteFrom(0, 0);
  EXPECT_EQ("zb", l.word);
}

TEST(LSystemRewrite, UsesTheRuleSetNamedByIndex) {
  LSystem l("{o:x;}{o:y;}oo");
  l.rewriteFrom(0, 1);
  EXPECT_EQ("yy", l.word);
}

TEST(LSystemRewrite, RuleSetIndexNamingNoSetCopiesTheWord) {
  for (int32_t ruleSetIndex : {1, 2, -1, INT32_MIN, INT32_MAX}) {
    LSystem l = lsystemWith("ao");
    l.rewriteFrom(0, ruleSetIndex);
    EXPECT_EQ("ao", l.word) << "rule set " << ruleSetIndex;
  }
  LSystem neverParsed;
  neverParsed.word = "ao";
  neverParsed.rewriteFrom(0, 0);
  EXPECT_EQ("ao", neverParsed.word);
}

TEST(LSystemRewrite, AllocatesOnlyTheResultNotPerSymbol) {
  LSystem l(kGrammar);
  for (int i = 0; i < 14; ++i) l.rewriteFrom(0, 0);
  ASSERT_EQ(131066, l.wordLength());
  const auto before = alloc_count::total();
  l.rewriteFrom(0, 0);
  EXPECT_LE(alloc_count::total() - before, 2u);
  EXPECT_EQ(262138, l.wordLength());
}

TEST(LSystemRewrite, AResultPastTheLengthLimitIsRefusedAndTheWordKept) {
  LSystem l = lsystemWith(kStartWord);
  l.maxWordLength = 66;
  l.rewriteFrom(13, 0);  // exactly at the limit
  EXPECT_EQ(kGrownAt13, l.word);
  l.maxWordLength = 73;
  EXPECT_THROW(l.rewriteFrom(13, 0), WordLimitError);  // 74 symbols
  EXPECT_EQ(kGrownAt13, l.word);
  l.rewriteFrom(1000, 0);  // an empty region changes nothing, so nothing is refused
  EXPECT_EQ(kGrownAt13, l.word);

  // A three-billion-symbol result is refused before its memory is asked for.
  LSystem huge("{o:" + std::string(3'000'000, 'o') + ";}" + std::string(1000, 'o'));
  const auto before = alloc_count::total();
  try {
    huge.rewriteFrom(0, 0);
    ADD_FAILURE() << "no WordLimitError";
  } catch (const WordLimitError& error) {
    EXPECT_STREQ("the word would be longer than 2147483647 symbols", error.what());
  }
  EXPECT_LE(alloc_count::total() - before, 4u) << "more than the message's own strings";
  EXPECT_EQ(std::string(1000, 'o'), huge.word);
}

TEST(LSystemRewrite, EmptyWordStaysEmpty) {
  LSystem l = lsystemWith("");
  l.rewriteFrom(0, 0);
  EXPECT_EQ("", l.word);
}

TEST(LSystemBranch, LengthsAlongABranchedWord) {
  LSystem l = lsystemWith("a[+ao]-ao");
  const std::vector<int32_t> expected = {9, 8, 4, 3, 2, 1, 3, 2, 1, 0};
  for (int32_t pos = 0; pos < 10; ++pos) {
    EXPECT_EQ(expected[static_cast<size_t>(pos)], l.branchLength(pos)) << "pos " << pos;
  }
  EXPECT_EQ(0, l.branchLength(10));
  EXPECT_EQ(0, l.branchLength(-1));
  EXPECT_EQ(0, l.branchLength(INT32_MIN));
  EXPECT_EQ(9, l.wordLength());
}

TEST(LSystemBranch, UnbalancedWordIsMeasuredWholeFromZero) {
  LSystem l = lsystemWith("a]o");
  EXPECT_EQ(3, l.branchLength(0));
  EXPECT_EQ(1, l.branchLength(1));
}

TEST(LSystemPrune, EveryPositionOfABranchedWord) {
  const std::vector<std::pair<int32_t, std::string>> cases = {
      {1, "ao"},      {2, "a[]-ao"},   {3, "a[+]-ao"},   {4, "a[+a]-ao"}, {5, "a[+ao]-ao"},
      {6, "a[+ao]o"}, {7, "a[+ao]-o"}, {8, "a[+ao]-ao"}, {0, "o"},        {9, "a[+ao]-ao"},
  };
  for (const auto& [pos, expected] : cases) {
    LSystem l = lsystemWith("a[+ao]-ao");
    l.pruneAt(pos);
    EXPECT_EQ(expected, l.word) << "pos " << pos;
  }
}

TEST(LSystemPrune, PastTheEndRaisesOutOfRangeAndKeepsTheWord) {
  for (int32_t pos : {10, 11, -1, INT32_MIN, INT32_MAX}) {
    LSystem l = lsystemWith("a[+ao]-ao");
    EXPECT_THROW(l.pruneAt(pos), std::out_of_range) << "pos " << pos;
    EXPECT_EQ("a[+ao]-ao", l.word) << "pos " << pos;
  }
}

TEST(LSystemPrune, TheLastSymbolOfTheMainAxisStays) {
  LSystem l = lsystemWith("ao");
  l.pruneAt(1);
  EXPECT_EQ("ao", l.word);
  l.pruneAt(0);
  EXPECT_EQ("o", l.word);
}

TEST(LSystemPrune, OnTheStartWord) {
  LSystem l = lsystemWith(kStartWord);
  l.pruneAt(12);
  EXPECT_EQ("aa[+aa[+aa[+]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao", l.word);
  l.word = kStartWord;
  l.pruneAt(1);
  EXPECT_EQ("ao", l.word);
}

TEST(LSystemPrune, UnbalancedAndEmptyWords) {
  LSystem unbalanced = lsystemWith("a]o");
  unbalanced.pruneAt(0);
  EXPECT_EQ("o", unbalanced.word);
  LSystem empty = lsystemWith("");
  empty.pruneAt(0);
  EXPECT_EQ("", empty.word);
  EXPECT_EQ(0, empty.wordLength());
}

TEST(LSystemAccess, SymbolAtInAndOutOfRange) {
  LSystem l = lsystemWith("ao");
  EXPECT_EQ('a', l.symbolAt(0));
  EXPECT_EQ('o', l.symbolAt(1));
  EXPECT_EQ('\0', l.symbolAt(2));
  EXPECT_EQ('\0', l.symbolAt(-1));
  EXPECT_EQ('\0', l.symbolAt(INT32_MIN));
  EXPECT_EQ('\0', lsystemWith("").symbolAt(0));
}

TEST(LSystemAccess, GetWordIsACopy) {
  LSystem l = lsystemWith("ao");
  std::string copy = l.getWord();
  copy[0] = 'x';
  EXPECT_EQ("ao", l.word);
}

TEST(LSystemOutput, PrintWordWritesTheWordOneLineEndAndFlushes) {
  LSystem l = lsystemWith(kStartWord);
  CoutCapture capture;
  l.printWord();
  EXPECT_EQ(kStartWord + "\n", capture.str());
  EXPECT_GE(capture.flushes, 1);
}

TEST(LSystemOutput, EmptyWordPrintsAnEmptyLine) {
  LSystem l = lsystemWith("");
  CoutCapture capture;
  l.printWord();
  EXPECT_EQ("\n", capture.str());
}

TEST(LSystemOutput, OnlyPrintWordWrites) {
  CoutCapture capture;
  LSystem l(kGrammar);
  l.parseGrammar("{{o:a;}}x");
  l.rewriteFrom(0, 0);
  l.rewriteFrom(0, 7);
  l.pruneAt(0);
  EXPECT_THROW(l.pruneAt(5), std::out_of_range);
  l.branchLength(0);
  l.symbolAt(3);
  l.getWord();
  EXPECT_EQ("", capture.str());
  EXPECT_EQ(0, capture.flushes);
}

TEST(LSystemRobustness, EveryTwoAndThreeByteGrammarOfSpecialBytes) {
  // The parser's positions wrap in many ways; every short text of its special bytes must parse
  // and end, with at least one non-empty rule set and the axiom after the last "}".
  const std::string alphabet = "{}:;ox";
  std::vector<std::string> texts;
  for (char a : alphabet) {
    for (char b : alphabet) {
      texts.push_back({a, b});
      for (char c : alphabet) texts.push_back({a, b, c});
    }
  }
  for (const auto& text : texts) {
    SCOPED_TRACE("grammar \"" + text + "\"");
    LSystem l(text);
    ASSERT_FALSE(l.ruleSets.empty());
    for (const auto& set : l.ruleSets) EXPECT_FALSE(set.empty());
    const auto close = text.rfind('}');
    EXPECT_EQ(close == std::string::npos ? text.substr(0, text.size() - 1) : text.substr(close + 1),
              l.word);
  }
}

TEST(LSystemRewrite, AgreesWithAPlainPassOnRandomWordsAndRules) {
  // Replacements of 0 to 40 bytes, so both the short-block and the general copy are taken,
  // with rules for brackets too, and starts before, inside and past each word.
  std::mt19937 random(2024);
  const std::string alphabet = "[[]]ao+-xo";
  LSystem l;  // one for all trials, each pushing its rule set, which the rewrites must see
  for (int trial = 0; trial < 400; ++trial) {
    std::string word;
    const auto length = random() % 300;
    for (std::size_t i = 0; i < length; ++i) word.push_back(alphabet[random() % alphabet.size()]);
    RuleSet rules;
    const auto longest = trial % 2 == 0 ? 16u : 40u;
    for (const char* key : {"o", "a", "[", "]", "x", "oa", ""}) {
      if (random() % 3 == 0) continue;
      std::string replacement;
      const auto n = random() % (longest + 1);
      for (std::size_t i = 0; i < n; ++i) {
        replacement.push_back(alphabet[random() % alphabet.size()]);
      }
      rules[key] = replacement;
    }
    l.ruleSets.push_back(rules);
    l.word = word;
    const auto start = static_cast<int32_t>(random() % (length + 3)) - 1;
    SCOPED_TRACE("word \"" + word + "\" start " + std::to_string(start));
    l.rewriteFrom(start, trial);
    ASSERT_EQ(referenceRewrite(word, start, rules), l.word);
  }
}

namespace {

// Calls call(object) on a fresh object with its nth allocation failing, for n = 1, 2, ...
// until a call runs through; check(object) follows every call that failed. Gives the number
// of calls that failed.
template <class Make, class Call, class Check>
std::size_t failEachAllocationInTurn(Make make, Call call, Check check) {
  for (std::size_t n = 1;; ++n) {
    auto object = make();
    bool failed = false;
    alloc_count::failAt(n);
    try {
      call(object);
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    alloc_count::failAt(0);
    if (!failed) return n - 1;
    SCOPED_TRACE("allocation " + std::to_string(n) + " failed");
    check(object);
  }
}

}  // namespace

TEST(LSystemAllocationFailure, RewriteLeavesTheWordAsItWas) {
  // Short and long replacements take different copies; both build the result aside.
  for (const std::string& grammar : {kGrammar, "{o:" + std::string(40, 'a') + ";}ao"}) {
    for (int32_t start : {0, 13}) {
      const std::size_t failures = failEachAllocationInTurn(
          [&] {
            LSystem l(grammar);
            l.word = kStartWord;
            return l;
          },
          [start](LSystem& l) { l.rewriteFrom(start, 0); },
          [](const LSystem& l) { EXPECT_EQ(kStartWord, l.word); });
      EXPECT_GE(failures, 1u) << "no allocation was made to fail";
    }
  }
}

TEST(LSystemAllocationFailure, ParseKeepsTheOldWordAndAppendsWholeRuleSetsOnly) {
  // Every string but x:z's longer than the small-string buffer, so that each one allocates.
  const std::string before = "{first-key:first-replacement;}old-axiom-text";
  const std::string text =
      "{x:z;key-number-one:replacement-number-one;key-number-two:replacement-number-two;}"
      "{another-long-key:another-long-replacement;}{x:y;}new-axiom-text";
  LSystem whole(before);
  const std::vector<RuleSet> oldSets = whole.ruleSets;
  whole.parseGrammar(text);
  ASSERT_EQ(oldSets.size() + 3, whole.ruleSets.size());

  const std::size_t failures = failEachAllocationInTurn(
      [&] { return LSystem(before); }, [&](LSystem& l) { l.parseGrammar(text); },
      [&](const LSystem& l) {
        EXPECT_TRUE(l.source == before || l.source == text) << l.source;
        ASSERT_GE(l.ruleSets.size(), oldSets.size());
        ASSERT_LE(l.ruleSets.size(), whole.ruleSets.size());
        for (std::size_t i = 0; i < l.ruleSets.size(); ++i) {
          EXPECT_EQ(whole.ruleSets[i], l.ruleSets[i]) << "rule set " << i;
        }
        EXPECT_EQ("old-axiom-text", l.word);
        LSystem after = l;  // a set appended after a stochastic rewrite holds its own rules only
        after.rewriteStochastic(0, 0);
        after.parseRuleBlock("q:rq;");
        after.word = "xq";
        after.rewriteFrom(0, static_cast<int32_t>(after.ruleSets.size() - 1));
        after.rewriteStochastic(1, 0);
        EXPECT_EQ("xrrq", after.word);
      });
  EXPECT_GE(failures, 10u);
}

TEST(LSystemMix, IsSplitmix64sFinalizerOfTheThreeMixedIn) {
  // A splitmix64 generator's k-th output is the finalizer of its state plus k times its
  // increment; these are its published outputs from the states 0 and 1234567.
  EXPECT_EQ(0xe220a8397b1dcdafu, mix(0, 1, 0));
  EXPECT_EQ(0x6e789e6aa1b965f4u, mix(0, 2, 0));
  EXPECT_EQ(0x06c45d188009454fu, mix(0, 3, 0));
  EXPECT_EQ(6457827717110365317u, mix(1234567 + 0x9E3779B97F4A7C15u, 0, 0));
  EXPECT_EQ(0u, mix(0, 0, 0));  // every step of the finalizer keeps zero
  // The seed, the length and the index are combined by exclusive or before the finalizer.
  const uint64_t seed = 0x0123456789abcdefu;
  EXPECT_EQ(mix(seed ^ 0x9E3779B97F4A7C15u * 5 ^ 0xC2B2AE3D27D4EB4Fu * 9, 0, 0), mix(seed, 5, 9));
  EXPECT_EQ(mix(0, 0, 1), mix(0xC2B2AE3D27D4EB4Fu, 0, 0));
}

TEST(LSystemStochastic, WithOneRuleSetItIsTheFirstRuleSetsRewrite) {
  for (const std::string& grammar : {kGrammar, std::string("{o:[o]ao;a:aa;]:];}a[o]o")}) {
    for (int32_t start : {INT32_MIN, -1, 0, 1, 4, 13, 21, 57, 58, 1000}) {
      for (uint64_t seed : {uint64_t{0}, uint64_t{1}, UINT64_MAX}) {
        LSystem expected(grammar);
        for (int i = 0; i < 3; ++i) expected.rewriteFrom(0, 0);
        LSystem stochastic = expected;
        expected.rewriteFrom(start, 0);
        stochastic.rewriteStochastic(start, seed);
        EXPECT_EQ(expected.word, stochastic.word) << grammar << " start " << start;
      }
    }
  }
}

TEST(LSystemStochastic, EachSymbolChoosesAmongTheRuleSetsByMix) {
  // 'o' has three candidates (the two-byte key counts for nothing), 'a' one, '[' and ']' none.
  const std::string grammar = "{o:x;}{oo:q;a:A;}{o:y;}{o:zz;}";
  const std::string word = "oa[oo]o";  // 7 symbols; the branch from 3 ends at 5
  const std::string options[] = {"x", "y", "zz"};
  std::vector<int> seen(3);
  for (uint64_t seed = 0; seed < 32; ++seed) {
    const auto o = [&](uint64_t i) { return options[mix(seed, 7, i) % 3]; };
    ++seen[mix(seed, 7, 3) % 3];
    LSystem whole(grammar + word);
    whole.rewriteStochastic(0, seed);
    EXPECT_EQ(o(0) + "A[" + o(3) + o(4) + "]" + o(6), whole.word) << seed;
    LSystem branch(grammar + word);
    branch.rewriteStochastic(3, seed);
    EXPECT_EQ("oa[" + o(3) + o(4) + "]o", branch.word) << seed;
  }
  EXPECT_GT(seen[0] * seen[1] * seen[2], 0) << "some candidate was never chosen";
}

TEST(LSystemStochastic, AResultPastTheLimitIsRefusedAndTheWordKept) {
  // 'o' doubles or vanishes by the seed; the result's length is counted from the choices.
  const std::string word(40, 'o');
  for (uint64_t seed : {uint64_t{3}, uint64_t{77}}) {
    int32_t length = 0;
    for (uint64_t i = 0; i < word.size(); ++i) length += mix(seed, 40, i) % 2 == 0 ? 2 : 0;
    LSystem l("{o:oo;}{o:;}" + word);
    l.maxWordLength = length - 1;
    EXPECT_THROW(l.rewriteStochastic(0, seed), WordLimitError);
    EXPECT_EQ(word, l.word);
    l.maxWordLength = length;
    l.rewriteStochastic(0, seed);
    EXPECT_EQ(static_cast<std::size_t>(length), l.word.size());
  }
  // A three-billion-symbol result is refused before its memory is asked for: the refusal asks
  // no more than that of a result short enough for the string's own buffer.
  const auto allocationsOfRefusal = [](LSystem& l) {
    const auto before = alloc_count::total();
    EXPECT_THROW(l.rewriteStochastic(0, 5), WordLimitError);
    return alloc_count::total() - before;
  };
  LSystem tiny("{o:oo;}{o:ooo;}oooo");
  tiny.maxWordLength = 7;
  LSystem huge("{o:" + std::string(3'000'000, 'o') + ";}{o:" + std::string(3'000'000, 'o') + ";}" +
               std::string(1000, 'o'));
  huge.maxWordLength = 7;
  EXPECT_EQ(allocationsOfRefusal(tiny), allocationsOfRefusal(huge));
  EXPECT_EQ(std::string(1000, 'o'), huge.word);
}

// LSystem: grammar reading, one-generation rewriting, pruning and printing.
#include "lsystem.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iostream>
#include <utility>

#include "book.h"
#include "module_word.h"

namespace {

constexpr auto npos = std::string::npos;

// How a symbol changes the bracket depth: +1 for "[", -1 for "]", 0 for all others.
constexpr std::array<int8_t, 256> kDepthChange = [] {
  std::array<int8_t, 256> change{};
  change['['] = 1;
  change[']'] = -1;
  return change;
}();

// Position of the first "]" at or after pos that closes a branch opened before pos,
// or npos when the word has none (pos on the main axis of a balanced word).
// The depth only falls at a "]", so testing it after every symbol finds that "]" without a
// branch on each bracket, which a word's mix of brackets would mispredict.
std::string::size_type branchEnd(const std::string& word, std::string::size_type pos) {
  const auto* data = reinterpret_cast<const unsigned char*>(word.data());
  int64_t depth = 0;
  for (auto i = pos; i < word.size(); ++i) {
    depth += kDepthChange[data[i]];
    if (depth < 0) return i;
  }
  return npos;
}

// One scan finds the end of the region from begin, its branch end or the word's end, and the
// length of the region's replacement, counted in 64 bits so that it cannot wrap where size_type
// has 32. As in branchEnd, the depth is tested after every symbol, not at each bracket. Kept out
// of line: inlined in rewriteFrom, GCC 12 spends one more instruction on each symbol.
__attribute__((noinline)) std::string::size_type scanRegion(
    const unsigned char* data, std::string::size_type begin, std::string::size_type length,
    const std::array<std::string::size_type, 256>& outLength, uint64_t& regionOut) {
  uint64_t out = 0;
  std::string::size_type end = begin;
  for (int64_t depth = 0; end < length; ++end) {
    const unsigned char c = data[end];
    depth += kDepthChange[c];
    if (depth < 0) break;
    out += outLength[c];
  }
  regionOut = out;
  return end;
}

// Writes the replacements of data[begin, end) at out. Short replacements are written as one
// kBlock-byte block per symbol, the output advancing by the replacement's length: out has room
// for kBlock bytes past the region, which the caller cuts off.
constexpr std::string::size_type kBlock = 16;
void writeRegion(const unsigned char* data, std::string::size_type begin,
                 std::string::size_type end, const std::array<const std::string*, 256>& replacement,
                 const std::array<std::string::size_type, 256>& outLength,
                 std::string::size_type longest, char* out) {
  if (longest <= kBlock) {
    std::array<std::array<char, kBlock>, 256> block{};
    for (std::size_t c = 0; c < 256; ++c) {
      if (replacement[c] != nullptr) {
        std::memcpy(block[c].data(), replacement[c]->data(), replacement[c]->size());
      } else {
        block[c][0] = static_cast<char>(c);
      }
    }
    for (auto i = begin; i < end; ++i) {
      std::memcpy(out, block[data[i]].data(), kBlock);
      out += outLength[data[i]];
    }
    return;
  }
  for (auto i = begin; i < end; ++i) {
    if (const std::string* r = replacement[data[i]]) {
      std::memcpy(out, r->data(), r->size());
      out += r->size();
    } else {
      *out++ = static_cast<char>(data[i]);
    }
  }
}

}  // namespace

LSystem::LSystem(std::string grammar) { parseGrammar(std::move(grammar)); }

void LSystem::parseGrammar(std::string grammar) {
  source = grammar;
  // All positions are unsigned and wrap: a failed search gives npos, and npos + 1 is 0.
  std::string::size_type openPos = 0;
  std::string::size_type closePos = 0;
  do {
    openPos = grammar.find('{', closePos);
    closePos = grammar.find('}', openPos);
    std::string tmpRulezStr = grammar.substr(openPos + 1, closePos - openPos - 1);
    parseRuleBlock(tmpRulezStr);
  } while (grammar.find('{', closePos) < grammar.size());
  // The axiom follows the last "}". The count is length - 1, so without any "}" the axiom
  // starts at 0 and loses the text's last byte.
  word = grammar.substr(grammar.rfind('}') + 1, grammar.size() - 1);
}

void LSystem::parseRuleBlock(std::string block) {
  RuleSet tmpRuleMap;
  // All three searches start at 0: a first ";" before the first ":" wraps the first count.
  std::string::size_type delimPos = block.find('{');
  std::string::size_type colonPos = block.find(':');
  std::string::size_type semiPos = block.find(';');
  const std::string::size_type closePos = block.find('}');
  do {
    std::string replacement = block.substr(colonPos + 1, semiPos - colonPos - 1);
    std::string tmpKey = block.substr(delimPos + 1, colonPos - delimPos - 1);
    tmpRuleMap[tmpKey] = replacement;
    delimPos = semiPos;
    colonPos = block.find(':', delimPos);
    semiPos = block.find(';', colonPos);
  } while (colonPos < closePos);

  // The set's one-byte rules join the tables, unless those are out of date already; a failure
  // takes them out again, so that the tables always describe their first tables_.sets sets.
  const bool current = tables_.sets == ruleSets.size();
  const std::size_t oldRules = tables_.rules.size();
  try {
    if (current) {
      for (const auto& [key, value] : tmpRuleMap) {
        if (key.size() == 1) tables_.rules.push_back({static_cast<unsigned char>(key[0]), value});
      }
      tables_.setEnd.push_back(tables_.rules.size());
    }
    ruleSets.push_back(std::move(tmpRuleMap));
  } catch (...) {
    if (current) {
      tables_.rules.erase(tables_.rules.begin() + static_cast<std::ptrdiff_t>(oldRules),
                          tables_.rules.end());
      tables_.setEnd.resize(tables_.sets);
    }
    throw;
  }
  if (current) ++tables_.sets;
  tables_.candidatesMade = false;
}

const LSystem::RuleTables& LSystem::ruleTables() {
  if (tables_.sets == ruleSets.size()) return tables_;
  RuleTables tables;
  tables.setEnd.reserve(ruleSets.size());
  for (const RuleSet& rules : ruleSets) {
    for (const auto& [key, value] : rules) {
      if (key.size() == 1) tables.rules.push_back({static_cast<unsigned char>(key[0]), value});
    }
    tables.setEnd.push_back(tables.rules.size());
  }
  tables.sets = ruleSets.size();
  tables_ = std::move(tables);
  return tables_;
}

const LSystem::RuleTables& LSystem::stochasticTables() {
  ruleTables();
  if (tables_.candidatesMade) return tables_;
  // The rules sorted by key by counting, which keeps the sets' order among each key's rules.
  std::array<std::size_t, 257> begin{};
  for (const ByteRule& rule : tables_.rules) ++begin[rule.key + 1u];
  for (std::size_t c = 0; c < 256; ++c) begin[c + 1] += begin[c];
  std::array<std::size_t, 257> next = begin;
  std::vector<std::size_t> candidates(tables_.rules.size());
  for (std::size_t r = 0; r < tables_.rules.size(); ++r) {
    candidates[next[tables_.rules[r].key]++] = r;
  }
  tables_.candidates = std::move(candidates);
  tables_.candidateBegin = begin;
  tables_.candidatesMade = true;
  return tables_;
}

void LSystem::rewriteFrom(int32_t start, int32_t ruleSetIndex) {
  const std::string::size_type length = word.size();
  // Symbols before start are copied; so are the branch end of start and all after it.
  const std::string::size_type regionBegin =
      start <= 0 ? 0 : std::min<std::string::size_type>(static_cast<uint32_t>(start), length);
  if (regionBegin == length || static_cast<uint32_t>(ruleSetIndex) >= ruleSets.size()) {
    return;  // empty region, or no such rule set: nothing would change
  }

  // One-byte keys are the only ones that can match, so a 256-entry table replaces the map.
  const RuleTables& tables = ruleTables();
  const auto set = static_cast<uint32_t>(ruleSetIndex);
  std::array<const std::string*, 256> replacement{};
  std::array<std::string::size_type, 256> outLength;
  outLength.fill(1);
  std::string::size_type longest = 1;
  for (auto r = set == 0 ? 0 : tables.setEnd[set - 1]; r < tables.setEnd[set]; ++r) {
    const ByteRule& rule = tables.rules[r];
    replacement[rule.key] = &rule.replacement;
    outLength[rule.key] = rule.replacement.size();
    longest = std::max(longest, rule.replacement.size());
  }

  const auto* data = reinterpret_cast<const unsigned char*>(word.data());
  uint64_t regionOut = 0;
  const std::string::size_type regionEnd =
      scanRegion(data, regionBegin, length, outLength, regionOut);
  if (regionEnd == regionBegin) return;
  const uint64_t counted = length - (regionEnd - regionBegin) + regionOut;
  refuseLongerThanLimit(counted);
  const auto resultLength = static_cast<std::string::size_type>(counted);

  // The prefix and the tail are appended, so only the rewritten region is first zero-filled.
  const std::string::size_type tailLength = length - regionEnd;
  std::string rewritten;
  rewritten.reserve(resultLength + kBlock);
  rewritten.append(word, 0, regionBegin);
  rewritten.resize(resultLength - tailLength + kBlock);
  writeRegion(data, regionBegin, regionEnd, replacement, outLength, longest,
              rewritten.data() + regionBegin);
  rewritten.resize(resultLength - tailLength);
  rewritten.append(word, regionEnd, tailLength);
  word = std::move(rewritten);
}

void LSystem::rewriteStochastic(int32_t start, uint64_t seed) {
  const std::string::size_type length = word.size();
  const std::string::size_type regionBegin =
      start <= 0 ? 0 : std::min<std::string::size_type>(static_cast<uint32_t>(start), length);
  if (regionBegin == length) return;
  const auto end = branchEnd(word, regionBegin);
  const std::string::size_type regionEnd = end == npos ? length : end;

  // Every byte's candidates: the replacement of each rule set that has a one-byte rule for it.
  const RuleTables& tables = stochasticTables();
  const auto* data = reinterpret_cast<const unsigned char*>(word.data());
  const auto choice = [&](std::string::size_type i) -> const std::string* {
    const std::size_t first = tables.candidateBegin[data[i]];
    const std::size_t count = tables.candidateBegin[data[i] + 1u] - first;
    switch (count) {
      case 0:
        return nullptr;
      case 1:
        return &tables.rules[tables.candidates[first]].replacement;
      default:
        return &tables.rules[tables.candidates[first + mix(seed, length, i) % count]].replacement;
    }
  };

  // Counted first, in 64 bits, so that a refused result is never allocated.
  uint64_t counted = length - (regionEnd - regionBegin);
  for (auto i = regionBegin; i < regionEnd; ++i) {
    const std::string* r = choice(i);
    counted += r != nullptr ? r->size() : 1;
  }
  refuseLongerThanLimit(counted);
  std::string rewritten;
  rewritten.reserve(static_cast<std::string::size_type>(counted));
  rewritten.append(word, 0, regionBegin);
  for (auto i = regionBegin; i < regionEnd; ++i) {
    if (const std::string* r = choice(i)) {
      rewritten += *r;
    } else {
      rewritten += static_cast<char>(data[i]);
    }
  }
  rewritten.append(word, regionEnd, npos);
  word = std::move(rewritten);
}

void LSystem::refuseLongerThanLimit(uint64_t length) const {
  if (length > static_cast<uint64_t>(maxWordLength)) {
    throw WordLimitError("the word would be longer than " + std::to_string(maxWordLength) +
                         " symbols");
  }
}

int32_t LSystem::branchLength(int32_t pos) const {
  if (pos == 0) return wordLength();
  const auto p = static_cast<uint32_t>(pos);  // a negative pos lies past the end
  if (p >= word.size()) return 0;
  const auto end = branchEnd(word, p);
  return static_cast<int32_t>((end == npos ? word.size() : end + 1) - p);
}

void LSystem::pruneAt(int32_t pos) {
  // The count is unsigned 32-bit: a branch length of 0 erases "up to the end".
  const auto count = static_cast<uint32_t>(branchLength(pos) - 1);
  // A negative pos converts to a huge position, so erase raises std::out_of_range.
  if (!book) {
    word.erase(static_cast<std::string::size_type>(pos), count);
    return;
  }
  if (static_cast<uint32_t>(pos) > word.size()) throw std::out_of_range("LSystem::pruneAt");
  const auto begin = static_cast<std::size_t>(pos);
  const std::size_t end = count >= word.size() - begin ? word.size() : begin + count;
  editModules([&](ModuleWord& w) { w.erase(begin, end); });
}

void LSystem::printWord() const {
  if (!book) {
    std::cout << word << std::endl;
    return;
  }
  std::cout << printedWord() << std::endl;
}

std::string LSystem::printedWord() const {
  if (!book) return word;
  std::string out;
  appendModules(out, word, offsets.data(), values.data(), 0, word.size());
  return out;
}

template <class Edit>
void LSystem::editModules(Edit&& edit) {
  ModuleWord w{std::move(word), std::move(offsets), std::move(values)};
  struct TakeBack {
    LSystem& system;
    ModuleWord& w;
    ~TakeBack() {
      system.word = std::move(w.symbols);
      system.offsets = std::move(w.offsets);
      system.values = std::move(w.values);
    }
  } takeBack{*this, w};
  edit(w);
}

void LSystem::setBook(std::shared_ptr<const BookSystem> system) {
  const ModuleWord& axiom = system->axiom();
  word = axiom.symbols;
  offsets = axiom.offsets;
  values = axiom.values;
  book = std::move(system);
}

void LSystem::growBook(int32_t start, uint64_t seed) {
  const std::size_t begin = start <= 0 ? 0 : static_cast<std::size_t>(start);
  editModules([&](ModuleWord& w) {
    book->generateFrom(w, begin, seed, static_cast<uint64_t>(maxWordLength));
  });
}

ModuleWord LSystem::modulesIn(std::size_t begin, std::size_t end) const {
  return sliceModules(word, offsets.data(), values.data(), begin, end);
}

bool LSystem::sameModules(std::size_t at, const ModuleWord& other) const {
  const std::size_t n = other.size();
  if (at + n > word.size() || word.compare(at, n, other.symbols) != 0) return false;
  for (std::size_t k = 0; k <= n; ++k) {
    if (offsets[at + k] - offsets[at] != other.offsets[k]) return false;
  }
  return other.values.empty() || std::memcmp(values.data() + offsets[at], other.values.data(),
                                             other.values.size() * sizeof(double)) == 0;
}

void LSystem::replaceModules(std::size_t begin, std::size_t end, const ModuleWord& with) {
  editModules([&](ModuleWord& w) { w.replace(begin, end, with); });
}

// The word operations computed the plain way, symbol by symbol, to check the fast ones against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lsystem.h"

// One generation from start: a map search per one-symbol string, brackets before start not
// counted, the depth pinned at -1000000 once it drops below zero. Nothing once the result would
// pass `cap` symbols.
inline std::optional<std::string> referenceRewrite(const std::string& word, int32_t start,
                                                   const RuleSet& rules,
                                                   std::size_t cap = std::string::npos) {
  std::string result;
  int32_t depth = 0;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const std::string symbol(1, word[i]);
    if (static_cast<int64_t>(i) < start) {
      result += symbol;
    } else {
      if (symbol == "[") {
        ++depth;
      } else if (symbol == "]") {
        --depth;
      }
      if (depth < 0) depth = -1000000;
      const auto entry = rules.find(symbol);
      result += depth < 0 || entry == rules.end() ? symbol : entry->second;
    }
    if (result.size() > cap) return std::nullopt;
  }
  return result;
}

// The first "]" at or after pos that takes the bracket count below zero, or npos.
inline std::size_t referenceBranchEnd(const std::string& word, std::size_t pos) {
  long depth = 0;
  for (std::size_t i = pos; i < word.size(); ++i) {
    if (word[i] == '[') ++depth;
    if (word[i] == ']' && --depth < 0) return i;
  }
  return std::string::npos;
}

// The branch length counted step by step; positions wrap as unsigned 32-bit values.
inline int32_t referenceBranchLength(const std::string& word, int32_t pos) {
  if (pos == 0) return static_cast<int32_t>(word.size());
  int32_t depth = 0;
  uint32_t count = 0;
  while (depth >= 0) {
    const uint32_t at = static_cast<uint32_t>(pos) + count;
    if (at >= word.size()) break;
    if (word[at] == '[') ++depth;
    if (word[at] == ']') --depth;
    ++count;
  }
  return static_cast<int32_t>(count);
}

// Helpers shared by the fuzz targets: an input reader, a hard check, and literal models.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lsystem.h"

// Ends the run as a crash, so libFuzzer keeps the input that broke the property.
#define FUZZ_CHECK(cond)                                                            \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

// Reads the fuzzer's bytes front to back; past the end every read gives zeros or nothing.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }
  uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int8_t signedByte() { return static_cast<int8_t>(byte()); }
  uint16_t u16() {
    const auto lo = byte();
    return static_cast<uint16_t>(lo | byte() << 8);
  }
  int32_t i32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{byte()} << (8 * i);
    return static_cast<int32_t>(v);
  }
  std::string bytes(size_t n) {
    if (n > size_ - pos_) n = size_ - pos_;
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Words stay below this many symbols, so a run is not spent on copying giant words.
constexpr size_t kWordCap = 1 << 12;

// The first "]" at or after pos that takes the bracket count below zero, or npos.
inline size_t modelBranchEnd(const std::string& word, size_t pos) {
  long depth = 0;
  for (size_t i = pos; i < word.size(); ++i) {
    if (word[i] == '[') ++depth;
    if (word[i] == ']' && --depth < 0) return i;
  }
  return std::string::npos;
}

// The word one rewrite would give, computed symbol by symbol with the map lookups and the
// depth pinned at -1000000 once it drops below zero. Gives false when the result would pass
// kWordCap.
inline bool modelRewrite(const LSystem& l, int32_t start, int32_t ruleSetIndex,
                         std::string& result) {
  const RuleSet empty;
  const bool known = ruleSetIndex >= 0 && static_cast<size_t>(ruleSetIndex) < l.ruleSets.size();
  const RuleSet& rules = known ? l.ruleSets[static_cast<size_t>(ruleSetIndex)] : empty;
  result.clear();
  int32_t depth = 0;
  for (uint32_t i = 0; i < l.word.size(); ++i) {
    const std::string symbol(1, l.word[i]);
    if (static_cast<int64_t>(i) < start) {
      result += symbol;
      continue;
    }
    if (symbol == "[") ++depth;
    if (symbol == "]") --depth;
    if (depth < 0) depth = -1000000;
    const auto it = depth < 0 ? rules.end() : rules.find(symbol);
    result += it == rules.end() ? symbol : it->second;
    if (result.size() > kWordCap) return false;
  }
  return true;
}

// The branch length counted step by step; positions wrap as unsigned 32-bit values.
inline int32_t modelBranchLength(const std::string& word, int32_t pos) {
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

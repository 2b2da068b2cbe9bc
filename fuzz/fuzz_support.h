// Helpers shared by the fuzz targets: an input reader, a hard check, and the reference rewrite
// limited to words of a workable size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "lsystem.h"
#include "reference.h"

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

// The word one rewrite of l would give, by the reference rewrite; a ruleSetIndex that names no
// rule set acts as an empty one. Nothing when the result would pass kWordCap.
inline std::optional<std::string> expectedRewrite(const LSystem& l, int32_t start,
                                                  int32_t ruleSetIndex) {
  static const RuleSet empty;
  const bool known = ruleSetIndex >= 0 && static_cast<size_t>(ruleSetIndex) < l.ruleSets.size();
  return referenceRewrite(l.word, start,
                          known ? l.ruleSets[static_cast<size_t>(ruleSetIndex)] : empty, kWordCap);
}

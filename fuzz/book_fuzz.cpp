// Fuzz target: a file in the book's notation read, grown a few generations and saved again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "book.h"
#include "fuzz_support.h"
#include "lsystem.h"

namespace {

constexpr uint64_t kMaxModules = 2000;
constexpr int kGenerations = 4;

// The word is well formed: offsets from 0 up to the values' count, module bytes, finite values.
void checkWord(const ModuleWord& w) {
  FUZZ_CHECK(w.offsets.size() == w.size() + 1 && w.offsets[0] == 0);
  FUZZ_CHECK(w.offsets.back() == w.values.size());
  for (std::size_t i = 0; i < w.size(); ++i) {
    FUZZ_CHECK(w.offsets[i] <= w.offsets[i + 1] && w.parameterCount(i) <= 16);
    FUZZ_CHECK(w.symbols[i] >= '!' && w.symbols[i] <= '~');
  }
  for (double v : w.values) FUZZ_CHECK(std::isfinite(v));
}

// One generation, whole or from begin; a refusal must leave the word as it was.
void grow(const BookSystem& system, ModuleWord& word, std::size_t begin, uint64_t seed) {
  const ModuleWord before = word;
  try {
    system.generateFrom(word, begin, seed, kMaxModules);
    FUZZ_CHECK(word.size() <= kMaxModules);
  } catch (const WordLimitError&) {
    FUZZ_CHECK(word == before);
  } catch (const BookValueError&) {
    FUZZ_CHECK(word == before);
  }
  checkWord(word);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const BookSystem system(text);
    ModuleWord word = system.axiom();
    checkWord(word);
    for (int g = 0; g < kGenerations && word.size() <= kMaxModules; ++g) {
      grow(system, word, 0, size);
      if (word.size() > 1) grow(system, word, size % word.size(), static_cast<uint64_t>(g));
    }
    // Saved, the word reads back to the bit, and the file reads as the original did.
    const BookSystem again(system.saveText(word));
    FUZZ_CHECK(again.axiom() == word);
    FUZZ_CHECK(again.angle() == system.angle());
  } catch (const BookFileError& e) {
    FUZZ_CHECK(e.line >= 1 && e.line <= size + 1);
    FUZZ_CHECK(std::string_view(e.what()).find('\n') == std::string_view::npos);
  }
  return 0;
}

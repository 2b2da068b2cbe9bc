// Fuzz target: the grammar reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "lsystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  LSystem l;
  l.parseGrammar(text);

  FUZZ_CHECK(l.source == text);
  FUZZ_CHECK(!l.ruleSets.empty());
  for (const RuleSet& rules : l.ruleSets) {
    FUZZ_CHECK(!rules.empty());
    // Keys and replacements are cut out of the text, never made up.
    for (const auto& [key, replacement] : rules) {
      FUZZ_CHECK(text.find(key) != std::string::npos);
      FUZZ_CHECK(text.find(replacement) != std::string::npos);
    }
  }
  const size_t lastClose = text.rfind('}');
  const std::string axiom = lastClose != std::string::npos ? text.substr(lastClose + 1)
                            : size == 0                    ? std::string()
                                                           : text.substr(0, size - 1);
  FUZZ_CHECK(l.word == axiom);

  // A second reading appends the same rule sets again and replaces the word.
  const auto first = l.ruleSets;
  l.word = "x";
  l.parseGrammar(text);
  FUZZ_CHECK(l.ruleSets.size() == 2 * first.size());
  for (size_t i = 0; i < first.size(); ++i) {
    FUZZ_CHECK(l.ruleSets[i] == first[i]);
    FUZZ_CHECK(l.ruleSets[first.size() + i] == first[i]);
  }
  FUZZ_CHECK(l.word == axiom);
  return 0;
}

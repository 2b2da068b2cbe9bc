// Fuzz target: the command line, as NUL-separated arguments of arbitrary bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  const ParsedOptions parsed = parseOptions(args);
  const Options& o = parsed.options;
  if (parsed.error.empty()) {
    FUZZ_CHECK(o.generations >= 0 && o.generations <= 1000);
    FUZZ_CHECK(std::isfinite(o.angle));
    FUZZ_CHECK(o.step >= -kMaxCoordinate && o.step <= kMaxCoordinate);
    FUZZ_CHECK(o.originX >= -kMaxCoordinate && o.originX <= kMaxCoordinate);
    FUZZ_CHECK(o.originY >= -kMaxCoordinate && o.originY <= kMaxCoordinate);
    FUZZ_CHECK(o.width >= 16 && o.width <= 4096 && o.height >= 16 && o.height <= 4096);
    FUZZ_CHECK(o.grammar.size() <= kMaxGrammarBytes);
    FUZZ_CHECK(o.grammarFile.empty() || o.grammar == Options().grammar);
    FUZZ_CHECK(o.presses.size() <= kMaxPresses);
    for (const int32_t index : o.presses) {
      FUZZ_CHECK(index == kGrowAll || (index >= 0 && index < INT32_MAX));  // g: the whole word
    }
    FUZZ_CHECK(o.maxSymbols >= 1);
    FUZZ_CHECK(std::isfinite(o.heading));
    FUZZ_CHECK(o.lineWidth >= 1 && o.lineWidth <= 64);
    for (const std::string* set : {&o.segments, &o.buds, &o.moves}) {
      FUZZ_CHECK(set->size() <= kMaxSymbolBytes);
      for (const char byte : *set) {
        FUZZ_CHECK(byte > ' ' && byte < 127 &&
                   std::string("+-[]_|{}:;").find(byte) == std::string::npos);
        // The three sets are disjoint, once the whole command line is read: --help and
        // --version stop the reading before that is checked.
        if (o.help || o.version) continue;
        FUZZ_CHECK((o.segments.find(byte) != std::string::npos) +
                       (o.buds.find(byte) != std::string::npos) +
                       (o.moves.find(byte) != std::string::npos) ==
                   1);
      }
    }
  } else {
    // One line that names the problem; help and version only come from a good command line.
    FUZZ_CHECK(parsed.error.find('\n') == std::string::npos);
    FUZZ_CHECK(parsed.error.size() < 400);  // however long the arguments are
  }
  // getopt's state is global: a second reading must give the same result.
  const ParsedOptions again = parseOptions(args);
  FUZZ_CHECK(again.error == parsed.error);
  FUZZ_CHECK(again.options.grammar == o.grammar && again.options.generations == o.generations &&
             again.options.svgFile == o.svgFile && again.options.help == o.help);
  FUZZ_CHECK(again.options.presses == o.presses && again.options.seed == o.seed &&
             again.options.maxSymbols == o.maxSymbols && again.options.fit == o.fit &&
             again.options.explore == o.explore);
  FUZZ_CHECK(again.options.segments == o.segments && again.options.buds == o.buds &&
             again.options.moves == o.moves && again.options.lines == o.lines &&
             again.options.lineWidth == o.lineWidth && again.options.headingText == o.headingText);
  return 0;
}

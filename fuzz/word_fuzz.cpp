// Fuzz target: rewriting, pruning and reading an arbitrary word at arbitrary indices.
// Input: grammar length (1 byte), grammar, word length (2 bytes), word, then operations.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "fuzz_support.h"
#include "lsystem.h"

namespace {

// An index near 0, near the length, raw, or one of the extremes.
int32_t readIndex(ByteReader& in, uint8_t mode, int32_t length) {
  switch (mode % 4) {
    case 0:
      return in.signedByte();
    case 1:
      return length + in.signedByte();
    case 2:
      return in.i32();
    default: {
      const int32_t extremes[] = {std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<int32_t>::max(), -1, length + 1};
      return extremes[in.byte() % 4];
    }
  }
}

void checkRewrite(LSystem& l, int32_t start, int32_t ruleSetIndex) {
  const std::optional<std::string> expected = expectedRewrite(l, start, ruleSetIndex);
  if (!expected) return;  // too long to be worth it
  const std::string before = l.word;
  l.rewriteFrom(start, ruleSetIndex);
  // Everything before start and everything from the branch end on is kept as it was.
  const size_t begin = start <= 0 ? 0 : std::min<size_t>(static_cast<size_t>(start), before.size());
  const size_t end = referenceBranchEnd(before, begin);
  const std::string tail = end == std::string::npos ? std::string() : before.substr(end);
  FUZZ_CHECK(l.word.compare(0, begin, before, 0, begin) == 0);
  FUZZ_CHECK(l.word.size() >= begin + tail.size());
  FUZZ_CHECK(l.word.compare(l.word.size() - tail.size(), tail.size(), tail) == 0);
  FUZZ_CHECK(l.word == *expected);
}

void checkPrune(LSystem& l, int32_t pos) {
  const std::string before = l.word;
  if (static_cast<uint32_t>(pos) > before.size()) {
    bool raised = false;
    try {
      l.pruneAt(pos);
    } catch (const std::out_of_range&) {
      raised = true;
    }
    FUZZ_CHECK(raised);
    FUZZ_CHECK(l.word == before);
    return;
  }
  std::string expected = before;
  const auto count = static_cast<uint32_t>(referenceBranchLength(before, pos) - 1);
  expected.erase(static_cast<uint32_t>(pos), count);
  l.pruneAt(pos);
  FUZZ_CHECK(l.word == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const std::string grammar = in.bytes(in.byte());
  LSystem l(grammar);
  l.word = in.bytes(in.u16());

  for (int op = 0; op < 200 && !in.empty(); ++op) {
    const uint8_t code = in.byte();
    const auto length = static_cast<int32_t>(l.word.size());
    const int32_t pos = readIndex(in, static_cast<uint8_t>(code >> 3), length);
    switch (code % 5) {
      case 0:
        checkRewrite(l, pos, in.signedByte() / 16);  // mostly 0, sometimes -8..7
        break;
      case 1:
        checkPrune(l, pos);
        break;
      case 2:
        FUZZ_CHECK(l.branchLength(pos) == referenceBranchLength(l.word, pos));
        break;
      case 3:
        FUZZ_CHECK(l.symbolAt(pos) == (static_cast<uint32_t>(pos) < l.word.size()
                                           ? l.word[static_cast<uint32_t>(pos)]
                                           : '\0'));
        break;
      default:
        FUZZ_CHECK(l.wordLength() == length);
        break;
    }
  }
  return 0;
}

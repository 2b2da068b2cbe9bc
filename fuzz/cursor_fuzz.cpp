// Fuzz target: walks, selections, grows, prunes and presses over arbitrary words.
// Input: grammar length (1 byte), grammar, start x and y (2 bytes each), word length
// (2 bytes), word, then operations.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "figure.h"
#include "frame.h"
#include "fuzz_support.h"
#include "history.h"
#include "shapes.h"
#include "turtle_cursor.h"

namespace {

bool sameBits(const TurtleState& a, const TurtleState& b) {
  return std::memcmp(&a, &b, sizeof(TurtleState)) == 0;
}

// One whole walk: each symbol is visited once, in order, the stack holds one state per open
// "[", and the walk ends at the word's length. Gives every state read, for comparison.
std::vector<TurtleState> checkedWalk(TurtleCursor& c) {
  std::vector<TurtleState> reads;
  c.reset();
  size_t open = 0;
  for (int32_t n = 0; !c.atEnd(); ++n) {
    FUZZ_CHECK(static_cast<size_t>(n) < c.word.size());  // otherwise the walk would not end
    FUZZ_CHECK(c.index == n);
    FUZZ_CHECK(c.currentSymbol() == c.word[static_cast<size_t>(n)]);
    c.interpretCurrent();
    if (c.word[static_cast<size_t>(n)] == '[') ++open;
    if (c.word[static_cast<size_t>(n)] == ']' && open > 0) --open;
    FUZZ_CHECK(c.stack.size() == open);
    reads.push_back(c.currentState());
    c.advance();
  }
  FUZZ_CHECK(static_cast<size_t>(c.index) == c.word.size());
  FUZZ_CHECK(c.currentSymbol() == '\0');
  FUZZ_CHECK(sameBits(c.currentState(), c.origin));
  return reads;
}

// The viewer's frame with the pointer at (px, py): the selection is the last red square, and the
// red squares are those that hold the pointer.
void checkFrame(TurtleCursor& c, int32_t px, int32_t py) {
  const Palette palette{1, 2, 3};
  const Figure figure(c);
  size_t drawable = 0;
  for (const char s : c.word) drawable += s == 'a' || s == 'o';
  FUZZ_CHECK(figure.strokes().size() == drawable);
  const Pick picked = pick(figure, CutSquares{}, palette, {px, py});
  int32_t lastRed = 0;
  for (const Stroke& stroke : figure.strokes()) {
    const Shape shape = CutSquares{}.place(stroke);
    FUZZ_CHECK(stroke.bud == (c.symbolAt(stroke.index) == 'o'));
    if (shapeHolds(shape, 1, {px, py})) lastRed = stroke.index;
  }
  FUZZ_CHECK(picked.selected == lastRed);
  // Drawn, every fill lies in the window, in the colour of a square there.
  struct CheckedCanvas {
    ScreenRect clip() const { return {0, 0, 600, 400}; }
    bool covers(const ScreenRect&) const { return false; }
    bool full() const { return false; }
    void operator()(const Square& q, uint32_t colour) const {
      FUZZ_CHECK(q.x >= 0 && q.y >= 0 && q.w > 0 && q.h > 0 && q.x + q.w <= 600 &&
                 q.y + q.h <= 400);
      FUZZ_CHECK(colour == 1 || colour == 2 || colour == 3);
    }
  } canvas;
  drawFigure(figure, CutSquares{}, palette, picked, canvas);
}

void checkPrune(TurtleCursor& c) {
  const std::string before = c.word;
  if (c.selected != 0 && static_cast<uint32_t>(c.selected) > before.size()) {
    bool raised = false;
    try {
      c.prune();
    } catch (const std::out_of_range&) {
      raised = true;
    }
    FUZZ_CHECK(raised);
    FUZZ_CHECK(c.word == before);
    return;
  }
  c.prune();
  FUZZ_CHECK(c.selected != 0 || c.word == before);
}

// One step of a walk, possibly past the end: at the end nothing moves and origin is read.
void checkStep(TurtleCursor& c) {
  const bool end = c.atEnd();
  const TurtleState before = c.state;
  c.interpretCurrent();
  const TurtleState read = c.currentState();
  if (end) {
    FUZZ_CHECK(sameBits(c.state, before));
    FUZZ_CHECK(sameBits(read, c.origin));
    FUZZ_CHECK(c.currentSymbol() == '\0');
  } else {
    FUZZ_CHECK(c.currentSymbol() == c.symbolAt(c.index));
  }
  c.advance();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  const std::string grammar = in.bytes(in.byte());
  const auto x = static_cast<int16_t>(in.u16());
  const auto y = static_cast<int16_t>(in.u16());
  TurtleCursor c(grammar, x, y);
  c.word = in.bytes(in.u16());

  PressHistory history;
  std::vector<TurtleState> lastWalk;
  std::string lastWalkWord;
  for (int op = 0; op < 100 && !in.empty(); ++op) {
    switch (in.byte() % 8) {
      case 0: {
        auto reads = checkedWalk(c);
        if (c.word == lastWalkWord && !lastWalk.empty()) {
          FUZZ_CHECK(reads.size() == lastWalk.size());
          FUZZ_CHECK(
              std::memcmp(reads.data(), lastWalk.data(), reads.size() * sizeof(TurtleState)) == 0);
        }
        lastWalk = std::move(reads);
        lastWalkWord = c.word;
        break;
      }
      case 1: {
        const int32_t px = in.u16();
        checkFrame(c, px, in.u16());
        break;
      }
      case 2: {
        if (c.symbolAt(c.selected) == 'o' && !expectedRewrite(c, c.selected, 0)) break;
        history.press(c);  // must not throw, whatever the word and the selection
        break;
      }
      case 3: {
        const std::optional<std::string> grown = expectedRewrite(c, c.selected, 0);
        if (!grown) break;  // too long to be worth it
        c.grow();
        FUZZ_CHECK(c.word == *grown);
        break;
      }
      case 4:
        checkPrune(c);
        break;
      case 5:
        checkStep(c);
        break;
      case 6:
        c.select();
        FUZZ_CHECK(c.selected == c.index);
        break;
      default:
        c.reset();
        FUZZ_CHECK(c.index == 0 && c.selected == 0 && c.stack.empty());
        FUZZ_CHECK(sameBits(c.state, c.origin));
        break;
    }
  }
  return 0;
}

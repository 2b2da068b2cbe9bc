// The line style in exact integers: a segment's pixels under a square brush, clipped to the
// window at a cost bounded by it, a bud's square centred on its point, and the pointer's hit test.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "figure.h"
#include "style.h"
#include "turtle_cursor.h"
#include "view.h"

// A turtle's whole-pixel position, as the squares use it: truncated, not cut to 16 bits.
struct TurtlePoint {
  int32_t x;
  int32_t y;
};

// Walks the whole word from the start state and calls visit(from, to, symbol) for each symbol
// that the cursor's sets draw: a segment from the turtle's point before its step to its point
// after, a bud at its point (from and to the same). The cursor stands on that symbol during the
// call, so visit may select it.
template <class Visit>
void walkStrokes(TurtleCursor& cursor, Visit&& visit) {
  cursor.reset();
  while (!cursor.atEnd()) {
    const char symbol = cursor.currentSymbol();
    const TurtleCommand command = cursor.commandOf(symbol);
    if (command == TurtleCommand::kSegment) {
      const TurtlePoint from{cursor.state.getX(), cursor.state.getY()};
      cursor.interpretCurrent();
      visit(from, TurtlePoint{cursor.state.getX(), cursor.state.getY()}, symbol);
    } else {
      cursor.interpretCurrent();
      if (command == TurtleCommand::kBud) {
        const TurtlePoint at{cursor.state.getX(), cursor.state.getY()};
        visit(at, at, symbol);
      }
    }
    cursor.advance();
  }
}

// The box of what a style draws, by the cursor's sets: with squares, every square, as
// the squares themselves; with lines, every drawn point (both ends of each segment and each bud's point),
// one pixel wider and taller than their extent. Empty when nothing is drawn; the cursor's
// selection is kept.
Box drawnBox(TurtleCursor& cursor, const Style& style);

// A pixel of the screen, in 64 bits: a turtle point seen at the largest zoom lies near 2^37.
struct ScreenPoint {
  int64_t x;
  int64_t y;
};

// Screen coordinates stay within this far of the window, so that every product of the line's
// arithmetic fits in 128 bits; no view of a figure places a point that far.
constexpr int64_t kFarPixel = int64_t{1} << 46;

// The integer of a view's floored double, clamped to +-kFarPixel; NaN gives 0.
inline int64_t screenCoordinate(double floored) {
  if (!(floored == floored)) return 0;
  const auto far = static_cast<double>(kFarPixel);
  return static_cast<int64_t>(std::clamp(floored, -far, far));
}

// The screen pixel of a turtle point, (floor(s * x + tx), floor(s * y + ty)) as the view maps it.
inline ScreenPoint screenPoint(const View& view, TurtlePoint p) {
  return {screenCoordinate(std::floor(view.s * p.x + view.tx)),
          screenCoordinate(std::floor(view.s * p.y + view.ty))};
}

// A square on the screen: columns [left, left + side), rows [top, top + side).
struct ScreenSquare {
  int64_t left;
  int64_t top;
  int64_t side;
};

// A bud's square: side max(1, floor(s * 20 + 0.5)), its corner side / 2 up and left of the point.
inline ScreenSquare budSquare(const View& view, ScreenPoint at) {
  const auto side = static_cast<int64_t>(viewSide(view, kBudSide));
  return {at.x - side / 2, at.y - side / 2, side};
}

// The open square holds the pointer: its left column and top row are outside.
inline bool squareHolds(const ScreenSquare& square, int64_t px, int64_t py) {
  return square.left < px && px < square.left + square.side && square.top < py &&
         py < square.top + square.side;
}

// A segment from p0 to p1 drawn with a brush of `brush` pixels holds the pointer when the
// pointer lies within floor(brush / 2) + 2 pixels of it, decided exactly. The pointer lies within
// +-2^62, as a window's does.
bool lineHolds(ScreenPoint p0, ScreenPoint p1, int32_t brush, int64_t px, int64_t py);

// The part of columns [left, right] and rows [top, bottom] inside a width x height window;
// false when none is.
inline bool clipToWindow(int64_t left, int64_t top, int64_t right, int64_t bottom, int32_t width,
                         int32_t height, Square& out) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, width - 1);
  bottom = std::min<int64_t>(bottom, height - 1);
  if (left > right || top > bottom) return false;
  out = Square{static_cast<int16_t>(left), static_cast<int16_t>(top),
               static_cast<uint16_t>(right - left + 1), static_cast<uint16_t>(bottom - top + 1)};
  return true;
}

// A segment in the axes of its drawing: pixel t, for t from 0 to length, lies at major
// m0 + t * majorStep and minor n0 + floor((2 t minorDelta + length) / (2 length)), with
// length > 0 and |minorDelta| <= length.
struct LineAxes {
  int64_t m0;
  int64_t n0;
  int64_t majorStep;  // +1 or -1
  int64_t length;
  int64_t minorDelta;
};

// The steps [first, last] of a line to draw, and the minor offset and the remainder of step
// first: its numerator 2 first minorDelta + length is offset * 2 length + remainder.
struct LineSteps {
  int64_t first;
  int64_t last;
  int64_t offset;
  int64_t remainder;
};

// The steps of the line whose brush squares reach into [0, majorSize) x [0, minorSize), in the
// line's axes; false when none does. Exact, in 128 bits.
bool visibleSteps(const LineAxes& line, int32_t brush, int32_t majorSize, int32_t minorSize,
                  LineSteps& steps);

// Draws a segment from p0 to p1 in a width x height window: each of its pixels (x, y) paints the
// brush square of columns x - floor((brush - 1) / 2) to that plus brush - 1, and the same rows,
// and fill(square) gets those squares' union inside the window as rectangles (a pixel may come
// twice). Pixel t, from 0 to |dx| on a line no steeper than 45 degrees, is
// (x0 + t sign(dx), y0 + floor((2 t dy + |dx|) / (2 |dx|))); a steeper line swaps x and y; p0
// alone when p1 is p0. Only the steps whose brush reaches the window are walked: the cost is
// bounded by the window, not by the line's length. brush is 1 to kMaxLineWidth.
template <class Fill>
void drawLine(ScreenPoint p0, ScreenPoint p1, int32_t brush, int32_t width, int32_t height,
              Fill&& fill) {
  const int64_t back = (brush - 1) / 2;  // the brush's reach before its pixel
  const int64_t ahead = brush - 1 - back;
  const int64_t left = std::min(p0.x, p1.x) - back;
  const int64_t right = std::max(p0.x, p1.x) + ahead;
  const int64_t top = std::min(p0.y, p1.y) - back;
  const int64_t bottom = std::max(p0.y, p1.y) + ahead;
  if (right < 0 || bottom < 0 || left >= width || top >= height) return;
  const int64_t dx = p1.x - p0.x;
  const int64_t dy = p1.y - p0.y;
  Square square;
  if (dx == 0 && dy == 0) {
    if (clipToWindow(left, top, right, bottom, width, height, square)) fill(square);
    return;
  }
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  if (brush == 1 && left >= 0 && top >= 0 && right < width && bottom < height) {
    // A line of one pixel's width inside the window: its pixels one by one, the minor offset of
    // pixel t kept as floor((2 t minor + length) / (2 length)) by its remainder.
    const int64_t length = xMajor ? std::abs(dx) : std::abs(dy);
    const int64_t minor = xMajor ? dy : dx;
    const int64_t step = (xMajor ? dx : dy) < 0 ? -1 : 1;
    int64_t offset = 0;
    int64_t remainder = length;  // of 2 t minor + length, less 2 length times offset
    for (int64_t t = 0;; ++t) {
      const int64_t major = t * step;
      square = xMajor ? Square{static_cast<int16_t>(p0.x + major),
                               static_cast<int16_t>(p0.y + offset), 1, 1}
                      : Square{static_cast<int16_t>(p0.x + offset),
                               static_cast<int16_t>(p0.y + major), 1, 1};
      fill(square);
      if (t == length) return;
      remainder += 2 * minor;
      if (remainder >= 2 * length) {
        remainder -= 2 * length;
        ++offset;
      } else if (remainder < 0) {
        remainder += 2 * length;
        --offset;
      }
    }
  }
  const LineAxes line = xMajor ? LineAxes{p0.x, p0.y, dx < 0 ? -1 : 1, std::abs(dx), dy}
                               : LineAxes{p0.y, p0.x, dy < 0 ? -1 : 1, std::abs(dy), dx};
  // Pixel 0 lies at offset floor(length / (2 length)) = 0 with remainder length.
  LineSteps steps{0, line.length, 0, line.length};
  if ((left < 0 || top < 0 || right >= width || bottom >= height) &&
      !visibleSteps(line, brush, xMajor ? width : height, xMajor ? height : width, steps)) {
    return;
  }

  // The union of the brush squares, gathered along each minor line (a row of an x-major line):
  // the pixels of equal minor offset form runs, consecutive runs differ by one in the offset,
  // and the minor line `band` of the walk is covered by the runs band - brush + 1 to band, whose
  // steps are one interval. Minor lines with the same major span join into one rectangle.
  const int64_t minorSign = line.minorDelta < 0 ? -1 : 1;
  const int64_t firstMinor = line.n0 + steps.offset;
  constexpr std::size_t kRing = kMaxLineWidth;
  std::array<int64_t, kRing> runStarts;  // the first step of the newest runs, by run number
  struct Span {
    int64_t majorLo, majorHi, minorLo, minorHi;
  } pending{0, -1, 0, 0};  // empty while majorLo > majorHi
  const auto emit = [&] {
    if (pending.majorLo > pending.majorHi) return;
    if (xMajor ? clipToWindow(pending.majorLo, pending.minorLo, pending.majorHi, pending.minorHi,
                              width, height, square)
               : clipToWindow(pending.minorLo, pending.majorLo, pending.minorHi, pending.majorHi,
                              width, height, square)) {
      fill(square);
    }
  };
  const auto band = [&](int64_t number, int64_t lastStep) {
    const int64_t firstStep =
        runStarts[static_cast<std::size_t>(std::max<int64_t>(0, number - brush + 1)) % kRing];
    const int64_t a = line.m0 + firstStep * line.majorStep;
    const int64_t b = line.m0 + lastStep * line.majorStep;
    const int64_t lo = std::min(a, b) - back;
    const int64_t hi = std::max(a, b) + ahead;
    const int64_t minor = minorSign > 0 ? firstMinor - back + number : firstMinor + ahead - number;
    if (lo == pending.majorLo && hi == pending.majorHi &&
        (minor == pending.minorHi + 1 || minor == pending.minorLo - 1)) {
      pending.minorLo = std::min(pending.minorLo, minor);
      pending.minorHi = std::max(pending.minorHi, minor);
    } else {
      emit();
      pending = {lo, hi, minor, minor};
    }
  };

  const int64_t twoLength = 2 * line.length;
  const int64_t twoMinor = 2 * line.minorDelta;
  int64_t offset = steps.offset;
  int64_t remainder = steps.remainder;
  int64_t run = 0;
  runStarts[0] = steps.first;
  for (int64_t t = steps.first; t < steps.last; ++t) {
    const int64_t before = offset;
    remainder += twoMinor;  // |twoMinor| <= twoLength: one carry at most
    if (remainder >= twoLength) {
      remainder -= twoLength;
      ++offset;
    } else if (remainder < 0) {
      remainder += twoLength;
      --offset;
    }
    if (offset != before) {
      band(run, t);
      ++run;
      runStarts[static_cast<std::size_t>(run) % kRing] = t + 1;
    }
  }
  for (int64_t number = run; number < run + brush; ++number) band(number, steps.last);
  emit();
}

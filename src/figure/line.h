// A segment of the line style on the screen, in exact integers: its pixels under a square brush,
// clipped to the window at a cost bounded by it, and the pointer's hit test.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "screen.h"
#include "style.h"

// How far from its line a segment holds the pointer: at least its brush's reach.
inline int64_t lineReach(int32_t brush) { return brush / 2 + 2; }

// A segment from p0 to p1 drawn with a brush of `brush` pixels holds the pointer when the
// pointer lies within lineReach(brush) pixels of it, decided exactly. The pointer lies within
// +-2^62, as a window's does.
bool lineHolds(ScreenPoint p0, ScreenPoint p1, int32_t brush, ScreenPoint pointer);

// A segment in the axes of its drawing: pixel t, for t from 0 to length, lies at major
// m0 + t * majorStep and minor n0 + floor((2 t minorDelta + length) / (2 length)), with
// length > 0 and |minorDelta| <= length. The major axis is x when xMajor.
struct LineAxes {
  int64_t m0;
  int64_t n0;
  int64_t majorStep;  // +1 or -1
  int64_t length;
  int64_t minorDelta;
  bool xMajor;
};

// The line from p0 to p1, p0 != p1, in its axes: x is major when the line is no steeper than 45
// degrees.
LineAxes lineAxes(ScreenPoint p0, ScreenPoint p1);

// The steps [first, last] of a line to draw, and the minor offset and the remainder of step
// first: its numerator 2 first minorDelta + length is offset * 2 length + remainder.
struct LineSteps {
  int64_t first;
  int64_t last;
  int64_t offset;
  int64_t remainder;
};

// The steps of the line whose brush squares reach into a width x height window; false when none
// does. Exact, in 128 bits.
bool visibleSteps(const LineAxes& line, int32_t brush, int32_t width, int32_t height,
                  LineSteps& steps);

// The union of the brush squares of a line's pixels, gathered along each minor line (a row of an
// x-major line) and handed to fill(square) clipped to the window. The pixels of equal minor
// offset form runs, numbered from 0, and consecutive runs differ by one in the offset; the minor
// line `number` of the walk is covered by the runs number - brush + 1 to number, whose steps are
// one interval. Minor lines with the same major span join into one rectangle.
template <class Fill>
class LineBands {
 public:
  LineBands(const LineAxes& line, int64_t firstOffset, int32_t brush, int32_t width, int32_t height,
            Fill& fill)
      : line_(line),
        firstMinor_(line.n0 + firstOffset),
        brush_(brush),
        back_((brush - 1) / 2),
        ahead_(brush - 1 - back_),
        width_(width),
        height_(height),
        fill_(fill) {}

  // Run `number` starts at step `first`.
  void start(int64_t number, int64_t first) { runStarts_[index(number)] = first; }

  // The minor line `number`, whose last run ends at step `last`.
  void band(int64_t number, int64_t last) {
    const int64_t first = runStarts_[index(std::max<int64_t>(0, number - brush_ + 1))];
    const int64_t a = line_.m0 + first * line_.majorStep;
    const int64_t b = line_.m0 + last * line_.majorStep;
    const int64_t lo = std::min(a, b) - back_;
    const int64_t hi = std::max(a, b) + ahead_ + 1;
    const int64_t minor =
        line_.minorDelta < 0 ? firstMinor_ + ahead_ - number : firstMinor_ - back_ + number;
    if (lo == pending_.majorLo && hi == pending_.majorHi &&
        (minor == pending_.minorHi || minor == pending_.minorLo - 1)) {
      pending_.minorLo = std::min(pending_.minorLo, minor);
      pending_.minorHi = std::max(pending_.minorHi, minor + 1);
    } else {
      finish();
      pending_ = {lo, hi, minor, minor + 1};
    }
  }

  // Hands on the rectangle still gathered.
  void finish() {
    if (pending_.majorLo >= pending_.majorHi) return;
    const ScreenRect rect =
        line_.xMajor
            ? ScreenRect{pending_.majorLo, pending_.minorLo, pending_.majorHi, pending_.minorHi}
            : ScreenRect{pending_.minorLo, pending_.majorLo, pending_.minorHi, pending_.majorHi};
    Square square;
    if (clipToWindow(rect, ScreenRect{0, 0, width_, height_}, square)) fill_(square);
    pending_.majorHi = pending_.majorLo;
  }

 private:
  static std::size_t index(int64_t number) {
    return static_cast<std::size_t>(number) % static_cast<std::size_t>(kMaxLineWidth);
  }

  struct Span {
    int64_t majorLo, majorHi, minorLo, minorHi;  // half-open; empty while majorLo >= majorHi
  };

  LineAxes line_;
  int64_t firstMinor_;
  int64_t brush_;
  int64_t back_;
  int64_t ahead_;
  int32_t width_;
  int32_t height_;
  Fill& fill_;
  std::array<int64_t, kMaxLineWidth> runStarts_{};  // the first step of the newest runs
  Span pending_{0, 0, 0, 0};
};

// Draws a segment from p0 to p1 in a width x height window: each of its pixels (x, y) paints the
// brush square of columns x - floor((brush - 1) / 2) to that plus brush - 1, and the same rows,
// and fill(square) gets those squares' union inside the window as rectangles (a pixel may come
// twice). Pixel t, from 0 to |dx| on a line no steeper than 45 degrees, is
// (x0 + t sign(dx), y0 + floor((2 t dy + |dx|) / (2 |dx|))); a steeper line swaps x and y; p0
// alone when p1 is p0. Only the steps whose brush reaches the window are walked: the cost is
// bounded by the window, not by the line's length. brush is 1 to kMaxLineWidth.
template <class Fill>
void drawLineInWindow(ScreenPoint p0, ScreenPoint p1, int32_t brush, int32_t width, int32_t height,
                      Fill&& fill) {
  const int64_t back = (brush - 1) / 2;  // the brush's reach before its pixel
  const int64_t ahead = brush - 1 - back;
  const ScreenRect box{std::min(p0.x, p1.x) - back, std::min(p0.y, p1.y) - back,
                       std::max(p0.x, p1.x) + ahead + 1, std::max(p0.y, p1.y) + ahead + 1};
  Square square;
  if (p0.x == p1.x && p0.y == p1.y) {
    if (clipToWindow(box, ScreenRect{0, 0, width, height}, square)) fill(square);
    return;
  }
  if (box.right <= 0 || box.bottom <= 0 || box.left >= width || box.top >= height) return;
  if (std::abs(p1.x - p0.x) <= 1 && std::abs(p1.y - p0.y) <= 1) {
    // Two pixels side by side or corner to corner: their two brush squares.
    for (const ScreenPoint p : {p0, p1}) {
      if (clipToWindow(ScreenRect{p.x - back, p.y - back, p.x + ahead + 1, p.y + ahead + 1},
                       ScreenRect{0, 0, width, height}, square)) {
        fill(square);
      }
    }
    return;
  }
  const LineAxes line = lineAxes(p0, p1);
  // Pixel 0 lies at offset floor(length / (2 length)) = 0 with remainder length.
  LineSteps steps{0, line.length, 0, line.length};
  const bool inside = box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height;
  if (!inside && !visibleSteps(line, brush, width, height, steps)) return;

  LineBands<std::remove_reference_t<Fill>> bands(line, steps.offset, brush, width, height, fill);
  const int64_t twoLength = 2 * line.length;
  const int64_t twoMinor = 2 * line.minorDelta;
  int64_t remainder = steps.remainder;
  int64_t run = 0;
  bands.start(0, steps.first);
  for (int64_t t = steps.first; t < steps.last; ++t) {
    remainder += twoMinor;  // |twoMinor| <= twoLength: one carry at most
    if (remainder >= 0 && remainder < twoLength) continue;
    remainder += remainder < 0 ? twoLength : -twoLength;
    bands.band(run, t);
    bands.start(++run, t + 1);
  }
  for (int64_t number = run; number < run + brush; ++number) bands.band(number, steps.last);
  bands.finish();
}

// drawLine within the clip, a part of the window: as drawLineInWindow in a window of the clip's
// size whose corner is the clip's.
template <class Fill>
void drawLine(ScreenPoint p0, ScreenPoint p1, int32_t brush, const ScreenRect& clip, Fill&& fill) {
  const ScreenPoint corner{clip.left, clip.top};
  drawLineInWindow({p0.x - corner.x, p0.y - corner.y}, {p1.x - corner.x, p1.y - corner.y}, brush,
                   static_cast<int32_t>(clip.right - clip.left),
                   static_cast<int32_t>(clip.bottom - clip.top), [&fill, corner](Square square) {
                     square.x = static_cast<int16_t>(square.x + corner.x);
                     square.y = static_cast<int16_t>(square.y + corner.y);
                     fill(square);
                   });
}

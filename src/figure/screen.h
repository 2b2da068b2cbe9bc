// Screen geometry in whole pixels: points and rectangles in 64 bits, the one clamp of a view's
// coordinates, the one clip to the window and the open square's hit test.
#pragma once

#include <algorithm>
#include <cstdint>

// A pixel of the screen, in 64 bits: a turtle point seen at the largest zoom lies near 2^37.
struct ScreenPoint {
  int64_t x;
  int64_t y;
};

// Columns [left, right) and rows [top, bottom) of the screen.
struct ScreenRect {
  int64_t left;
  int64_t top;
  int64_t right;
  int64_t bottom;
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// A rectangle inside the window, as SDL_Rect and the raster take it.
struct Square {
  int16_t x;
  int16_t y;
  uint16_t w;
  uint16_t h;
};

// Screen coordinates stay within this far of the window, so that every product of a line's
// arithmetic fits in 128 bits; no view of a figure places a point that far.
constexpr int64_t kFarPixel = int64_t{1} << 46;

// The integer of a view's floored double, clamped to +-kFarPixel; NaN gives 0.
inline int64_t screenCoordinate(double floored) {
  if (!(floored == floored)) return 0;
  constexpr auto kFar = static_cast<double>(kFarPixel);
  return static_cast<int64_t>(std::clamp(floored, -kFar, kFar));
}

// The part of the rectangle inside the clip, a part of the window; false when none is.
inline bool clipToWindow(const ScreenRect& rect, const ScreenRect& clip, Square& out) {
  const int64_t left = std::max(rect.left, clip.left);
  const int64_t top = std::max(rect.top, clip.top);
  const int64_t right = std::min(rect.right, clip.right);
  const int64_t bottom = std::min(rect.bottom, clip.bottom);
  if (left >= right || top >= bottom) return false;
  out = Square{static_cast<int16_t>(left), static_cast<int16_t>(top),
               static_cast<uint16_t>(right - left), static_cast<uint16_t>(bottom - top)};
  return true;
}

// The rectangles share a pixel.
inline bool meets(const ScreenRect& a, const ScreenRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The rectangle holds the pixel.
inline bool holdsPoint(const ScreenRect& rect, ScreenPoint p) {
  return rect.left <= p.x && p.x < rect.right && rect.top <= p.y && p.y < rect.bottom;
}

// The smallest rectangle that holds both; an empty one (left >= right) holds nothing.
inline ScreenRect unite(const ScreenRect& a, const ScreenRect& b) {
  if (a.left >= a.right || a.top >= a.bottom) return b;
  if (b.left >= b.right || b.top >= b.bottom) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// The open square holds the pointer: its left column and top row are outside, its right column
// and bottom row inside.
inline bool squareHolds(const ScreenRect& square, ScreenPoint pointer) {
  return square.left < pointer.x && pointer.x < square.right && square.top < pointer.y &&
         pointer.y < square.bottom;
}

// A frame painted into a pixel buffer without SDL, from the front: the rectangles that the clip to
// the window gives, each pixel once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "screen.h"

// Pixels of one frame: width by height, each row pitch pixels after the one before it.
template <class Pixel>
struct PixelBuffer {
  Pixel* pixels;
  int32_t width;
  int32_t height;
  int32_t pitch;
};

// A frame painted from the front: the shapes come last first, and each pixel takes the colour of
// the first that reaches it, so that the picture is that of every shape painted in word order,
// the later over the earlier. Only the pixels of the clip, a part of the buffer, are painted;
// finish() gives the ones that no shape reached the background.
template <class Pixel>
class FrontCanvas {
 public:
  FrontCanvas(const PixelBuffer<Pixel>& buffer, const ScreenRect& clip)
      : buffer_(buffer),
        clip_(clip),
        words_(static_cast<std::size_t>((clip.right - clip.left + 63) / 64)),
        painted_(words_ * static_cast<std::size_t>(clip.bottom - clip.top)),
        left_((clip.right - clip.left) * (clip.bottom - clip.top)) {}

  const ScreenRect& clip() const { return clip_; }
  // Every pixel of the clip is painted: nothing more can show.
  bool full() const { return left_ == 0; }

  // Every pixel of the rectangle inside the clip is painted already.
  bool covers(const ScreenRect& rect) const {
    Square square;
    if (!clipToWindow(rect, clip_, square)) return true;
    bool covered = true;
    forRow(square, [&](std::size_t, uint64_t painted, uint64_t mask, int64_t) {
      covered = covered && (painted & mask) == mask;
      return covered;
    });
    return covered;
  }

  // Paints the square's pixels, inside the clip, that no shape has reached yet.
  void operator()(const Square& square, uint32_t colour) {
    forRow(square, [&](std::size_t word, uint64_t painted, uint64_t mask, int64_t x0) {
      const uint64_t fresh = mask & ~painted;
      if (fresh == 0) return true;
      painted_[word] = painted | fresh;
      left_ -= __builtin_popcountll(fresh);
      Pixel* pixels = row_ + x0;
      const int shift = __builtin_ctzll(fresh);
      const uint64_t run = fresh >> shift;
      if ((run & (run + 1)) == 0) {  // one run of pixels, as most are
        std::fill_n(pixels + shift, __builtin_popcountll(fresh), static_cast<Pixel>(colour));
        return true;
      }
      for (uint64_t bits = fresh; bits != 0; bits &= bits - 1) {
        pixels[__builtin_ctzll(bits)] = static_cast<Pixel>(colour);
      }
      return true;
    });
  }

  // The clip's pixels that no shape reached take the background.
  void finish(uint32_t background) {
    (*this)(Square{static_cast<int16_t>(clip_.left), static_cast<int16_t>(clip_.top),
                   static_cast<uint16_t>(clip_.right - clip_.left),
                   static_cast<uint16_t>(clip_.bottom - clip_.top)},
            background);
  }

 private:
  // Calls visit(word, painted, mask, x0) for each 64-pixel word of each row of the square, inside
  // the clip: the word's index and painted bits, the bits of the square's pixels in it, and the
  // buffer's column of the word's first pixel, with row_ on the row's pixels. Stops at false.
  template <class Visit>
  void forRow(const Square& square, Visit&& visit) {
    const int64_t first = square.x - clip_.left;
    const int64_t last = first + square.w;  // past the end
    for (int64_t y = square.y; y < square.y + square.h; ++y) {
      row_ = buffer_.pixels + static_cast<std::ptrdiff_t>(y) * buffer_.pitch;
      const std::size_t base = static_cast<std::size_t>(y - clip_.top) * words_;
      for (int64_t w = first / 64; w * 64 < last; ++w) {
        const int64_t from = std::max<int64_t>(first, w * 64) - w * 64;
        const int64_t to = std::min<int64_t>(last, w * 64 + 64) - w * 64;
        const uint64_t mask = (to - from == 64 ? ~uint64_t{0} : ((uint64_t{1} << (to - from)) - 1))
                              << from;
        const std::size_t word = base + static_cast<std::size_t>(w);
        if (!visit(word, painted_[word], mask, clip_.left + w * 64)) return;
      }
    }
  }
  template <class Visit>
  void forRow(const Square& square, Visit&& visit) const {
    const_cast<FrontCanvas*>(this)->forRow(square, visit);
  }

  PixelBuffer<Pixel> buffer_;
  ScreenRect clip_;
  std::size_t words_;              // of painted bits a row of the clip
  std::vector<uint64_t> painted_;  // a bit a pixel of the clip, row after row
  int64_t left_;                   // pixels of the clip not painted yet
  Pixel* row_ = nullptr;
};

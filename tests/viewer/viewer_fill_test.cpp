// Tests of drawFigure against a plain fill of every square, and of drawPixels, the rasterizer
// on a surface's pixels, against drawFigure: same pixels, same selection.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "figure.h"
#include "pixel_pass.h"
#include "turtle_cursor.h"
#include "viewer.h"
#include "words.h"

namespace {

constexpr Palette kPalette{10, 20, 30};

class ViewerFill : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
  }
  static void TearDownTestSuite() { SDL_Quit(); }
};

SDL_Surface* offScreen(int depth = 8) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, 600, 400, depth, 0, 0, 0, 0);
}

std::vector<uint8_t> pixels(const SDL_Surface* s) {
  const auto* p = static_cast<const uint8_t*>(s->pixels);
  return {p, p + static_cast<std::size_t>(s->pitch) * static_cast<std::size_t>(s->h)};
}

// The figure grown n times, with a prefix that changes the step before the walk starts.
TurtleCursor figure(const std::string& prefix, int generations) {
  TurtleCursor arbre = grownCursor(generations);
  arbre.word = prefix + arbre.word;
  return arbre;
}

struct Outcome {
  std::vector<uint8_t> pixels;
  int32_t selected;
  int32_t outside = 0;  // squares that lie wholly outside the clip rectangle
};

Outcome plainFill(TurtleCursor& arbre, SDL_Surface* s, int32_t px, int32_t py) {
  Outcome o;
  SDL_FillRect(s, nullptr, 0);
  const SDL_Rect clip = s->clip_rect;
  walkFigure(arbre, kPalette, px, py, [&](const Square& q, uint32_t colour) {
    o.outside += q.x + q.w <= clip.x || q.x >= clip.x + clip.w || q.y + q.h <= clip.y ||
                 q.y >= clip.y + clip.h;
    SDL_Rect tmp{q.x, q.y, q.w, q.h};
    SDL_FillRect(s, &tmp, colour);
  });
  o.pixels = pixels(s);
  o.selected = arbre.selected;
  return o;
}

Outcome drawn(TurtleCursor& arbre, SDL_Surface* s, int32_t px, int32_t py) {
  SDL_FillRect(s, nullptr, 0);
  drawFigure(s, arbre, kPalette, px, py);
  return {pixels(s), arbre.selected};
}

}  // namespace

TEST_F(ViewerFill, SkippingSquaresOutsideTheSurfaceChangesNoPixelAndNoSelection) {
  // Steps of 20 (the viewer's), -10 (the figure grows downward), 60, and 2020, whose positions
  // pass 32767 and wrap in the square's 16 bits; clip rectangles that the figure crosses on
  // every side; pointers inside and outside squares.
  const std::vector<std::string> prefixes = {"", "______", "||||||||", std::string(400, '|')};
  const std::vector<SDL_Rect> clips = {
      {0, 0, 600, 400}, {250, 150, 100, 100}, {0, 0, 1, 1}, {599, 399, 1, 1}, {290, 0, 20, 400}};
  const std::vector<std::pair<int32_t, int32_t>> pointers = {{230, 215}, {0, 0},     {300, 281},
                                                             {282, 188}, {305, 286}, {599, 399}};
  SDL_Surface* plain = offScreen();
  SDL_Surface* culled = offScreen();
  ASSERT_NE(nullptr, plain);
  ASSERT_NE(nullptr, culled);
  int32_t outside = 0;
  for (const auto& prefix : prefixes) {
    for (int generations : {3, 9}) {
      TurtleCursor arbre = figure(prefix, generations);
      for (const auto& clip : clips) {
        SDL_Rect c = clip;
        SDL_SetClipRect(plain, &c);
        SDL_SetClipRect(culled, &c);
        for (const auto& [px, py] : pointers) {
          SCOPED_TRACE("step prefix of " + std::to_string(prefix.size()) + ", " +
                       std::to_string(generations) + " generations, clip at " +
                       std::to_string(clip.x) + "," + std::to_string(clip.y) + ", pointer " +
                       std::to_string(px) + "," + std::to_string(py));
          const Outcome expected = plainFill(arbre, plain, px, py);
          const Outcome got = drawn(arbre, culled, px, py);
          ASSERT_EQ(expected.selected, got.selected);
          ASSERT_TRUE(expected.pixels == got.pixels);
          outside += expected.outside;
        }
      }
    }
  }
  EXPECT_GT(outside, 100000);  // the shortcut was taken often
  SDL_FreeSurface(plain);
  SDL_FreeSurface(culled);
}

TEST_F(ViewerFill, DrawPixelsDrawsWhatDrawFigureDraws) {
  // The rasterizer on 8- and 32-bit pixels, its rows a pitch apart, against SDL_FillRect: figures
  // that cross every edge of the surface and whose positions wrap in 16 bits, squares clipped to
  // any width, the pointer in a bud, in segments and outside every square.
  constexpr uint32_t kBackground = 40;
  const std::vector<std::pair<int32_t, int32_t>> pointers = {{230, 215}, {282, 188}, {0, 0}};
  for (int depth : {8, 32}) {
    SDL_Surface* filled = offScreen(depth);
    SDL_Surface* rastered = offScreen(depth);
    ASSERT_NE(nullptr, filled);
    ASSERT_NE(nullptr, rastered);
    for (const std::string& prefix : {std::string(), std::string("______"), std::string("+|"),
                                      std::string("-||"), std::string(400, '|')}) {
      for (int generations : {3, 9}) {
        TurtleCursor arbre = figure(prefix, generations);
        for (const auto& [px, py] : pointers) {
          SCOPED_TRACE(std::to_string(depth) + " bits, prefix of " + std::to_string(prefix.size()) +
                       ", " + std::to_string(generations) + " generations, pointer " +
                       std::to_string(px) + "," + std::to_string(py));
          SDL_FillRect(filled, nullptr, kBackground);
          drawFigure(filled, arbre, kPalette, px, py);
          const int32_t selected = arbre.selected;
          SDL_FillRect(rastered, nullptr, 0);
          drawPixels(rastered, arbre, kPalette, kBackground, px, py);
          ASSERT_EQ(selected, arbre.selected);
          ASSERT_TRUE(pixels(filled) == pixels(rastered));
        }
      }
    }
    SDL_FreeSurface(filled);
    SDL_FreeSurface(rastered);
  }
}

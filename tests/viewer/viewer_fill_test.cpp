// Tests of a frame's pixels: the explorer's frame painted from the front on 8- and 32-bit
// surfaces, against every square filled whole by SDL_FillRect in word order, which clips it itself.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "adapter.h"
#include "explorer.h"
#include "frame.h"
#include "turtle_cursor.h"
#include "words.h"

namespace {

constexpr Palette kPalette{10, 20, 30, 40};

class ViewerFill : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
  }
  static void TearDownTestSuite() { SDL_Quit(); }
};

std::vector<uint8_t> pixels(const SDL_Surface* s) {
  const auto* p = static_cast<const uint8_t*>(s->pixels);
  return {p, p + static_cast<std::size_t>(s->pitch) * static_cast<std::size_t>(s->h)};
}

// Every drawable symbol's square, its corner cut to 16 bits, filled whole in word order; red
// where it holds the pointer.
void fillEverySquare(SDL_Surface* surface, TurtleCursor& cursor, ScreenPoint pointer) {
  const Figure figure(cursor);
  for (const Stroke& stroke : figure.strokes()) {
    const Shape shape = CutSquares{}.place(stroke);
    SDL_Rect rect{static_cast<Sint16>(shape.p0.x), static_cast<Sint16>(shape.p0.y),
                  static_cast<Uint16>(shape.p1.x - shape.p0.x),
                  static_cast<Uint16>(shape.p1.y - shape.p0.y)};
    const uint32_t colour = shapeHolds(shape, 1, pointer) ? kPalette.selection
                            : stroke.bud                  ? kPalette.bud
                                                          : kPalette.segment;
    SDL_FillRect(surface, &rect, colour);
  }
}

}  // namespace

TEST_F(ViewerFill, TheRasterDrawsWhatSdlFillsAtEveryEdgeAndDepth) {
  // Steps of 20 (the viewer's), -10 (the figure grows downward), and 2020, whose positions pass
  // 32767 and wrap in the square's 16 bits, so that squares are cut by every edge; pointers in a
  // bud, in segments, outside every square and outside the window.
  const std::vector<std::pair<int32_t, int32_t>> pointers = {
      {230, 215}, {282, 188}, {0, 0}, {305, 286}, {700, 500}};
  for (int depth : {8, 32}) {
    SDL_Surface* filled = SDL_CreateRGBSurface(SDL_SWSURFACE, 600, 400, depth, 0, 0, 0, 0);
    SDL_Surface* rastered = SDL_CreateRGBSurface(SDL_SWSURFACE, 600, 400, depth, 0, 0, 0, 0);
    ASSERT_NE(nullptr, filled);
    ASSERT_NE(nullptr, rastered);
    for (const std::string& prefix : {std::string(), std::string("______"), std::string("+|"),
                                      std::string("-||"), std::string(400, '|')}) {
      for (int generations : {3, 9}) {
        TurtleCursor cursor = grownCursor(generations);
        cursor.word = prefix + cursor.word;
        Session session{Options(), cursor, PressHistory(), View()};
        Explorer explorer(session, 600, 400, false);
        for (const auto& [px, py] : pointers) {
          SCOPED_TRACE(std::to_string(depth) + " bits, prefix of " + std::to_string(prefix.size()) +
                       ", " + std::to_string(generations) + " generations, pointer " +
                       std::to_string(px) + "," + std::to_string(py));
          SDL_FillRect(filled, nullptr, 40);
          fillEverySquare(filled, cursor, {px, py});
          UserInput motion;
          motion.type = UserInput::Type::kMotion;
          motion.x = px;
          motion.y = py;
          explorer.handle(motion);
          drawFrame(rastered, explorer, kPalette);
          ASSERT_TRUE(pixels(filled) == pixels(rastered));
        }
      }
    }
    SDL_FreeSurface(filled);
    SDL_FreeSurface(rastered);
  }
}

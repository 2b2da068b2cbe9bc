// The page's drawing: the figure rasterized into the screen's pixels, one image per frame.
#include "pixel_pass.h"

#include <optional>

void drawPixels(SDL_Surface* screen, TurtleCursor& cursor, const Palette& palette,
                uint32_t background, int32_t px, int32_t py, const View* view, const Style& style) {
  drawOnPixels(screen, std::optional<uint32_t>(background), [&](auto&& fill) {
    walkFrame(cursor, palette, view, style, screen->w, screen->h, px, py, fill);
  });
}

void drawExplorerPixels(SDL_Surface* screen, Explorer& explorer, const Palette& palette,
                        uint32_t background) {
  drawOnPixels(screen, std::optional<uint32_t>(background),
               [&](auto&& fill) { explorer.draw(palette, fill); });
}

void runPixelPass(SDL_Surface* screen, const Palette& palette, uint32_t background, Input& input,
                  TurtleCursor& cursor, PressHistory* history, const View* view) {
  drainEvents(input, cursor, history, view);
  drawPixels(screen, cursor, palette, background, input.pointerX, input.pointerY, view);
}

// Writes the frame that the desktop drawing makes for a word and a pointer: one byte per pixel,
// row by row, 0 black, 1 brown, 2 red, 3 green. The web test compares the page's canvas with it.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "turtle_cursor.h"
#include "viewer.h"
#include "words.h"

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: web_reference WORD POINTER_X POINTER_Y FILE\n");
    return 2;
  }
  TurtleCursor arbre = cursorWith(argv[1]);
  // An off-screen 600x400 8-bit surface whose pixel values are the shades themselves.
  SDL_Surface* frame = SDL_CreateRGBSurface(SDL_SWSURFACE, 600, 400, 8, 0, 0, 0, 0);
  if (frame == nullptr) {
    std::fprintf(stderr, "web_reference: no surface: %s\n", SDL_GetError());
    return 1;
  }
  SDL_FillRect(frame, nullptr, 0);
  drawFigure(frame, arbre, Palette{1, 2, 3}, std::atoi(argv[2]), std::atoi(argv[3]));

  std::FILE* out = std::fopen(argv[4], "wb");
  bool written = out != nullptr;
  for (int y = 0; written && y < frame->h; ++y) {
    const auto* row = static_cast<const unsigned char*>(frame->pixels) + y * frame->pitch;
    written =
        std::fwrite(row, 1, static_cast<size_t>(frame->w), out) == static_cast<size_t>(frame->w);
  }
  if (out != nullptr && std::fclose(out) != 0) written = false;
  SDL_FreeSurface(frame);
  if (!written) {
    std::fprintf(stderr, "web_reference: cannot write %s\n", argv[4]);
    return 1;
  }
  return 0;
}

// lsystem-viewer: opens the window, grows the built-in grammar and redraws it without pause.
#include <SDL.h>

#include <cstdio>
#include <string>

#include "turtle_cursor.h"
#include "viewer.h"

int main(int argc, char* argv[]) {
  (void)argc;  // nothing is configured from the command line
  (void)argv;
  std::string line = "{o:a[+ao]-ao;}ao";
  guardStandardStreams();
  SDL_Init(SDL_INIT_EVERYTHING);
  SDL_Surface* screen = SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
  if (screen == nullptr) {
    std::fprintf(stderr, "lsystem-viewer: cannot open a 600x400 8-bit window: %s\n",
                 SDL_GetError());
    SDL_Quit();
    return 1;
  }
  Input input;
  const Palette palette = mapPalette(screen->format);

  TurtleCursor arbre(line, 300, 300);
  for (int i = 0; i < 3; ++i) arbre.grow();
  arbre.printWord();

  while (!input.quit) runPass(screen, palette, input, arbre);

  SDL_Quit();
  return 0;
}

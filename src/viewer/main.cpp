// lsystem-viewer: grows the grammar of the command line, prints the word, opens the window and
// redraws the figure without pause.
#include <SDL.h>

#include <cstdio>
#include <optional>
#include <string>

#include "start.h"
#include "turtle_cursor.h"
#include "viewer.h"

int main(int argc, char* argv[]) {
  guardStandardStreams();
  Options options;
  std::optional<TurtleCursor> arbre;
  if (const std::optional<int> status = startFromCommandLine(argc, argv, options, arbre)) {
    return *status;
  }
  std::string error;
  SDL_Surface* screen = openWindow(options.width, options.height, error);
  if (screen == nullptr) {
    std::fprintf(stderr, "lsystem-viewer: %s\n", error.c_str());
    return kExitFailure;
  }
  Input input;
  const Palette palette = mapPalette(screen->format);
  arbre->printWord();
  showWordLength(*arbre);

  while (!input.quit) runPass(screen, palette, input, *arbre);

  SDL_Quit();
  return kExitDone;
}

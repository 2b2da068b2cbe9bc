// lsystem-viewer: grows the grammar of the command line, prints the word, opens the window and
// redraws the figure without pause; with --explore, only when something has changed.
#include <SDL.h>

#include <cstdio>
#include <optional>
#include <string>

#include "start.h"
#include "viewer.h"

int main(int argc, char* argv[]) {
  guardStandardStreams();
  std::optional<Session> session;
  if (const std::optional<int> status = startFromCommandLine(argc, argv, session)) {
    return *status;
  }
  const Options& options = session->options;
  std::string error;
  SDL_Surface* screen = openWindow(options.width, options.height, error, options.explore);
  if (screen == nullptr) {
    std::fprintf(stderr, "lsystem-viewer: %s\n", error.c_str());
    return kExitFailure;
  }
  Palette palette = mapPalette(screen->format);
  TurtleCursor& arbre = session->arbre;
  arbre.printWord();
  showWordLength(arbre, session->shownView());

  int status = kExitDone;
  if (options.explore) {
    Explorer explorer(*session, screen->w, screen->h, true);
    status = runExplore(explorer, screen, palette);
  } else {
    Input input;
    while (!input.quit) runPass(screen, palette, input, arbre, session->shownView());
  }

  SDL_Quit();
  return status;
}

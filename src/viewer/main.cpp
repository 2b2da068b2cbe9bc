// lsystem-viewer: grows the grammar of the command line, prints the word, opens the window and
// redraws the figure without pause; with --explore, only when something has changed.
#include <SDL.h>

#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "report.h"
#include "start.h"
#include "viewer.h"

namespace {

// The window's part of the program: its loop, until a key, a close or a failure ends it.
int runWindow(Session& session) {
  const Options& options = session.options;
  std::string error;
  SDL_Surface* screen = openWindow(options.width, options.height, error, options.explore);
  if (screen == nullptr) return failure(error);
  Palette palette = mapPalette(screen->format);
  TurtleCursor& arbre = session.cursor;
  arbre.printWord();
  // Every word printed must get there: a lost one ends the program with status 1.
  Input input;
  noteLostOutput(input);
  showWordLength(arbre, session.shownView());

  int status = kExitDone;
  if (!input.quit && options.explore) {
    Explorer explorer(session, screen->w, screen->h, true);
    showTitle(explorer.title());  // with the angle, when it was given
    status = runExplore(explorer, screen, palette);
  } else {
    const Style style = figureStyle(options);
    while (!input.quit) runPass(screen, palette, input, arbre, session.shownView(), style);
  }
  SDL_Quit();
  return input.lostOutput.empty() ? status : failure(input.lostOutput);
}

}  // namespace

int main(int argc, char* argv[]) {
  guardStandardStreams();
  // The word, the turtle's branches and the kept shapes all grow with the figure: wherever
  // memory runs out, at the start, in a press or in a frame, the program says so and ends.
  try {
    std::optional<Session> session;
    if (const std::optional<int> status = startFromCommandLine(argc, argv, session)) {
      return *status;
    }
    return runWindow(*session);
  } catch (const std::bad_alloc&) {
    SDL_Quit();
    return failure("out of memory");
  }
}

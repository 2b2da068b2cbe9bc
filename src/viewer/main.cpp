// lsystem-viewer: grows the grammar of the command line, prints the word, and draws the figure
// in a window, or with --svg writes it to a file instead.
#include <SDL.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "adapter.h"
#include "output.h"
#include "progress.h"
#include "save.h"
#include "start.h"
#include "window.h"

namespace {

// --svg: the figure written to its file, then the start word printed; no window.
int writeSvgFile(Session& session) {
  const Options& options = session.options;
  const std::string error = saveSvg(options.svgFile, session.shownFigure(), options.width,
                                    options.height, figureStyle(options));
  if (!error.empty()) failure(error);
  session.cursor.printWord();
  if (std::optional<std::string> lost = standardOutputError()) return failure(*lost);
  return error.empty() ? kExitDone : kExitFailure;
}

// The window's part of the program: its word printed, then its loop until a key, a close or a
// failure ends it.
int runWindow(Session& session) {
  const Options& options = session.options;
  std::string error;
  SDL_Surface* screen = openWindow(options.width, options.height, error, options.explore);
  if (screen == nullptr) return failure(error);
  session.cursor.printWord();
  // Every word printed must get there: a lost one ends the program with status 1.
  std::optional<std::string> lost = standardOutputError();
  const int status = lost ? failure(*lost) : DesktopWindow(session, screen).run();
  SDL_Quit();
  return status;
}

}  // namespace

int main(int argc, char* argv[]) {
  guardStandardStreams();
  // The word and the figure grow with every press: wherever memory runs out, at the start, in a
  // press or in a frame, the program says so and ends.
  try {
    std::optional<Start> start;
    {
      TerminalProgress progress;
      start.emplace(startFromArguments(std::vector<std::string>(argv + (argc > 0), argv + argc),
                                       [&progress](const auto& line) { progress.show(line); }));
    }
    if (const std::optional<int> status = report(*start)) return *status;
    Session& session = *start->session;
    return session.options.svgFile.empty() ? runWindow(session) : writeSvgFile(session);
  } catch (const std::exception& error) {
    SDL_Quit();
    return failure(error);
  }
}

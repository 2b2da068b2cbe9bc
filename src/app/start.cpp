// The program's start without SDL, in order: the command line, --help and --version, the
// grammar, the generations and the replayed presses, the fit, and --svg.
#include "start.h"

#include <cstdio>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "growth.h"
#include "line.h"
#include "progress.h"
#include "report.h"
#include "svg_mode.h"
#include "work.h"

namespace {

// The cursor of the session, built from the options; the failure, or an empty string.
std::string buildSession(Options& options, std::optional<Session>& session) {
  try {
    TurtleCursor cursor = cursorOf(options);
    session.emplace(Session{std::move(options), std::move(cursor), PressHistory(), View()});
  } catch (const std::bad_alloc&) {
    return "out of memory while reading the grammar";
  }
  if (session->cursor.wordLength() > session->cursor.maxWordLength) {
    return "the axiom is longer than " + std::to_string(session->cursor.maxWordLength) + " symbols";
  }
  return "";
}

// Says so on standard error when the word draws nothing.
void warnIfNothingIsDrawn(const TurtleCursor& cursor, const Options& options) {
  for (const char symbol : cursor.word) {
    if (cursor.isBud(symbol) || cursor.isSegment(symbol)) return;
  }
  if (options.segments == "a" && options.buds == "o") {
    std::fputs(
        "lsystem-viewer: the word holds no 'a' and no 'o', so nothing is drawn: only 'a' (a "
        "segment) and 'o' (a bud) are drawn; other letters serve as variables (a grammar "
        "written with F needs --segments F)\n",
        stderr);
  } else {
    std::fprintf(stderr,
                 "lsystem-viewer: the word holds none of the segments %s and buds %s, so "
                 "nothing is drawn\n",
                 quote(options.segments).c_str(), quote(options.buds).c_str());
  }
}

// Says so on standard error when the start figure, drawn without --fit, reaches outside the
// window.
void warnIfOutsideTheWindow(TurtleCursor& cursor, const Options& options) {
  const Box box = drawnBox(cursor, figureStyle(options));
  if (box.empty() ||
      (box.minX >= 0 && box.minY >= 0 && box.maxX <= options.width && box.maxY <= options.height)) {
    return;
  }
  std::fprintf(stderr,
               "lsystem-viewer: the figure reaches outside the %dx%d window; --fit shows it "
               "whole\n",
               options.width, options.height);
}

}  // namespace

std::optional<int> startFromCommandLine(int argc, char* argv[], std::optional<Session>& session) {
  ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + (argc > 0), argv + argc));
  if (!parsed.error.empty()) return usageError(parsed.error);
  Options& options = parsed.options;
  if (options.help || options.version) {
    std::fputs((options.help ? helpText() : versionText()).c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
  }
  if (const std::string error = readGrammarFile(options); !error.empty()) return usageError(error);

  Progress progress;
  if (const std::string error = buildSession(options, session); !error.empty()) {
    return failure(error);
  }
  TurtleCursor& cursor = session->cursor;
  Work work(cursor.maxWordLength);
  const Options& o = session->options;
  if (const std::string error = growGenerations(cursor, o.generations, work, progress);
      !error.empty()) {
    return failure(error);
  }
  if (const std::string error = replayPresses(*session, work, progress); !error.empty()) {
    return failure(error);
  }
  warnIfNothingIsDrawn(cursor, o);
  if (!o.svgFile.empty()) return runSvgMode(*session);
  if (o.fit) {
    session->view = fitView(cursor, o.width, o.height, figureStyle(o));
  } else {
    warnIfOutsideTheWindow(cursor, o);
  }
  return std::nullopt;
}

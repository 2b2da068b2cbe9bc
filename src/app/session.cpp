// The session's cursor and style from the options, and the numbered save.
#include "session.h"

#include <cstring>

#include "command_line.h"
#include "save.h"

TurtleCursor cursorOf(const Options& options) {
  TurtleCursor cursor(options.grammar, options.originX, options.originY, options.step,
                      options.angle);
  cursor.maxWordLength = options.maxSymbols;
  cursor.seed = options.seed;
  cursor.setSymbols(options.segments, options.buds, options.moves);
  cursor.setStartHeading(options.heading);
  return cursor;
}

Style figureStyle(const Options& options) { return Style{options.lines, options.lineWidth}; }

std::string saveNumbered(Session& session) {
  std::string name;
  const std::string error =
      saveNumberedSvg("lsystem-viewer-", session.shownFigure(), session.options.width,
                      session.options.height, name, figureStyle(session.options));
  if (!error.empty()) return error;
  std::string again = commandLine(session);
  // A command line cannot carry a NUL byte, which a grammar read from a file may hold.
  if (std::memchr(session.options.grammar.data(), '\0', session.options.grammar.size())) {
    again += " (but the grammar holds a NUL byte, which a command line cannot carry)";
  }
  return "saved " + name + "; draw it again with: " + again;
}

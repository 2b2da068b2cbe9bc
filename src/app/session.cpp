// The session's cursor and style from the options, and the numbered save.
#include "session.h"

#include <cstring>

#include "angle.h"
#include "command_line.h"
#include "save.h"

namespace {

constexpr std::size_t kMaxGrammarArgument = 64 * 1024;  // longer, `s` saves the grammar in a file

// saveNumbered for a book's word: the word into lsystem-viewer-N.lsys beside the SVG, as its
// axiom, with the file's productions.
std::string saveBook(Session& session) {
  const TurtleCursor& cursor = session.cursor;
  const std::string text = session.options.book->saveText(cursor.modulesIn(0, cursor.word.size()));
  std::string name;
  const std::string error =
      saveNumberedSvg("lsystem-viewer-", session.shownFigure(), session.options.width,
                      session.options.height, name, figureStyle(session.options), nullptr, &text);
  if (!error.empty()) return error;
  const std::string bookFile = name.substr(0, name.size() - std::strlen(".svg")) + ".lsys";
  return "saved " + name + " and " + bookFile +
         "; draw it again with: " + commandLine(session, bookFile);
}

}  // namespace

TurtleCursor cursorOf(const Options& options) {
  TurtleCursor cursor(options.book ? std::string() : options.grammar, options.originX,
                      options.originY, 0, options.angle);
  if (options.book) cursor.setBook(options.book);
  cursor.origin.step = options.step;  // a whole number, or with lines a decimal
  cursor.maxWordLength = options.maxSymbols;
  cursor.seed = options.seed;
  cursor.setSymbols(options.segments, options.buds, options.moves);
  cursor.setStartHeading(options.heading);
  cursor.exactBranches = options.lines;
  return cursor;
}

std::string Session::angleText() const {
  if (angleTenths == 0) return options.angleText;
  const std::string given =
      options.angleText.empty() ? shortestDecimal(defaultDegrees()) : options.angleText;
  return addDegrees(given, angleTenths).value_or(given);
}

Style figureStyle(const Options& options) {
  return Style{options.lines, options.lineWidth, options.colours};
}

std::string saveNumbered(Session& session) {
  if (session.options.book) return saveBook(session);
  const std::string& grammar = session.options.grammar;
  // A command line cannot carry a NUL byte, and a shell refuses a long argument (128 KiB on
  // Linux): such a grammar goes into a file beside the SVG, for -f.
  const bool inFile =
      grammar.size() > kMaxGrammarArgument || grammar.find('\0') != std::string::npos;
  std::string name;
  const std::string error = saveNumberedSvg(
      "lsystem-viewer-", session.shownFigure(), session.options.width, session.options.height, name,
      figureStyle(session.options), inFile ? &grammar : nullptr);
  if (!error.empty()) return error;
  const std::string grammarFile =
      inFile ? name.substr(0, name.size() - std::strlen(".svg")) + ".grammar" : "";
  return "saved " + name + (inFile ? " and " + grammarFile : "") +
         "; draw it again with: " + commandLine(session, grammarFile);
}

// The program's start without SDL, in order: the command line, --help and --version, the
// grammar, the generations and the replayed presses, the fit, and what is worth saying.
#include "start.h"

#include <new>
#include <string>
#include <utility>

#include "press.h"
#include "work.h"

namespace {

Start failed(Start start, std::string note, int status = kExitFailure) {
  start.notes.push_back(std::move(note));
  start.usage = status == kExitUsage;
  start.status = status;
  start.session.reset();
  return start;
}

// The cursor of the session, built from the options; the failure, or an empty string.
std::string buildSession(Options& options, std::optional<Session>& session) {
  try {
    TurtleCursor cursor = cursorOf(options);
    session.emplace(Session{std::move(options), std::move(cursor), PressHistory(), View()});
  } catch (const std::bad_alloc& error) {
    return reasonOf(error) + " while reading the grammar";
  }
  if (session->cursor.wordLength() > session->cursor.maxWordLength) {
    return "the axiom is longer than " + std::to_string(session->cursor.maxWordLength) + " symbols";
  }
  return "";
}

// Says so when the word draws nothing.
std::optional<std::string> nothingDrawn(const TurtleCursor& cursor, const Options& options) {
  for (const char symbol : cursor.word) {
    if (cursor.isBud(symbol) || cursor.isSegment(symbol)) return std::nullopt;
  }
  if (options.segments == "a" && options.buds == "o") {
    return "the word holds no 'a' and no 'o', so nothing is drawn: only 'a' (a segment) and 'o' "
           "(a bud) are drawn; other letters serve as variables (a grammar written with F needs "
           "--segments F)";
  }
  return "the word holds none of the segments " + quote(options.segments) + " and buds " +
         quote(options.buds) + ", so nothing is drawn";
}

// Says so when the start figure, drawn without --fit, reaches outside the window.
std::optional<std::string> outsideTheWindow(const Box& box, const Options& options) {
  if (box.empty() ||
      (box.minX >= 0 && box.minY >= 0 && box.maxX <= options.width && box.maxY <= options.height)) {
    return std::nullopt;
  }
  return "the figure reaches outside the " + std::to_string(options.width) + "x" +
         std::to_string(options.height) + " window; --fit shows it whole";
}

}  // namespace

Start startFromArguments(const std::vector<std::string>& args, const Progress& progress) {
  Start start;
  ParsedOptions parsed = parseOptions(args);
  if (!parsed.error.empty()) return failed(std::move(start), parsed.error, kExitUsage);
  Options& options = parsed.options;
  if (options.help || options.version) {
    start.output = options.help ? helpText() : versionText();
    start.status = kExitDone;
    return start;
  }
  if (const std::string error = readGrammarFile(options); !error.empty()) {
    return failed(std::move(start), error, kExitUsage);
  }
  if (const std::string error = buildSession(options, start.session); !error.empty()) {
    return failed(std::move(start), error);
  }
  Session& session = *start.session;
  // The presses made after the start count on against the same budget.
  Work& work = session.history.work();
  work = Work(session.cursor.maxWordLength);
  const Options& o = session.options;
  if (std::string error = growGenerations(session.cursor, o.generations, work, progress);
      !error.empty()) {
    return failed(std::move(start), std::move(error));
  }
  if (std::string error = replayPresses(session, progress); !error.empty()) {
    return failed(std::move(start), std::move(error));
  }
  if (std::optional<std::string> note = nothingDrawn(session.cursor, o)) {
    start.notes.push_back(std::move(*note));
  }
  if (!o.svgFile.empty()) return start;
  const Style style = figureStyle(o);
  const Figure& figure = session.shownFigure();
  if (o.fit) {
    session.view = fitView(figure, o.width, o.height, style);
  } else if (std::optional<std::string> note = outsideTheWindow(drawnBox(figure, style), o)) {
    start.notes.push_back(std::move(*note));
  }
  return start;
}

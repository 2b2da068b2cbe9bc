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

// A line for each rule whose key is longer than one byte, which never takes effect, up to
// kMostNamed of them; one that looks like the book's notation points to --book.
void ineffectiveRules(const TurtleCursor& cursor, std::vector<std::string>& notes) {
  constexpr std::size_t kMostNamed = 10;
  std::size_t count = 0;
  for (std::size_t block = 0; block < cursor.ruleSets.size(); ++block) {
    for (const auto& [key, replacement] : cursor.ruleSets[block]) {
      if (key.size() <= 1) continue;
      if (++count > kMostNamed) continue;
      std::string note = "the rule " + quote(key) + " of block " + std::to_string(block + 1) +
                         " never takes effect: its key is longer than one byte";
      if (key.find_first_of("<>(") != std::string::npos) {
        note += " (an L-system in the book's notation is read with --book FILE)";
      }
      notes.push_back(std::move(note));
    }
  }
  if (count > kMostNamed) {
    notes.push_back("and " + std::to_string(count - kMostNamed) +
                    " more rules whose keys are longer than one byte");
  }
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
  bool badFile = false;
  if (const std::string error = readBookFile(options, badFile); !error.empty()) {
    start = failed(std::move(start), error, kExitUsage);
    start.usage = !badFile;  // a bad file is its one line, not a bad command line
    return start;
  }
  if (const std::string error = buildSession(options, start.session); !error.empty()) {
    return failed(std::move(start), error);
  }
  Session& session = *start.session;
  ineffectiveRules(session.cursor, start.notes);
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
  const Figure& figure = session.shownFigure();
  if (const std::size_t n = figure.unplaced(); n != 0) {
    start.notes.push_back((n == 1 ? std::string("1 segment or bud is")
                                  : std::to_string(n) + " segments and buds are") +
                          " not drawn: a parameter takes the turtle to a point that is not finite");
  }
  if (!o.svgFile.empty()) return start;
  const Style style = figureStyle(o);
  if (o.fit) {
    session.view = fitView(figure, o.width, o.height, style);
  } else if (std::optional<std::string> note = outsideTheWindow(drawnBox(figure, style), o)) {
    start.notes.push_back(std::move(*note));
  }
  return start;
}

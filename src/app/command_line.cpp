// The command line that draws a word again: the options that differ from their defaults, the
// presses, and each word quoted for a POSIX shell.
#include "command_line.h"

#include <algorithm>
#include <unordered_set>

std::string shellQuote(const std::string& word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                          "0123456789@%+=:,./_-") == std::string::npos;
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string pressList(const std::vector<int32_t>& presses) {
  std::string list;
  for (const int32_t index : presses) {
    if (!list.empty()) list += ',';
    list += index == kGrowAll ? "g" : std::to_string(index);
  }
  return list;
}

std::string hereDocument(const std::string& text) {
  std::unordered_set<std::string> taken;  // the lines that could be a delimiter
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (text.compare(start, 3, "EOF") == 0) taken.insert(text.substr(start, end - start));
    start = end + 1;
  }
  std::string delimiter = "EOF";
  for (uint64_t n = 1; taken.count(delimiter) != 0; ++n) delimiter = "EOF" + std::to_string(n);
  const bool ended = text.empty() || text.back() == '\n';
  return " <<'" + delimiter + "'\n" + text + (ended ? "" : "\n") + delimiter;
}

std::string commandLine(const Session& session, const std::string& grammarFile,
                        const std::string* bookText) {
  const Options& o = session.options;
  const Options defaults = defaultsOf(o);
  // A book's saved file holds the word itself as its axiom: no generations, no presses.
  const bool savedBook = o.book && !grammarFile.empty();
  const bool bookOnInput = o.book && !savedBook && bookText != nullptr;
  std::string line = "lsystem-viewer";
  const auto add = [&line](const char* option, const std::string& value) {
    line += std::string(" ") + option + " " + shellQuote(value);
  };
  if (o.book) {
    add("--book", savedBook ? grammarFile : bookOnInput ? "-" : o.bookFile);
  } else if (!grammarFile.empty()) {
    add("-f", grammarFile);
  } else if (o.grammar != defaults.grammar) {
    add("-g", o.grammar);
  }
  if (!savedBook && (o.book ? o.generationsGiven : o.generations != defaults.generations)) {
    add("-n", std::to_string(o.generations));
  }
  if (const std::string angle = session.angleText(); !angle.empty()) add("-a", angle);
  if (!o.stepText.empty()) add("-s", o.stepText);
  if (o.originX != defaults.originX || o.originY != defaults.originY) {
    add("--origin", std::to_string(o.originX) + "," + std::to_string(o.originY));
  }
  if (!o.headingText.empty()) add("--heading", o.headingText);
  if (o.segments != defaults.segments) add("--segments", o.segments);
  if (o.buds != defaults.buds) add("--buds", o.buds);
  if (o.moves != defaults.moves) add("--moves", o.moves);
  if (o.width != defaults.width || o.height != defaults.height) {
    add("--size", std::to_string(o.width) + "x" + std::to_string(o.height));
  }
  if (o.seed) add("--stochastic", std::to_string(*o.seed));
  if (o.fit) line += " --fit";
  if (o.explore) line += " --explore";
  if (o.lines != defaults.lines) line += " --lines";
  if (o.lineWidth != defaults.lineWidth) add("--width", std::to_string(o.lineWidth));
  if (o.paper) line += " --paper";
  if (!o.coloursText.empty()) add("--colours", o.coloursText);
  if (!savedBook && !session.history.presses().empty())
    add("--presses", pressList(session.history.presses()));
  if (bookOnInput) line += hereDocument(*bookText);
  return line;
}

// The program's start without SDL: options, the grown cursor, its replayed presses, --help,
// --version and --svg.
#include "start.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "output.h"
#include "save.h"

namespace {

int usageError(const std::string& message) {
  std::fprintf(stderr, "lsystem-viewer: %s\nTry 'lsystem-viewer --help'.\n", message.c_str());
  return kExitUsage;
}

int failure(const std::string& message) {
  std::fprintf(stderr, "lsystem-viewer: %s\n", message.c_str());
  return kExitFailure;
}

// One line on standard error, rewritten in place, while a long start goes on: only on a
// terminal, only once the start has taken half a second, at most ten times a second, and
// cleared when the start is done.
class Progress {
 public:
  Progress() : terminal_(isatty(STDERR_FILENO) == 1), next_(Clock::now() + kFirst) {}
  ~Progress() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Shows what text() gives, if it is time to.
  template <class Text>
  void show(Text&& text) {
    if (!terminal_ || Clock::now() < next_) return;
    std::fprintf(stderr, "\r\033[Klsystem-viewer: %s", text().c_str());
    std::fflush(stderr);
    shown_ = true;
    next_ = Clock::now() + kEvery;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFirst{500};
  static constexpr std::chrono::milliseconds kEvery{100};
  bool terminal_;
  bool shown_ = false;
  Clock::time_point next_;
};

// The start's work, counted in symbols read: each generation and each replayed press reads the
// whole word and writes a new one, so that many of them on a long word take long even below the
// word's limit. Past 32 times the limit the start is refused: with the page's limit, a link can
// never keep the tab busy for more than a moment.
class Work {
 public:
  explicit Work(int32_t limit) : budget_(uint64_t{32} * static_cast<uint64_t>(limit)) {}

  // Counts one more rewrite of the word; false when it would pass the budget.
  bool allows(const TurtleCursor& arbre) {
    done_ += static_cast<uint64_t>(arbre.wordLength());
    return done_ <= budget_;
  }
  // What a refusal says after the generation or press that it names.
  std::string refusal() const {
    return " would bring the start's work past " + std::to_string(budget_) +
           " symbols, 32 times the word's limit";
  }

 private:
  uint64_t budget_;
  uint64_t done_ = 0;
};

// What a refused growth says, after what refused it.
std::string refusal(const std::exception& error) {
  if (dynamic_cast<const WordLimitError*>(&error) != nullptr ||
      dynamic_cast<const PressLimitError*>(&error) != nullptr) {
    return error.what();
  }
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "out of memory";
  return "the word would be too long for this machine";
}

// Grows the start word options.generations times; the failure, or an empty string.
std::string grow(TurtleCursor& arbre, int32_t generations, Work& work, Progress& progress) {
  for (int32_t generation = 1; generation <= generations; ++generation) {
    progress.show([&] {
      return "generation " + std::to_string(generation) + " of " + std::to_string(generations) +
             ", " + std::to_string(arbre.wordLength()) + " symbols so far";
    });
    const std::string at = "generation " + std::to_string(generation);
    if (!work.allows(arbre)) return at + work.refusal();
    try {
      arbre.grow();
    } catch (const WordLimitError&) {
      return at + " would make the word longer than " + std::to_string(arbre.maxWordLength) +
             " symbols";
    } catch (const std::length_error&) {
      return at + " would make the word too long for this machine";
    } catch (const std::bad_alloc&) {
      return "out of memory in " + at;
    }
  }
  return "";
}

// Replays the presses of the command line through the history, so that they can be taken back;
// the failure, or an empty string.
std::string replay(Session& session, Work& work, Progress& progress) {
  const std::vector<int32_t>& presses = session.options.presses;
  TurtleCursor& arbre = session.arbre;
  for (std::size_t n = 0; n < presses.size(); ++n) {
    progress.show([&] {
      return "press " + std::to_string(n + 1) + " of " + std::to_string(presses.size()) + ", " +
             std::to_string(arbre.wordLength()) + " symbols so far";
    });
    const int32_t index = presses[n];
    const std::string place = "press " + std::to_string(n + 1) + " of --presses, at index " +
                              std::to_string(index) + ", ";
    if (index >= arbre.wordLength()) {
      return place + "finds no symbol: the word has " + std::to_string(arbre.wordLength()) +
             " symbols";
    }
    const char symbol = arbre.symbolAt(index);
    if (symbol != 'o' && symbol != 'a') {
      return place + "finds " + quote(std::string(1, symbol)) +
             ", which is neither a bud 'o' nor a segment 'a'";
    }
    if (!work.allows(arbre)) {
      return "press " + std::to_string(n + 1) + " of --presses" + work.refusal();
    }
    try {
      session.history.pressAt(arbre, index);
    } catch (const std::exception& error) {
      return place + "is refused: " + refusal(error);
    }
  }
  return "";
}

bool drawsNothing(const std::string& word) { return word.find_first_of("ao") == std::string::npos; }

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
  try {
    TurtleCursor arbre(options.grammar, options.originX, options.originY, options.step,
                       options.angle);
    arbre.maxWordLength = options.maxSymbols;
    arbre.seed = options.seed;
    session.emplace(Session{std::move(options), std::move(arbre), PressHistory(), View()});
  } catch (const std::bad_alloc&) {
    return failure("out of memory while reading the grammar");
  }
  TurtleCursor& arbre = session->arbre;
  const Options& o = session->options;
  if (arbre.wordLength() > arbre.maxWordLength) {
    return failure("the axiom is longer than " + std::to_string(arbre.maxWordLength) + " symbols");
  }
  Work work(arbre.maxWordLength);
  if (std::string error = grow(arbre, o.generations, work, progress); !error.empty()) {
    return failure(error);
  }
  if (std::string error = replay(*session, work, progress); !error.empty()) {
    return failure(error);
  }

  if (drawsNothing(arbre.word)) {
    std::fputs(
        "lsystem-viewer: the word holds no 'a' and no 'o', so nothing is drawn: only 'a' (a "
        "segment) and 'o' (a bud) are drawn; other letters serve as variables\n",
        stderr);
  }
  if (o.fit) session->view = fitView(arbre, o.width, o.height);
  if (o.svgFile.empty()) return std::nullopt;
  arbre.printWord();
  // Read at once, while errno still tells why; the SVG is written all the same.
  const std::optional<std::string> lost = standardOutputError();
  if (lost) failure(*lost);
  const std::string error = saveSvg(o.svgFile, arbre, o.width, o.height);
  if (!error.empty()) return failure(error);
  return lost ? kExitFailure : kExitDone;
}

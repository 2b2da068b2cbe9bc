// The program's start without SDL: options, the grown cursor, --help, --version and --svg.
#include "start.h"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

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

}  // namespace

std::optional<int> startFromCommandLine(int argc, char* argv[], Options& options,
                                        std::optional<TurtleCursor>& arbre) {
  ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + (argc > 0), argv + argc));
  if (!parsed.error.empty()) return usageError(parsed.error);
  options = std::move(parsed.options);
  if (options.help || options.version) {
    std::fputs((options.help ? helpText() : versionText()).c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitDone : kExitFailure;
  }
  if (const std::string error = readGrammarFile(options); !error.empty()) return usageError(error);

  int generation = 0;
  try {
    arbre.emplace(options.grammar, options.originX, options.originY, options.step, options.angle);
    for (generation = 1; generation <= options.generations; ++generation) arbre->grow();
  } catch (const WordLimitError&) {
    return failure("generation " + std::to_string(generation) +
                   " would make the word longer than " + std::to_string(arbre->maxWordLength) +
                   " symbols");
  } catch (const std::length_error&) {
    return failure("generation " + std::to_string(generation) +
                   " would make the word too long for this machine");
  } catch (const std::bad_alloc&) {
    return failure(generation == 0 ? "out of memory while reading the grammar"
                                   : "out of memory in generation " + std::to_string(generation));
  }

  if (options.svgFile.empty()) return std::nullopt;
  arbre->printWord();
  const std::string error = saveSvg(options.svgFile, *arbre, options.width, options.height);
  return error.empty() ? kExitDone : failure(error);
}

// The command line parsed into Options: getopt_long over the table of options, each value
// checked and set, and the grammar's file read.
#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "angle.h"
#include "numbers.h"
#include "option_table.h"
#include "style.h"

namespace {

using namespace options_table;

const OptionInfo* findOption(int code) {
  for (const OptionInfo& option : kOptions) {
    if (option.code == code) return &option;
  }
  return nullptr;
}

// "--name" for an option met in its long form, "-c" for one met in its short form.
std::string spelled(const OptionInfo& option, bool longForm) {
  return longForm ? std::string("--") + option.name
                  : std::string{'-', static_cast<char>(option.code)};
}

// offset + DEGREES * pi / 180, as radiansOfDegrees converts it; false when it is too large.
bool radiansOf(const std::string& degreesText, double offset, float& out) {
  const std::optional<float> radians =
      radiansOfDegrees(std::strtod(degreesText.c_str(), nullptr), offset);
  if (radians) out = *radians;
  return radians.has_value();
}

// A byte as a message shows it: in quotes when visible, else its value.
std::string byteName(unsigned char byte) {
  if (byte > 32 && byte < 127) return std::string{'\'', static_cast<char>(byte), '\''};
  static const char hex[] = "0123456789abcdef";
  return std::string("byte 0x") + hex[byte >> 4] + hex[byte & 15];
}

// A set of symbols: at most kMaxSymbolBytes bytes from '!' to '~', each once, none a command of
// the turtle or a byte of the grammar's blocks. The error's ending, or an empty string.
std::string checkSymbols(std::string_view bytes) {
  if (bytes.size() > kMaxSymbolBytes) {
    return " holds more than " + std::to_string(kMaxSymbolBytes) + " bytes";
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte <= 32 || byte >= 127) {
      return " holds " + byteName(byte) + ", which is not a visible ASCII character";
    }
    if (std::string_view("+-[]_|{}:;").find(bytes[i]) != std::string_view::npos) {
      return " holds " + byteName(byte) + ", one of + - [ ] _ | { } : ; which cannot be drawn";
    }
    if (bytes.find(bytes[i]) < i) return " holds " + byteName(byte) + " twice";
  }
  return "";
}

// The error when two of the sets share a byte, or an empty string.
std::string checkDisjoint(const Options& options) {
  const Options defaults = defaultsOf(options);
  const struct {
    const char* name;
    const std::string& bytes;
    bool byDefault;
  } sets[] = {{"--segments", options.segments, options.segments == defaults.segments},
              {"--buds", options.buds, options.buds == defaults.buds},
              {"--moves", options.moves, options.moves == defaults.moves}};
  for (std::size_t i = 0; i < 3; ++i) {
    for (std::size_t j = i + 1; j < 3; ++j) {
      for (const char byte : sets[i].bytes) {
        if (sets[j].bytes.find(byte) == std::string::npos) continue;
        std::string error = std::string("options '") + sets[i].name + "' and '" + sets[j].name +
                            "' both hold " + byteName(static_cast<unsigned char>(byte));
        for (const auto& set : {sets[i], sets[j]}) {
          if (set.byDefault) error += std::string(" (the default of '") + set.name + "')";
        }
        return error;
      }
    }
  }
  return "";
}

// The options that take an integer, each with its range and its field.
struct IntegerOption {
  int code;
  int64_t min;
  int64_t max;
  int32_t Options::*field;
};
constexpr IntegerOption kIntegers[] = {
    {'n', 0, 1000, &Options::generations},
    {kWidth, 1, kMaxLineWidth, &Options::lineWidth},
    {kMaxSymbols, 1, INT32_MAX, &Options::maxSymbols},
};

// Sets an option whose value is one or two numbers; the error message, or an empty string.
std::string applyNumber(int code, const std::string& name, const std::string& value,
                        Options& options) {
  const std::string quoted = name + " " + quote(value);
  for (const IntegerOption& integer : kIntegers) {
    if (integer.code != code) continue;
    if (parseInteger(value, integer.min, integer.max, options.*integer.field)) return "";
    return quoted + " is not an integer from " + std::to_string(integer.min) + " to " +
           std::to_string(integer.max);
  }
  switch (code) {
    case kOrigin:
      return parsePair(value, ',', -kMaxCoordinate, kMaxCoordinate, options.originX,
                       options.originY)
                 ? ""
                 : quoted + " is not X,Y with two integers from " +
                       std::to_string(-kMaxCoordinate) + " to " + std::to_string(kMaxCoordinate);
    case kSize:
      return parsePair(value, 'x', 16, 4096, options.width, options.height)
                 ? ""
                 : quoted + " is not WIDTHxHEIGHT with each from 16 to 4096";
    case kStochastic: {
      uint64_t seed = 0;
      if (!parseUnsigned(value, seed)) {
        return quoted + " is not an integer from 0 to " + std::to_string(UINT64_MAX);
      }
      options.seed = seed;
      return "";
    }
    default:
      return "";
  }
}

// Three colours #rrggbb separated by commas, as the background's, the segments' and the buds'.
bool parseColours(const std::string& text, Colours& out) {
  uint32_t values[3];
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i, at += 8) {
    if (text.size() < at + 7 || text[at] != '#' ||
        (i < 2 && text.size() > at + 7 && text[at + 7] != ',')) {
      return false;
    }
    uint32_t value = 0;
    const char* digits = text.data() + at + 1;
    const auto [end, error] = std::from_chars(digits, digits + 6, value, 16);
    if (error != std::errc() || end != digits + 6) return false;
    values[i] = value;
  }
  if (at - 1 != text.size()) return false;
  out = Colours{values[0], values[1], values[2]};
  return true;
}

// The step: a whole number within the start point's range, or a decimal above 0 that only the
// line style takes (checkStep sees to that once every option is read).
std::string applyStep(const std::string& quoted, const std::string& value, Options& options) {
  int32_t whole = 0;
  if (parseInteger(value, -kMaxCoordinate, kMaxCoordinate, whole)) {
    options.step = static_cast<float>(whole);
  } else {
    const double decimal = isDecimal(value) ? std::strtod(value.c_str(), nullptr) : 0.0;
    options.step = std::strtof(value.c_str(), nullptr);
    if (!(decimal > 0 && decimal <= kMaxDecimalStep && options.step > 0)) {
      return quoted + " is not an integer from " + std::to_string(-kMaxCoordinate) + " to " +
             std::to_string(kMaxCoordinate) + ", nor with --lines a decimal above 0 up to " +
             std::to_string(static_cast<int64_t>(kMaxDecimalStep));
    }
  }
  options.stepText = value;
  return "";
}

// Sets the option's value into options; the error message, or an empty string.
std::string applyValue(const OptionInfo& option, const std::string& name, const std::string& value,
                       Options& options) {
  const std::string quoted = name + " " + quote(value);
  switch (option.code) {
    case 'g':
      if (value.size() > kMaxGrammarBytes) {
        return name + ": the grammar is longer than " + std::to_string(kMaxGrammarBytes) + " bytes";
      }
      options.grammar = value;
      return "";
    case 'f':
    case kBook:
    case kSvg:
      if (value.empty()) return name + ": the file name is empty";
      (option.code == 'f'     ? options.grammarFile
       : option.code == kBook ? options.bookFile
                              : options.svgFile) = value;
      return "";
    case 'a':
    case kHeading: {
      const bool angle = option.code == 'a';
      if (!isDecimal(value)) return quoted + " is not a decimal number of degrees";
      if (!radiansOf(value, angle ? 0.0 : static_cast<double>(kUpHeading),
                     angle ? options.angle : options.heading)) {
        return quoted + " is too large";
      }
      (angle ? options.angleText : options.headingText) = value;
      return "";
    }
    case kSegments:
    case kBuds:
    case kMoves: {
      if (const std::string error = checkSymbols(value); !error.empty()) return quoted + error;
      (option.code == kSegments ? options.segments
       : option.code == kBuds   ? options.buds
                                : options.moves) = value;
      return "";
    }
    case kPresses: {
      const std::string error = parsePresses(value, options.presses);
      return error.empty() ? "" : quoted + error;
    }
    case 's':
      return applyStep(quoted, value, options);
    case kColours:
      if (!parseColours(value, options.colours)) {
        return quoted + " is not three colours #rrggbb separated by commas";
      }
      options.coloursText = value;
      options.paper = false;
      return "";
    default:
      return applyNumber(option.code, name, value, options);
  }
}

// The long option that an argument such as "--gen=5" names, by its unambiguous prefix.
std::string longNameOf(const std::string& argument) {
  return argument.substr(0, argument.find('='));
}

// What getopt_long found wrong with the argument: '?' or ':' for optopt.
std::string misreadOption(int code, const std::string& argument) {
  const bool longForm = argument.rfind("--", 0) == 0;
  const OptionInfo* known = findOption(optopt);
  if (longForm && known != nullptr && code == '?') {
    return "option '" + spelled(*known, true) + "' takes no value";
  }
  if (known != nullptr && code == ':') {
    return "option '" + spelled(*known, longForm) + "' needs a value";
  }
  if (!longForm)
    return "option " + quote(std::string{'-', static_cast<char>(optopt)}) + " is unknown";
  const std::string name = longNameOf(argument);
  int matches = 0;
  for (const OptionInfo& o : kOptions) matches += (std::string("--") + o.name).rfind(name, 0) == 0;
  return "option " + quote(name) + (matches > 1 ? " is ambiguous" : " is unknown");
}

// getopt_long's arguments: the short options' string and the long options, from the table.
void getoptTables(std::string& shortOptions, std::vector<option>& longOptions) {
  shortOptions = "+:";  // stop at the first operand; ':' for a missing value
  for (const OptionInfo& o : kOptions) {
    if (o.code < 256) {
      shortOptions += static_cast<char>(o.code);
      if (o.value != nullptr) shortOptions += ':';
    }
    longOptions.push_back(
        {o.name, o.value != nullptr ? required_argument : no_argument, nullptr, o.code});
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});
}

}  // namespace

std::string quote(const std::string& value) {
  std::string shown = "'";
  for (std::size_t i = 0; i < value.size() && i < 60; ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if (c < 0x20 || c == 0x7f) {
      static const char hex[] = "0123456789abcdef";
      shown += std::string("\\x") + hex[c >> 4] + hex[c & 15];
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown + (value.size() > 60 ? "...'" : "'");
}

namespace {

// Sets the flag of an option without a value; false for any other option.
bool setFlag(int code, Options& options) {
  switch (code) {
    case kFit:
      options.fit = true;
      return true;
    case kExplore:
      options.explore = true;
      return true;
    case kLines:
      options.lines = true;
      return true;
    case kPaper:
      options.paper = true;
      options.colours = kPaperColours;
      options.coloursText.clear();
      return true;
    default:
      return false;
  }
}

// What the options read mean together, given the codes of those with a value: a book draws
// lines in its own letters unless others were given, the sets of letters share no byte, and a
// decimal step needs lines. The error, or an empty string.
std::string settle(Options& options, const std::vector<int>& given) {
  const auto wasGiven = [&given](int code) {
    return std::find(given.begin(), given.end(), code) != given.end();
  };
  options.generationsGiven = wasGiven('n');
  if (!options.bookFile.empty()) {
    const Options defaults = defaultsOf(options);
    options.lines = true;
    if (!wasGiven(kSegments)) options.segments = defaults.segments;
    if (!wasGiven(kBuds)) options.buds = defaults.buds;
    if (!wasGiven(kMoves)) options.moves = defaults.moves;
  }
  std::string error = checkDisjoint(options);
  if (error.empty() && options.step != std::floor(options.step) && !options.lines) {
    error = "the step " + quote(options.stepText) + " is a decimal, which only --lines draws";
  }
  return error;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
  ParsedOptions parsed;
  Options& options = parsed.options;
  // getopt_long wants writable C strings and a terminating null pointer.
  std::vector<std::string> storage{kProgram};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(storage.size());
  std::string shortOptions;
  std::vector<option> longOptions;
  getoptTables(shortOptions, longOptions);

  int grammarOption = 0;   // 'g', 'f' or kBook, whichever came first
  std::vector<int> given;  // the codes of the options with a value, in order
  opterr = 0;              // every message is this function's own
  optind = 0;              // a full restart of getopt's scan, on GNU and musl alike
  for (;;) {
    // Options are read in order, so the one read next is in the argument at optind; a short
    // one may share it with others ("-n3", "-hV").
    const int next = optind == 0 ? 1 : optind;
    const int code =
        getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
    if (code == -1) break;
    const std::string& argument = storage[static_cast<std::size_t>(next)];
    if (code == '?' || code == ':') {
      parsed.error = misreadOption(code, argument);
      return parsed;
    }
    const OptionInfo& option = *findOption(code);
    if (option.code == 'h' || option.code == 'V') {
      (option.code == 'h' ? options.help : options.version) = true;
      return parsed;
    }
    if (setFlag(option.code, options)) continue;
    if (option.code == 'g' || option.code == 'f' || option.code == kBook) {
      if (grammarOption != 0 && grammarOption != option.code) {
        const int other = option.code == kBook ? grammarOption : option.code;
        parsed.error = grammarOption != kBook && option.code != kBook
                           ? "options '--grammar' and '--file' cannot be used together"
                           : std::string("options '--") + findOption(other)->name +
                                 "' and '--book' cannot be used together";
        return parsed;
      }
      grammarOption = option.code;
    }
    given.push_back(option.code);
    const bool longForm = argument.rfind("--", 0) == 0;
    parsed.error = applyValue(option, spelled(option, longForm), optarg, options);
    if (!parsed.error.empty()) return parsed;
  }
  if (optind < argc) {
    parsed.error = "unexpected operand " + quote(storage[static_cast<std::size_t>(optind)]);
    return parsed;
  }
  parsed.error = settle(options, given);
  return parsed;
}

Options defaultsOf(const Options& options) {
  Options defaults;
  if (!options.bookFile.empty()) {
    defaults.lines = true;
    defaults.segments = "F";
    defaults.buds = "";
    defaults.moves = "f";
  }
  return defaults;
}

namespace {

// A file's path as a message shows it: as it is, or quoted when it holds a control byte.
std::string shownPath(const std::string& path) {
  if (path == "-") return "standard input";
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return quote(path);
  }
  return path;
}

}  // namespace

std::string readBounded(const std::string& path, const std::string& what, std::string& text) {
  const bool standardInput = path == "-";
  const std::string shown = standardInput ? "standard input" : quote(path);
  struct Closer {
    std::FILE* file;
    bool owned;
    ~Closer() {
      if (owned && file != nullptr) std::fclose(file);
    }
  } in{standardInput ? stdin : std::fopen(path.c_str(), "rb"), !standardInput};
  if (in.file == nullptr)
    return "cannot read " + what + " from " + shown + ": " + std::strerror(errno);
  // One byte past the limit tells a file that is too large from one that fits exactly.
  char buffer[1 << 16];
  std::size_t got;
  while (text.size() <= kMaxGrammarBytes &&
         (got = std::fread(buffer, 1, sizeof buffer, in.file)) > 0) {
    text.append(buffer, got);
  }
  if (std::ferror(in.file)) {
    return "cannot read " + what + " from " + shown + ": " + std::strerror(errno);
  }
  if (text.size() > kMaxGrammarBytes) {
    return what + " in " + shown + " is longer than " + std::to_string(kMaxGrammarBytes) + " bytes";
  }
  return "";
}

std::string readBookFile(Options& options, bool& badFile) {
  badFile = false;
  if (options.bookFile.empty()) return "";
  std::string text;
  if (std::string error = readBounded(options.bookFile, "the L-system", text); !error.empty()) {
    return error;
  }
  badFile = true;
  const std::string shown = shownPath(options.bookFile);
  try {
    options.book = std::make_shared<const BookSystem>(text);
  } catch (const BookFileError& error) {
    return shown + ": line " + std::to_string(error.line) + ": " + error.what();
  }
  if (!options.generationsGiven && options.book->derivationLength()) {
    options.generations = *options.book->derivationLength();
  }
  if (options.angleText.empty() && options.book->angle()) {
    const double degrees = *options.book->angle();
    const std::optional<float> radians = radiansOfDegrees(degrees);
    if (!radians) return shown + ": the angle " + shortestDecimal(degrees) + " is too large";
    options.angle = *radians;
    options.angleText = shortestDecimal(degrees);
  }
  badFile = false;
  return "";
}

std::string readGrammarFile(Options& options) {
  if (options.grammarFile.empty()) return "";
  std::string text;
  if (std::string error = readBounded(options.grammarFile, "the grammar", text); !error.empty()) {
    return error;
  }
  if (!text.empty() && text.back() == '\n') {
    text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  options.grammar = std::move(text);
  return "";
}

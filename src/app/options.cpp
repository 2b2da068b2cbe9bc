// The command line: one table of options feeds getopt_long and --help.
#include "options.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "angle.h"
#include "keys.h"
#include "style.h"

#ifndef LSV_VERSION
#error "LSV_VERSION must give the project's version"
#endif

namespace {

constexpr const char* kProgram = "lsystem-viewer";

// Codes of the options that have no short form, above every character.
enum LongOnly {
  kOrigin = 256,
  kHeading,
  kSegments,
  kBuds,
  kMoves,
  kSize,
  kSvg,
  kFit,
  kExplore,
  kLines,
  kWidth,
  kPresses,
  kStochastic,
  kMaxSymbols
};

struct OptionInfo {
  const char* name;   // the long form, without "--"
  int code;           // the short form's character, or a LongOnly code
  const char* value;  // the value's name in --help, or nullptr for an option without one
  const char* help;   // lines of --help, split at "\n"
};

constexpr OptionInfo kOptions[] = {
    {"grammar", 'g', "TEXT",
     "the grammar: rule blocks {KEY:REPLACEMENT;...}, then\nthe axiom "
     "(default: {o:a[+ao]-ao;}ao)"},
    {"file", 'f', "FILE",
     "read the grammar from FILE (\"-\" for standard input);\none final line end is dropped"},
    {"generations", 'n', "N", "rewrite the axiom N times at start, 0 to 1000\n(default: 3)"},
    {"angle", 'a', "DEGREES",
     "the turn of + and - in degrees\n(default: 0.5 radian, about 28.65 degrees)"},
    {"step", 's', "PIXELS", "the turtle's starting step (default: 20)"},
    {"origin", kOrigin, "X,Y", "the turtle's start point (default: 300,300)"},
    {"heading", kHeading, "DEGREES",
     "the turtle's start direction, counter-clockwise\nfrom up (default: 0; -90 points right)"},
    {"segments", kSegments, "BYTES",
     "the bytes that step forward and are drawn as\nsegments (default: a)"},
    {"buds", kBuds, "BYTES", "the bytes drawn as buds (default: o)"},
    {"moves", kMoves, "BYTES",
     "the bytes that step forward without drawing\n(default: none); each of the three sets holds "
     "up\n"
     "to 16 bytes from ! to ~ but + - [ ] _ | { } : ;\nand no byte of another"},
    {"size", kSize, "WxH", "the window's size, each 16 to 4096 (default: 600x400)"},
    {"svg", kSvg, "FILE",
     "write the start figure to FILE as SVG, print the\nword and exit; no window"},
    {"fit", kFit, nullptr, "show the whole start figure, zoomed to fit"},
    {"explore", kExplore, nullptr,
     "zoom, pan, undo and save with the wheel, a drag\nand keys (below), in a resizable window"},
    {"lines", kLines, nullptr,
     "draw each segment as a line from the turtle's\npoint before its step to its point after, "
     "and\n"
     "each bud as a square centred on its point"},
    {"width", kWidth, "PIXELS", "the lines' width on the screen, 1 to 64\n(default: 1)"},
    {"presses", kPresses, "LIST",
     "after the start, press at these word indices in\norder, g growing the whole word: up to "
     "100000,\ncommas between"},
    {"stochastic", kStochastic, "SEED",
     "let each symbol choose among all the rule blocks\nthat have a rule for it, by this seed "
     "(0 to\n18446744073709551615)"},
    {"max-symbols", kMaxSymbols, "N",
     "refuse a word longer than N symbols\n(default and most: 2147483647)"},
    {"help", 'h', nullptr, "show this help and exit"},
    {"version", 'V', nullptr, "show the version and exit"},
};

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

// An optional sign and decimal digits, nothing else, within [min, max].
bool parseInteger(std::string_view text, int64_t min, int64_t max, int32_t& out) {
  // from_chars takes a "-" but not a "+", and must not see a sign after the "+".
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (text.empty() || text[0] == '-') return false;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  out = static_cast<int32_t>(value);
  return true;
}

// Decimal digits alone, as an unsigned 64-bit value.
bool parseUnsigned(std::string_view text, uint64_t& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;  // no sign
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

// Word indices and "g", a generation of the whole word, separated by commas: at least one, at
// most kMaxPresses, each index one of a 32-bit word. The error's ending, or an empty string.
std::string parsePresses(std::string_view text, std::vector<int32_t>& out) {
  out.clear();
  for (std::size_t at = 0;;) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view item = text.substr(at, comma - at);
    uint64_t index = 0;
    if (item != "g" && (!parseUnsigned(item, index) || index > INT32_MAX - 1)) {
      return " is not a list of word indices from 0 to " + std::to_string(INT32_MAX - 1) +
             " and g separated by commas";
    }
    if (out.size() == kMaxPresses)
      return " holds more than " + std::to_string(kMaxPresses) + " presses";
    out.push_back(item == "g" ? kGrowAll : static_cast<int32_t>(index));
    if (comma == text.size()) return "";
    at = comma + 1;
  }
}

// Two integers in [min, max] with the separator between them.
bool parsePair(std::string_view text, char separator, int64_t min, int64_t max, int32_t& first,
               int32_t& second) {
  const std::size_t at = text.find(separator);
  return at != std::string_view::npos && parseInteger(text.substr(0, at), min, max, first) &&
         parseInteger(text.substr(at + 1), min, max, second);
}

// A decimal number: an optional sign, digits with at most one point, an optional exponent.
bool isDecimal(const std::string& text) {
  std::size_t at = text.size() > 0 && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  std::size_t digits = 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    if (text[at] >= '0' && text[at] <= '9') {
      ++digits;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (at == text.size()) return false;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  }
  return at == text.size();
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
  const Options defaults;
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
      if (value.empty()) return name + ": the file name is empty";
      options.grammarFile = value;
      return "";
    case 'n':
      if (!parseInteger(value, 0, 1000, options.generations)) {
        return quoted + " is not an integer from 0 to 1000";
      }
      return "";
    case 'a':
      if (!isDecimal(value)) return quoted + " is not a decimal number of degrees";
      if (!radiansOf(value, 0.0, options.angle)) return quoted + " is too large";
      options.angleText = value;
      return "";
    case kHeading:
      if (!isDecimal(value)) return quoted + " is not a decimal number of degrees";
      if (!radiansOf(value, static_cast<double>(kUpHeading), options.heading))
        return quoted + " is too large";
      options.headingText = value;
      return "";
    case kSegments:
    case kBuds:
    case kMoves: {
      if (const std::string error = checkSymbols(value); !error.empty()) return quoted + error;
      (option.code == kSegments ? options.segments
       : option.code == kBuds   ? options.buds
                                : options.moves) = value;
      return "";
    }
    case kWidth:
      if (!parseInteger(value, 1, kMaxLineWidth, options.lineWidth)) {
        return quoted + " is not an integer from 1 to " + std::to_string(kMaxLineWidth);
      }
      return "";
    case 's':
      if (!parseInteger(value, -kMaxCoordinate, kMaxCoordinate, options.step)) {
        return quoted + " is not an integer from " + std::to_string(-kMaxCoordinate) + " to " +
               std::to_string(kMaxCoordinate);
      }
      return "";
    case kOrigin:
      if (!parsePair(value, ',', -kMaxCoordinate, kMaxCoordinate, options.originX,
                     options.originY)) {
        return quoted + " is not X,Y with two integers from " + std::to_string(-kMaxCoordinate) +
               " to " + std::to_string(kMaxCoordinate);
      }
      return "";
    case kSize:
      if (!parsePair(value, 'x', 16, 4096, options.width, options.height)) {
        return quoted + " is not WIDTHxHEIGHT with each from 16 to 4096";
      }
      return "";
    case kSvg:
      if (value.empty()) return name + ": the file name is empty";
      options.svgFile = value;
      return "";
    case kPresses:
      if (const std::string error = parsePresses(value, options.presses); !error.empty()) {
        return quoted + error;
      }
      return "";
    case kStochastic: {
      uint64_t seed = 0;
      if (!parseUnsigned(value, seed)) {
        return quoted + " is not an integer from 0 to " + std::to_string(UINT64_MAX);
      }
      options.seed = seed;
      return "";
    }
    case kMaxSymbols:
      if (!parseInteger(value, 1, INT32_MAX, options.maxSymbols)) {
        return quoted + " is not an integer from 1 to " + std::to_string(INT32_MAX);
      }
      return "";
    default:
      return "";
  }
}

// The long option that an argument such as "--gen=5" names, by its unambiguous prefix.
std::string longNameOf(const std::string& argument) {
  return argument.substr(0, argument.find('='));
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

  std::string shortOptions = "+:";  // stop at the first operand; ':' for a missing value
  std::vector<option> longOptions;
  for (const OptionInfo& o : kOptions) {
    if (o.code < 256) {
      shortOptions += static_cast<char>(o.code);
      if (o.value != nullptr) shortOptions += ':';
    }
    longOptions.push_back(
        {o.name, o.value != nullptr ? required_argument : no_argument, nullptr, o.code});
  }
  longOptions.push_back({nullptr, 0, nullptr, 0});

  int grammarOption = 0;  // 'g' or 'f', whichever came first
  opterr = 0;             // every message is this function's own
  optind = 0;             // a full restart of getopt's scan, on GNU and musl alike
  for (;;) {
    // Options are read in order, so the one read next is in the argument at optind; a short
    // one may share it with others ("-n3", "-hV").
    const int next = optind == 0 ? 1 : optind;
    const int code =
        getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), nullptr);
    if (code == -1) break;
    const std::string& argument = storage[static_cast<std::size_t>(next)];
    const bool longForm = argument.rfind("--", 0) == 0;
    if (code == '?' || code == ':') {
      const OptionInfo* known = findOption(optopt);
      if (longForm && known != nullptr && code == '?') {
        parsed.error = "option '" + spelled(*known, true) + "' takes no value";
      } else if (known != nullptr && code == ':') {
        parsed.error = "option '" + spelled(*known, longForm) + "' needs a value";
      } else if (longForm) {
        const std::string name = longNameOf(argument);
        int matches = 0;
        for (const OptionInfo& o : kOptions) {
          matches += (std::string("--") + o.name).rfind(name, 0) == 0;
        }
        parsed.error = "option " + quote(name) + (matches > 1 ? " is ambiguous" : " is unknown");
      } else {
        parsed.error =
            "option " + quote(std::string{'-', static_cast<char>(optopt)}) + " is unknown";
      }
      return parsed;
    }
    const OptionInfo& option = *findOption(code);
    if (option.code == 'h' || option.code == 'V') {
      (option.code == 'h' ? options.help : options.version) = true;
      return parsed;
    }
    if (option.code == kFit || option.code == kExplore || option.code == kLines) {
      (option.code == kFit       ? options.fit
       : option.code == kExplore ? options.explore
                                 : options.lines) = true;
      continue;
    }
    if (option.code == 'g' || option.code == 'f') {
      if (grammarOption != 0 && grammarOption != option.code) {
        parsed.error = "options '--grammar' and '--file' cannot be used together";
        return parsed;
      }
      grammarOption = option.code;
    }
    parsed.error = applyValue(option, spelled(option, longForm), optarg, options);
    if (!parsed.error.empty()) return parsed;
  }
  if (optind < argc) {
    parsed.error = "unexpected operand " + quote(storage[static_cast<std::size_t>(optind)]);
    return parsed;
  }
  parsed.error = checkDisjoint(options);
  return parsed;
}

std::string readGrammarFile(Options& options) {
  if (options.grammarFile.empty()) return "";
  const std::string& path = options.grammarFile;
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
    return "cannot read the grammar from " + shown + ": " + std::strerror(errno);
  // One byte past the limit tells a file that is too large from one that fits exactly.
  std::string text;
  char buffer[1 << 16];
  std::size_t got;
  while (text.size() <= kMaxGrammarBytes &&
         (got = std::fread(buffer, 1, sizeof buffer, in.file)) > 0) {
    text.append(buffer, got);
  }
  if (std::ferror(in.file)) {
    return "cannot read the grammar from " + shown + ": " + std::strerror(errno);
  }
  if (text.size() > kMaxGrammarBytes) {
    return "the grammar in " + shown + " is longer than " + std::to_string(kMaxGrammarBytes) +
           " bytes";
  }
  if (!text.empty() && text.back() == '\n') {
    text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
  }
  options.grammar = std::move(text);
  return "";
}

std::string helpText() {
  std::string text =
      "Usage: lsystem-viewer [OPTION]...\n"
      "Grow a bracketed L-system from its grammar and draw it with a turtle in a\n"
      "window. Only 'a', a segment, and 'o', a bud, are drawn (--segments and --buds\n"
      "choose other bytes): a small brown square and a green one, or with --lines a\n"
      "line and a square centred on its point. '+' and '-' turn, '[' and ']' open\n"
      "and close a branch, '_' and '|' shorten and lengthen the step; other letters\n"
      "serve as variables.\n"
      "The square under the pointer turns red; a mouse press grows the figure at a red\n"
      "bud or prunes the branch at a red segment. Every word is printed on standard\n"
      "output. Any key, or closing the window, quits.\n"
      "\n";
  for (const OptionInfo& o : kOptions) {
    std::string left = o.code < 256 ? std::string("  -") + static_cast<char>(o.code) + ", --"
                                    : std::string("      --");
    left += o.name;
    if (o.value != nullptr) left += std::string("=") + o.value;
    const char* help = o.help;
    for (bool first = true; *help != '\0'; first = false) {
      const char* end = std::strchr(help, '\n');
      const std::size_t length =
          end != nullptr ? static_cast<std::size_t>(end - help) : std::strlen(help);
      std::string line = first ? left : "";
      line.resize(std::max<std::size_t>(line.size() + 2, 27), ' ');
      text += line + std::string(help, length) + "\n";
      help += length + (end != nullptr ? 1 : 0);
    }
  }
  text += "\nWith --explore:\n" + keysHelp(2, 24);
  text +=
      "\n"
      "Exit status: 0 when done, 1 on a failure at run time (no window, the SVG not\n"
      "written, the word over its limit or out of memory, a press of --presses on\n"
      "nothing), 2 on a bad command line.\n"
      "\n"
      "Examples:\n"
      "  lsystem-viewer -g '{o:a[-ao][+ao]ao;}o' -n 4 -a 22.5 -s 9 --origin 300,390\n"
      "  lsystem-viewer -n 6 --svg tree.svg\n"
      "  lsystem-viewer -g '{a:a+a--a+a;}a--a--a' -n 4 -a 60 --fit --explore\n"
      "  lsystem-viewer -g '{X:F+[[X]-X]-F[-FX]+X;F:FF;}X' --segments F --buds X \\\n"
      "    -n 6 -a 25 --lines --fit\n";
  return text;
}

std::string versionText() { return std::string(kProgram) + " " + LSV_VERSION + "\n"; }

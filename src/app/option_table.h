// The table of options: each option's long and short form, its value and its lines of --help,
// from which the parsing, --help, the manual page's check and the completion are made.
#pragma once

namespace options_table {

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
  kMaxSymbols,
  kColours,
  kPaper,
  kBook
};

struct OptionInfo {
  const char* name;   // the long form, without "--"
  int code;           // the short form's character, or a LongOnly code
  const char* value;  // the value's name in --help, or nullptr for an option without one
  const char* help;   // lines of --help, split at "\n"
};

inline constexpr OptionInfo kOptions[] = {
    {"grammar", 'g', "TEXT",
     "the grammar: rule blocks {KEY:REPLACEMENT;...}, then\nthe axiom "
     "(default: {o:a[+ao]-ao;}ao)"},
    {"file", 'f', "FILE",
     "read the grammar from FILE (\"-\" for standard input);\none final line end is dropped"},
    {"book", kBook, "FILE",
     "read an L-system in the book's notation from FILE\n(\"-\" for standard input) instead of "
     "a grammar:\nparametric, conditional, context-sensitive and\nweighted productions; "
     "implies --lines, segments F,\nmoves f and no buds (see the manual page)"},
    {"generations", 'n', "N",
     "rewrite the axiom N times at start, 0 to 1000\n(default: 3, or a book's derivation length)"},
    {"angle", 'a', "DEGREES",
     "the turn of + and - in degrees (default: a book's\nangle, else 0.5 radian, about 28.65 "
     "degrees)"},
    {"step", 's', "PIXELS",
     "the turtle's starting step (default: 20); with\n--lines also a decimal above 0, up to "
     "1000000"},
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
    {"colours", kColours, "BACK,SEGMENT,BUD",
     "the background's, the segments' and the buds'\ncolours, each #rrggbb (default: "
     "#000000,\n#663300,#00ff00); what is under the pointer is\nred, or the background's "
     "complement when one\nof the three is red"},
    {"paper", kPaper, nullptr,
     "black segments and dark green buds on white, as\na book prints them"},
    {"presses", kPresses, "LIST",
     "after the start, press at these word indices in\norder, g growing the whole word: up to "
     "100000,\ncommas between"},
    {"stochastic", kStochastic, "SEED",
     "let each symbol choose among all the rule blocks\nthat have a rule for it, by this seed "
     "(0 to\n18446744073709551615)"},
    {"max-symbols", kMaxSymbols, "N",
     "refuse a word longer than N symbols, or N modules\nwith --book (default and most: "
     "2147483647)"},
    {"help", 'h', nullptr, "show this help and exit"},
    {"version", 'V', nullptr, "show the version and exit"},
};

constexpr const char* kProgram = "lsystem-viewer";

}  // namespace options_table

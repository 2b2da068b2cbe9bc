// The command line, parsed into plain settings: no SDL, no I/O, no exit.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book.h"
#include "style.h"
#include "turtle_state.h"

// Exit statuses of the program.
constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;  // at run time: no window, the SVG not written, the word too long
constexpr int kExitUsage = 2;    // a bad command line

// The largest grammar text accepted, from the command line or a file.
constexpr std::size_t kMaxGrammarBytes = std::size_t{64} << 20;
// Step and start point: every integer in this range is exact as a float.
constexpr int32_t kMaxCoordinate = 1 << 24;
// The longest list of presses that --presses takes.
constexpr std::size_t kMaxPresses = 100000;
// In a list of presses, a generation of the whole word: "g" where it is written.
constexpr int32_t kGrowAll = -1;
// The most bytes that each of --segments, --buds and --moves takes.
constexpr std::size_t kMaxSymbolBytes = 16;
// The longest decimal step of the line style.
constexpr double kMaxDecimalStep = 1e6;
// The colours of --paper: black segments and dark green buds on white.
constexpr Colours kPaperColours{0xffffff, 0x000000, 0x006400};

struct Options {
  std::string grammar = "{o:a[+ao]-ao;}ao";
  std::string grammarFile;  // -f: the grammar is read from here (readGrammarFile)
  std::string bookFile;     // --book: an L-system in the book's notation (readBookFile)
  std::shared_ptr<const BookSystem> book;  // read from bookFile
  int32_t generations = 3;
  bool generationsGiven = false;  // -n was given: a book's derivation length does not count
  float angle = 0.5f;             // radians
  std::string angleText;          // the degrees as given, or empty for the default
  float step = 20;                // a whole number with squares; with lines, a decimal above 0 too
  std::string stepText;           // -s as given, or empty for the default
  int32_t originX = 300;
  int32_t originY = 300;
  float heading = kUpHeading;  // the start heading in radians
  std::string headingText;     // --heading's degrees as given, or empty for the default
  std::string segments = "a";  // the bytes that step and are drawn as segments
  std::string buds = "o";      // the bytes drawn as buds
  std::string moves;           // the bytes that step without drawing
  int32_t width = 600;
  int32_t height = 400;
  std::string svgFile;             // --svg: write the figure here instead of opening a window
  bool fit = false;                // the start figure's view fits it to the window
  bool explore = false;            // zoom, pan, undo and save in a resizable window that waits
  bool lines = false;              // segments as lines, buds as squares centred on their point
  int32_t lineWidth = 1;           // --width: the lines' brush in screen pixels
  Colours colours;                 // --colours or --paper
  std::string coloursText;         // --colours as given, or empty
  bool paper = false;              // --paper: the colours are those of a printed page
  std::vector<int32_t> presses;    // replayed after the start generations, in order; kGrowAll
                                   // for a generation of the whole word
  std::optional<uint64_t> seed;    // --stochastic: growth chooses among all the rule blocks
  int32_t maxSymbols = INT32_MAX;  // the word's limit
  bool help = false;
  bool version = false;
};

struct ParsedOptions {
  Options options;
  std::string error;  // empty when the command line is good; else one line, without a line end
};

// Reads the arguments after the program's name, with getopt_long: short and long forms,
// "--opt VALUE" and "--opt=VALUE", unambiguous abbreviations of long options. Stops at -h or -V.
ParsedOptions parseOptions(const std::vector<std::string>& args);

// The options' defaults, those that --book changes (--lines, the segments F, the moves f, no
// buds) included when options has a book's file.
Options defaultsOf(const Options& options);

// Reads options.bookFile, at most kMaxGrammarBytes, into options.book, then takes its derivation
// length for -n and its angle for -a where they were not given. The error, or an empty string;
// badFile is set when the file was read but is not good, its error "FILE: line N: what".
std::string readBookFile(Options& options, bool& badFile);

// Reads the whole file at path ("-" standard input) into text, at most kMaxGrammarBytes; the
// error, naming what it holds, or an empty string.
std::string readBounded(const std::string& path, const std::string& what, std::string& text);

// Reads options.grammarFile into options.grammar: every byte, except that one final "\n" or
// "\r\n" is dropped; "-" is standard input. The error, or an empty string.
std::string readGrammarFile(Options& options);

// A value as a message shows it: in quotes, control bytes escaped so that the message stays one
// line, and cut after 60 bytes.
std::string quote(const std::string& value);

// The text of --help and the line of --version.
std::string helpText();
std::string versionText();

// Tests of the command line: good and bad argument lists, the grammar file, the help.
#include "options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "keys.h"

namespace {

using namespace std::string_literals;
using Args = std::vector<std::string>;
constexpr double kPi = 3.14159265358979323846;

TEST(Options, NoArgumentsGiveTheBuiltInViewer) {
  const ParsedOptions parsed = parseOptions({});
  EXPECT_EQ("", parsed.error);
  const Options& o = parsed.options;
  EXPECT_EQ("{o:a[+ao]-ao;}ao", o.grammar);
  EXPECT_EQ(3, o.generations);
  EXPECT_EQ(0.5f, o.angle);
  EXPECT_EQ(20, o.step);
  EXPECT_EQ(300, o.originX);
  EXPECT_EQ(300, o.originY);
  EXPECT_EQ(600, o.width);
  EXPECT_EQ(400, o.height);
  EXPECT_EQ("", o.svgFile);
  EXPECT_FALSE(o.help || o.version || o.fit || o.explore);
  EXPECT_TRUE(o.presses.empty());
  EXPECT_EQ(std::nullopt, o.seed);
  EXPECT_EQ(INT32_MAX, o.maxSymbols);
}

TEST(Options, ShortLongAndJoinedFormsAgree) {
  const Args forms[] = {
      {"-g",
       "{a:b;}a",
       "-n",
       "7",
       "-a",
       "90",
       "-s",
       "-5",
       "--origin",
       "-10,20",
       "--size",
       "16x4096",
       "--svg",
       "out.svg",
       "--fit",
       "--explore",
       "--presses",
       "0,2147483646,g,007",
       "--stochastic",
       "18446744073709551615",
       "--max-symbols",
       "9"},
      {"--grammar={a:b;}a", "--generations=7", "--angle=90", "--step=-5", "--origin=-10,20",
       "--size=16x4096", "--svg=out.svg", "--fit", "--explore", "--presses=0,2147483646,g,007",
       "--stochastic=18446744073709551615", "--max-symbols=9"},
      {"-g{a:b;}a", "-n7", "-a90.0", "-s-5", "--ori", "-10,20", "--si=16x4096", "--sv", "out.svg",
       "--fit", "--exp", "--pre", "0,2147483646,g,007", "--sto=18446744073709551615", "--max", "9"},
  };
  for (const Args& args : forms) {
    const ParsedOptions parsed = parseOptions(args);
    ASSERT_EQ("", parsed.error) << args[0];
    const Options& o = parsed.options;
    EXPECT_EQ("{a:b;}a", o.grammar);
    EXPECT_EQ(7, o.generations);
    EXPECT_EQ(static_cast<float>(90.0 * 3.14159265358979323846 / 180.0), o.angle);
    EXPECT_EQ(-5, o.step);
    EXPECT_EQ(-10, o.originX);
    EXPECT_EQ(20, o.originY);
    EXPECT_EQ(16, o.width);
    EXPECT_EQ(4096, o.height);
    EXPECT_EQ("out.svg", o.svgFile);
    EXPECT_TRUE(o.fit && o.explore);
    EXPECT_EQ((std::vector<int32_t>{0, 2147483646, kGrowAll, 7}), o.presses);
    EXPECT_EQ(UINT64_MAX, o.seed);
    EXPECT_EQ(9, o.maxSymbols);
  }
  // The options of the line style and the book's letters.
  const Args styles[] = {
      {"--heading", "-90", "--segments", "FG", "--buds", "X", "--moves", "f", "--lines", "--width",
       "64"},
      {"--heading=-90", "--segments=FG", "--buds=X", "--moves=f", "--lines", "--width=64"},
      {"--hea", "-90", "--seg=FG", "--bu", "X", "--mo", "f", "--l", "--w=64"},
  };
  for (const Args& args : styles) {
    const Options o = parseOptions(args).options;
    const float right = static_cast<float>(static_cast<double>(3.1416f) - 90.0 * kPi / 180.0);
    EXPECT_EQ(
        std::make_tuple(right, "-90"s, "FG"s, "X"s, "f"s, true, 64),
        std::tie(o.heading, o.headingText, o.segments, o.buds, o.moves, o.lines, o.lineWidth));
  }
  // A later value replaces an earlier one.
  const ParsedOptions twice = parseOptions({"-n", "4", "-n", "5", "-g", "x", "-g", "y"});
  EXPECT_EQ(5, twice.options.generations);
  EXPECT_EQ("y", twice.options.grammar);
}

TEST(Options, ValuesAtTheEdgesOfTheirRanges) {
  struct Case {
    Args args;
    int32_t Options::*field;
    int32_t expected;
  };
  const Case cases[] = {
      {{"-n", "0"}, &Options::generations, 0},
      {{"-n", "+1000"}, &Options::generations, 1000},
      {{"-n", "0003"}, &Options::generations, 3},
      {{"--origin", "-16777216,16777216"}, &Options::originY, 16777216},
      {{"--size", "4096x16"}, &Options::width, 4096},
      {{"--max-symbols", "1"}, &Options::maxSymbols, 1},
      {{"--max-symbols", "2147483647"}, &Options::maxSymbols, INT32_MAX},
      {{"--width", "1"}, &Options::lineWidth, 1},
      {{"--width", "+64"}, &Options::lineWidth, 64},
  };
  for (const Case& c : cases) {
    const ParsedOptions parsed = parseOptions(c.args);
    EXPECT_EQ("", parsed.error) << c.args[1];
    EXPECT_EQ(c.expected, parsed.options.*(c.field)) << c.args[1];
  }
  // The step: whole numbers, and with --lines a decimal above 0 as its nearest float.
  const std::pair<Args, float> steps[] = {
      {{"-s", "16777216"}, 16777216.0f}, {{"-s", "-16777216"}, -16777216.0f},
      {{"-s", "2.5", "--lines"}, 2.5f},  {{"--lines", "--step=1e6"}, 1e6f},
      {{"--lines", "-s", ".1"}, 0.1f},
  };
  for (const auto& [args, step] : steps) {
    EXPECT_EQ("", parseOptions(args).error) << args[1];
    EXPECT_EQ(step, parseOptions(args).options.step) << args[1];
  }
  // The colours, and --paper's.
  EXPECT_TRUE((Colours{0xffffff, 0x000000, 0x0000aa}) ==
              parseOptions({"--colours", "#FFFFFF,#000000,#0000aA"}).options.colours);
  EXPECT_TRUE(kPaperColours ==
              parseOptions({"--colours", "#ff0000,#000000,#000001", "--paper"}).options.colours);
  std::string most = "0";
  for (std::size_t i = 1; i < kMaxPresses; ++i) most += ",1";
  EXPECT_EQ(kMaxPresses, parseOptions({"--presses", most}).options.presses.size());
  EXPECT_EQ(0u, parseOptions({"--stochastic", "0"}).options.seed);
  // The angle, and the heading from 3.1416f: DEGREES x pi / 180 in double, rounded once to float.
  for (const char* degrees : {"-22.5", "1e2", ".5", "5.", "360", "-0", "1E-3", "0", "1e40"}) {
    const ParsedOptions angle = parseOptions({"--angle", degrees});
    EXPECT_EQ("", angle.error) << degrees;
    EXPECT_EQ(static_cast<float>(std::stod(degrees) * 3.14159265358979323846 / 180.0),
              angle.options.angle)
        << degrees;
    const ParsedOptions heading = parseOptions({"--heading", degrees});
    EXPECT_EQ("", heading.error) << degrees;
    EXPECT_EQ(static_cast<float>(static_cast<double>(3.1416f) + std::stod(degrees) * kPi / 180.0),
              heading.options.heading)
        << degrees;
  }
  EXPECT_EQ(3.1416f, parseOptions({"--heading", "0"}).options.heading);
  // The sets: sixteen bytes, none, or the default bytes moved to another set.
  const Options sets =
      parseOptions({"--segments", "!~09AZaz<>()/\\\"'", "--buds=", "--moves", "o"}).options;
  EXPECT_EQ("!~09AZaz<>()/\\\"'", sets.segments);
  EXPECT_EQ("", sets.buds);
  EXPECT_EQ("o", sets.moves);
}

TEST(Options, AnyTextIsAGrammarEvenOneThatLooksLikeAnOption) {
  for (const std::string text : {"", "-n", "--help", " {o:a;} o \t", "\xff\x80{}"}) {
    const ParsedOptions parsed = parseOptions({"-g", text});
    EXPECT_EQ("", parsed.error);
    EXPECT_EQ(text, parsed.options.grammar);
    EXPECT_FALSE(parsed.options.help);
  }
}

TEST(Options, HelpAndVersionStopTheReading) {
  EXPECT_TRUE(parseOptions({"--help", "--no-such"}).options.help);
  EXPECT_TRUE(parseOptions({"-n", "5", "-V", "junk"}).options.version);
  EXPECT_TRUE(parseOptions({"--hel"}).options.help);
  EXPECT_NE("", parseOptions({"--no-such", "--help"}).error);
}

TEST(Options, BadCommandLinesNameTheirProblem) {
  const std::string kNotPresses =
      " is not a list of word indices from 0 to 2147483646 and g separated by commas";
  const std::string kNotSeed = " is not an integer from 0 to 18446744073709551615";
  std::string tooMany = "0";
  for (std::size_t i = 0; i < kMaxPresses; ++i) tooMany += ",0";
  const std::pair<Args, std::string> cases[] = {
      {{"-x"}, "option '-x' is unknown"},
      {{"--color=red"}, "option '--color' is unknown"},
      {{"--s=3"}, "option '--s' is ambiguous"},
      {{"--he"}, "option '--he' is ambiguous"},
      {{"--help=yes"}, "option '--help' takes no value"},
      {{"-n"}, "option '-n' needs a value"},
      {{"--grammar"}, "option '--grammar' needs a value"},
      {{"-g", "a", "-f", "b"}, "options '--grammar' and '--file' cannot be used together"},
      {{"--file=b", "--grammar=a"}, "options '--grammar' and '--file' cannot be used together"},
      {{"--book", "b", "-g", "a"}, "options '--grammar' and '--book' cannot be used together"},
      {{"-f", "a", "--book=b"}, "options '--file' and '--book' cannot be used together"},
      {{"tree"}, "unexpected operand 'tree'"},
      {{"-n", "3", "--", "-n"}, "unexpected operand '-n'"},
      {{"-"}, "unexpected operand '-'"},
      {{"-n", "1001"}, "-n '1001' is not an integer from 0 to 1000"},
      {{"--generations=-1"}, "--generations '-1' is not an integer from 0 to 1000"},
      {{"-n", ""}, "-n '' is not an integer from 0 to 1000"},
      {{"-n", " 3"}, "-n ' 3' is not an integer from 0 to 1000"},
      {{"-n", "3.0"}, "-n '3.0' is not an integer from 0 to 1000"},
      {{"-n", "+-3"}, "-n '+-3' is not an integer from 0 to 1000"},
      {{"-n", "+"}, "-n '+' is not an integer from 0 to 1000"},
      {{"-n", "99999999999999999999"},
       "-n '99999999999999999999' is not an integer from 0 to 1000"},
      {{"-s", "16777217"},
       "-s '16777217' is not an integer from -16777216 to 16777216, nor with --lines a decimal "
       "above 0 up to 1000000"},
      {{"--lines", "-s", "-2.5"},
       "-s '-2.5' is not an integer from -16777216 to 16777216, nor with --lines a decimal above "
       "0 up to 1000000"},
      {{"-s", "2.5"}, "the step '2.5' is a decimal, which only --lines draws"},
      {{"--colours", "#fff,#000,#0f0"},
       "--colours '#fff,#000,#0f0' is not three colours #rrggbb separated by commas"},
      {{"--colours", "#ffffff,#000000,#00ff00,"},
       "--colours '#ffffff,#000000,#00ff00,' is not three colours #rrggbb separated by commas"},
      {{"-a", "0x10"}, "-a '0x10' is not a decimal number of degrees"},
      {{"-a", "nan"}, "-a 'nan' is not a decimal number of degrees"},
      {{"-a", "inf"}, "-a 'inf' is not a decimal number of degrees"},
      {{"-a", "1e"}, "-a '1e' is not a decimal number of degrees"},
      {{"-a", "."}, "-a '.' is not a decimal number of degrees"},
      {{"-a", "1e999"}, "-a '1e999' is too large"},
      {{"-a", "1e41"}, "-a '1e41' is too large"},
      {{"--heading", "1e41"}, "--heading '1e41' is too large"},
      {{"--heading", "east"}, "--heading 'east' is not a decimal number of degrees"},
      {{"--lines=yes"}, "option '--lines' takes no value"},
      {{"--width", "0"}, "--width '0' is not an integer from 1 to 64"},
      {{"--width", "65"}, "--width '65' is not an integer from 1 to 64"},
      {{"--buds", "X:"}, "--buds 'X:' holds ':', one of + - [ ] _ | { } : ; which cannot be drawn"},
      {{"--buds", " "}, "--buds ' ' holds byte 0x20, which is not a visible ASCII character"},
      {{"--buds", "\x7f"},
       "--buds '\\x7f' holds byte 0x7f, which is not a visible ASCII character"},
      {{"--buds", "\xc3"}, "--buds '\xc3' holds byte 0xc3, which is not a visible ASCII character"},
      {{"--moves", "ABCDEFGHIJKLMNOPQ"}, "--moves 'ABCDEFGHIJKLMNOPQ' holds more than 16 bytes"},
      {{"--buds", "XYX"}, "--buds 'XYX' holds 'X' twice"},
      {{"--segments", "o"},
       "options '--segments' and '--buds' both hold 'o' (the default of '--buds')"},
      {{"--buds", "F", "--moves", "GF"}, "options '--buds' and '--moves' both hold 'F'"},
      {{"-a", "-1.94967426e40"}, "-a '-1.94967426e40' is too large"},  // would round to -FLT_MAX
      {{"--origin", "300"},
       "--origin '300' is not X,Y with two integers from -16777216 to 16777216"},
      {{"--origin", "3,4,5"},
       "--origin '3,4,5' is not X,Y with two integers from -16777216 to 16777216"},
      {{"--size", "15x400"}, "--size '15x400' is not WIDTHxHEIGHT with each from 16 to 4096"},
      {{"--size", "600X400"}, "--size '600X400' is not WIDTHxHEIGHT with each from 16 to 4096"},
      {{"--size", "600x4097"}, "--size '600x4097' is not WIDTHxHEIGHT with each from 16 to 4096"},
      {{"--svg="}, "--svg: the file name is empty"},
      {{"-n", "1\n2"}, "-n '1\\x0a2' is not an integer from 0 to 1000"},
      {{"-n", std::string(70, '7')},
       "-n '" + std::string(60, '7') + "...' is not an integer from 0 to 1000"},
      {{"--fit=yes"}, "option '--fit' takes no value"},
      {{"--explore=1"}, "option '--explore' takes no value"},
      {{"--presses"}, "option '--presses' needs a value"},
      {{"--presses", "2147483647"}, "--presses '2147483647'" + kNotPresses},
      {{"--presses", ""}, "--presses ''" + kNotPresses},
      {{"--presses", "1,"}, "--presses '1,'" + kNotPresses},
      {{"--presses", ",1"}, "--presses ',1'" + kNotPresses},
      {{"--presses", "1,,2"}, "--presses '1,,2'" + kNotPresses},
      {{"--presses", "+1"}, "--presses '+1'" + kNotPresses},
      {{"--presses", "1, 2"}, "--presses '1, 2'" + kNotPresses},
      {{"--presses", "1,G"}, "--presses '1,G'" + kNotPresses},
      {{"--presses", tooMany},
       "--presses '" + tooMany.substr(0, 60) + "...' holds more than 100000 presses"},
      {{"--stochastic", "18446744073709551616"}, "--stochastic '18446744073709551616'" + kNotSeed},
      {{"--stochastic", "-1"}, "--stochastic '-1'" + kNotSeed},
      {{"--stochastic", ""}, "--stochastic ''" + kNotSeed},
      {{"--max-symbols", "0"}, "--max-symbols '0' is not an integer from 1 to 2147483647"},
      {{"--max-symbols", "2147483648"},
       "--max-symbols '2147483648' is not an integer from 1 to 2147483647"},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(message, parseOptions(args).error) << args[0];
  }
}

TEST(Options, AGrammarFileIsReadByteForByteButForOneFinalLineEnd) {
  const std::string path = testing::TempDir() + "options_test_grammar";
  const std::pair<std::string, std::string> cases[] = {
      {"{o:ao;}o\n", "{o:ao;}o"},
      {"{o:ao;}o\r\n", "{o:ao;}o"},
      {"{o:ao;}o\n\n", "{o:ao;}o\n"},
      {"{o:a\0o;}o"s, "{o:a\0o;}o"s},
      {"", ""},
      {"\r", "\r"},
  };
  for (const auto& [content, grammar] : cases) {
    std::ofstream(path, std::ios::binary) << content;
    Options options = parseOptions({"-f", path}).options;
    EXPECT_EQ("", readGrammarFile(options));
    EXPECT_EQ(grammar, options.grammar);
  }
  Options missing = parseOptions({"--file", path + ".none"}).options;
  EXPECT_EQ("cannot read the grammar from '" + path + ".none': No such file or directory",
            readGrammarFile(missing));
  EXPECT_EQ("{o:a[+ao]-ao;}ao", missing.grammar);
  Options folder = parseOptions({"--file", testing::TempDir()}).options;
  EXPECT_NE(std::string::npos, readGrammarFile(folder).find("Is a directory"));
}

TEST(Options, ABookImpliesLinesAndItsLettersAndGivesTheDefaultsLeftOpen) {
  const std::string path = testing::TempDir() + "options_test_book";
  std::ofstream(path) << "derivation length: 7\nangle: 22.5\naxiom: F\n";
  // The arguments, then -n, -a and the segments, buds and moves that they give.
  const std::tuple<Args, int32_t, std::string, std::string> cases[] = {
      {{"--book", path}, 7, "22.5", "F,,f"},
      {{"--book", path, "-n", "3", "-a", "90", "--buds", "A"}, 3, "90", "F,A,f"},
      {{"--segments", "G", "--book", path, "--moves", "g"}, 7, "22.5", "G,,g"},
  };
  for (const auto& [args, generations, angle, letters] : cases) {
    Options o = parseOptions(args).options;
    bool badFile = true;
    EXPECT_EQ("", readBookFile(o, badFile));
    EXPECT_FALSE(badFile);
    EXPECT_EQ(std::make_tuple(generations, angle, letters, true),
              std::make_tuple(o.generations, o.angleText, o.segments + "," + o.buds + "," + o.moves,
                              o.lines));
  }
  std::remove(path.c_str());
}

TEST(Options, AGrammarPastTheLimitIsRefused) {
  const std::string path = testing::TempDir() + "options_test_large";
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(kMaxGrammarBytes, 'a');
  }
  Options fits = parseOptions({"-f", path}).options;
  EXPECT_EQ("", readGrammarFile(fits));
  EXPECT_EQ(kMaxGrammarBytes, fits.grammar.size());
  std::ofstream(path, std::ios::app) << 'a';
  Options over = parseOptions({"-f", path}).options;
  EXPECT_EQ("the grammar in '" + path + "' is longer than 67108864 bytes", readGrammarFile(over));
  std::remove(path.c_str());
  EXPECT_EQ("-g: the grammar is longer than 67108864 bytes",
            parseOptions({"-g", std::string(kMaxGrammarBytes + 1, 'a')}).error);
}

TEST(Options, HelpFitsATerminalAndVersionIsOneLine) {
  const std::string help = helpText();
  for (std::size_t at = 0, end; (end = help.find('\n', at)) != std::string::npos; at = end + 1) {
    EXPECT_LE(end - at, 80u) << help.substr(at, end - at);
  }
  EXPECT_EQ("lsystem-viewer " LSV_VERSION "\n", versionText());

  // The README's table of the inputs of --explore says what the table of keys says.
  std::ifstream readme(LSV_SOURCE_DIR "/README.md");
  std::string line;
  while (std::getline(readme, line) && line.rfind("| Input | With `--explore`", 0) != 0) {
  }
  std::string table;
  for (std::getline(readme, line); std::getline(readme, line) && line.rfind("| ", 0) == 0;) {
    std::string row;
    for (const char c : line.substr(2, line.size() - 4)) {
      if (c != '`') row += c;
    }
    const std::size_t bar = row.find(" | ");
    table += row.substr(0, bar) + ": " + row.substr(bar + 3) + "\n";
  }
  std::string keys;
  for (const KeyRow& row : kKeys) {
    if (*row.shown != '\0') keys += std::string(row.shown) + ": " + row.does + "\n";
  }
  EXPECT_EQ(keys, table);
}

}  // namespace

// Tests of the viewer in-process: the desktop's window on SDL's dummy driver, its events of one
// drain through the explorer, and the pixels of a frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adapter.h"
#include "cout_capture.h"
#include "plain_window.h"
#include "sdl_library.h"
#include "turtle_cursor.h"
#include "window.h"
#include "words.h"

namespace {

SDL_Event motion(uint16_t x, uint16_t y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = x;
  event.motion.y = y;
  return event;
}

SDL_Event ofType(uint8_t type) {
  SDL_Event event{};
  event.type = type;
  if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
    event.button.button = SDL_BUTTON_LEFT;
  return event;
}

// The dummy video driver gives a real 600x400 8-bit screen without a display.
class Viewer : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    screen = SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
    ASSERT_NE(nullptr, screen) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  void SetUp() override {
    ASSERT_TRUE(runsOnExpectedSdl("self"));
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
  }

  static void push(std::vector<SDL_Event> events) {
    for (SDL_Event& event : events) ASSERT_EQ(0, SDL_PushEvent(&event));
  }

  static uint8_t pixel(int x, int y) {
    return static_cast<const uint8_t*>(screen->pixels)[y * screen->pitch + x];
  }

  static SDL_Surface* screen;
};

SDL_Surface* Viewer::screen = nullptr;

}  // namespace

TEST_F(Viewer, PointerStartsAtTheOrigin) {
  TurtleCursor cursor(kGrammar, -5, -5);
  cursor.word = "+o";
  PlainWindow plain(cursor, screen);
  EXPECT_EQ(0, plain.window.explorer().pointer().x);
  EXPECT_EQ(0, plain.window.explorer().pointer().y);
  plain.window.show();
  EXPECT_EQ(1, plain.window.explorer().picked().selected);
}

TEST_F(Viewer, PaletteIsMappedOnTheScreen) {
  const Palette palette = mapPalette(screen->format);
  const SDL_Color* colours = screen->format->palette->colors;
  EXPECT_NE(0u, palette.segment);
  EXPECT_NE(palette.segment, palette.selection);
  EXPECT_NE(palette.selection, palette.bud);
  EXPECT_EQ(255, colours[palette.selection].r);
  EXPECT_EQ(0, colours[palette.selection].g);
  EXPECT_EQ(255, colours[palette.bud].g);
  EXPECT_EQ(0, colours[palette.bud].r);
  EXPECT_GT(colours[palette.segment].r, colours[palette.segment].g);
  EXPECT_EQ(0, colours[0].r + colours[0].g + colours[0].b);  // pixel value 0 is black
}

TEST_F(Viewer, PressesOfOneDrainActOnTheSelectionOfTheFrameShown) {
  const struct {
    const char* what;
    std::vector<SDL_Event> events;
    std::vector<std::string> lines;
  } cases[] = {
      {"a motion and a press", {motion(0, 0), ofType(SDL_MOUSEBUTTONDOWN)}, {kGrownAt13}},
      {"two presses on the same index",
       {ofType(SDL_MOUSEBUTTONDOWN), ofType(SDL_MOUSEBUTTONDOWN)},
       {kGrownAt13, kPrunedAt13}},
      {"a key, then a press", {ofType(SDL_KEYDOWN), ofType(SDL_MOUSEBUTTONDOWN)}, {kGrownAt13}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlainWindow plain(startCursor(), screen);
    plain.selectAt(230, 215);
    push(c.events);
    CoutCapture capture;
    EXPECT_EQ(std::nullopt, plain.window.handleQueued());
    EXPECT_EQ(c.lines, capture.lines());
    EXPECT_EQ(c.lines.back(), plain.session.cursor.word);
    EXPECT_EQ(c.events[0].type == SDL_KEYDOWN, plain.window.explorer().quit());
  }
  PlainWindow closing(startCursor(), screen);
  push({ofType(SDL_QUIT)});
  closing.window.handleQueued();
  EXPECT_TRUE(closing.window.explorer().quit());
}

TEST_F(Viewer, PressOnASegmentPrunes) {
  PlainWindow plain(startCursor(), screen);
  plain.selectAt(282, 188);
  push({ofType(SDL_MOUSEBUTTONDOWN)});
  CoutCapture capture;
  plain.window.handleQueued();
  EXPECT_EQ(std::vector<std::string>{kPrunedAt21}, capture.lines());
}

TEST_F(Viewer, EveryButtonActsAlikeWheelIncluded) {
  for (int button :
       {SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
    PlainWindow plain(startCursor(), screen);
    plain.selectAt(230, 215);
    SDL_Event press = ofType(SDL_MOUSEBUTTONDOWN);
    press.button.button = static_cast<uint8_t>(button);
    press.button.x = 1;  // the press's own position is not read
    press.button.y = 1;
    CoutCapture capture;
    plain.window.handle(userInput(press));
    EXPECT_EQ(std::vector<std::string>{kGrownAt13}, capture.lines()) << "button " << button;
  }
}

TEST_F(Viewer, ReleasesAndOtherEventsChangeNothing) {
  PlainWindow plain(startCursor(), screen);
  plain.selectAt(230, 215);
  push({ofType(SDL_MOUSEBUTTONUP), ofType(SDL_KEYUP), ofType(SDL_ACTIVEEVENT),
        ofType(SDL_VIDEOEXPOSE), ofType(SDL_VIDEORESIZE), ofType(SDL_JOYAXISMOTION),
        ofType(SDL_USEREVENT), ofType(SDL_NUMEVENTS - 1)});
  CoutCapture capture;
  plain.window.handleQueued();
  plain.window.handle(userInput(ofType(SDL_SYSWMEVENT)));  // SDL's queue would read its message
  plain.window.show();
  EXPECT_EQ("", capture.str());
  EXPECT_EQ(kStartWord, plain.session.cursor.word);
  EXPECT_EQ(13, plain.window.explorer().picked().selected);
  EXPECT_FALSE(plain.window.explorer().quit());
  EXPECT_EQ(230, plain.window.explorer().pointer().x);
  EXPECT_EQ(215, plain.window.explorer().pointer().y);
}

TEST_F(Viewer, MotionTakesTheFullUnsignedRange) {
  PlainWindow plain(startCursor(), screen);
  plain.window.handle(userInput(motion(65535, 40000)));
  EXPECT_EQ(65535, plain.window.explorer().pointer().x);
  EXPECT_EQ(40000, plain.window.explorer().pointer().y);
}

TEST_F(Viewer, PixelsOfAFrame) {
  const Palette palette = mapPalette(screen->format);
  PlainWindow plain(startCursor(), screen);
  SDL_FillRect(screen, nullptr, palette.bud);
  plain.selectAt(230, 215);                     // the frame clears the screen first
  EXPECT_EQ(palette.segment, pixel(299, 280));  // first segment, corner and far corner
  EXPECT_EQ(palette.segment, pixel(305, 286));
  EXPECT_EQ(0u, pixel(298, 280));
  EXPECT_EQ(0u, pixel(300, 299));
  EXPECT_EQ(palette.selection, pixel(227, 201));  // the bud under the pointer, corner included
  EXPECT_EQ(palette.selection, pixel(230, 215));
  EXPECT_EQ(palette.selection, pixel(236, 220));
  EXPECT_EQ(palette.bud, pixel(380, 210));  // the last bud, (370, 200)
  EXPECT_EQ(palette.bud, pixel(389, 219));
  EXPECT_EQ(0u, pixel(390, 219));
  EXPECT_EQ(0u, pixel(0, 0));
  EXPECT_EQ(13, plain.window.explorer().picked().selected);
}

TEST_F(Viewer, SquaresAreClippedAtTheWindowsEdges) {
  const Palette palette = mapPalette(screen->format);
  TurtleCursor corner(kGrammar, 590, 390);
  corner.word = "xo";
  PlainWindow atCorner(corner, screen);
  atCorner.window.show();
  EXPECT_EQ(palette.bud, pixel(590, 390));
  EXPECT_EQ(palette.bud, pixel(599, 399));
  EXPECT_EQ(0u, pixel(589, 390));

  TurtleCursor before(kGrammar, -10, -10);
  before.word = "xo";
  PlainWindow atOrigin(before, screen);
  atOrigin.window.show();
  EXPECT_EQ(palette.selection, pixel(0, 0));  // (0, 0) lies inside the open square
  EXPECT_EQ(palette.selection, pixel(9, 9));
  EXPECT_EQ(0u, pixel(10, 9));
  EXPECT_EQ(1, atOrigin.window.explorer().picked().selected);
}

namespace {

struct ProgramRun {
  int status = -1;  // the exit status, or -1 if the program did not exit by itself
  std::string out;
  std::string err;
};

std::string contentOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The real program with the given environment changes (for env) and arguments, shell-quoted;
// the arguments come last, so that they may redirect standard output elsewhere.
ProgramRun runViewer(const std::string& env, const std::string& args) {
  // Named after the test: CTest runs the tests of this file side by side.
  const std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
  const std::string out = testing::TempDir() + name + ".out";
  const std::string err = testing::TempDir() + name + ".err";
  const std::string command =
      "env " + env + " '" LSV_VIEWER_PATH "' >'" + out + "' 2>'" + err + "' " + args;
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contentOf(out), contentOf(err)};
}

}  // namespace

TEST(ViewerProcess, StatusesAndMessagesOfTheCommandLine) {
  const ProgramRun help = runViewer("", "--help");
  EXPECT_EQ(0, help.status);
  EXPECT_EQ(0u, help.out.find("Usage: lsystem-viewer [OPTION]..."));
  EXPECT_EQ("", help.err);

  const ProgramRun bad = runViewer("SDL_VIDEODRIVER=dummy", "-n 1001 --no-such");
  EXPECT_EQ(2, bad.status);
  EXPECT_EQ("", bad.out);
  EXPECT_EQ(
      "lsystem-viewer: -n '1001' is not an integer from 0 to 1000\n"
      "Try 'lsystem-viewer --help'.\n",
      bad.err);

  // Past the word's limit in the second generation: nothing is printed, no window opens.
  const ProgramRun limit =
      runViewer("SDL_VIDEODRIVER=dummy", "-g '{o:" + std::string(100000, 'o') + ";}o' -n 9");
  EXPECT_EQ(1, limit.status);
  EXPECT_EQ("", limit.out);
  EXPECT_EQ("lsystem-viewer: generation 2 would make the word longer than 2147483647 symbols\n",
            limit.err);

  const std::string svg = testing::TempDir() + "viewer_test.svg";
  const ProgramRun written = runViewer("-u DISPLAY", "-n 2 --svg '" + svg + "'");
  EXPECT_EQ(0, written.status) << written.err;
  EXPECT_EQ("aa[+aa[+ao]-ao]-aa[+ao]-ao\n", written.out);
  EXPECT_EQ(0u, contentOf(svg).find("<?xml")) << "no SVG in " << svg;
  const ProgramRun unwritten = runViewer("-u DISPLAY", "--svg /no/such/folder/tree.svg");
  EXPECT_EQ(1, unwritten.status);
  EXPECT_EQ(kStartWord + "\n", unwritten.out);
  EXPECT_EQ(
      "lsystem-viewer: cannot write the SVG to '/no/such/folder/tree.svg': No such file or "
      "directory\n",
      unwritten.err);
  // Presses that find nothing to press, a growth past --max-symbols, a word that draws nothing;
  // the SVG into standard output, through a link or as its very file, and on the disk before a
  // reader of the word that stops early ends the program.
  const std::string nothing = testing::TempDir() + "viewer_test_nothing.svg";
  const std::string link = testing::TempDir() + "viewer_test_link.svg", piped = svg + ".piped";
  const std::string stdoutFile = testing::TempDir() + "StatusesAndMessagesOfTheCommandLine.out";
  std::remove(link.c_str());
  std::remove(piped.c_str());
  ASSERT_EQ(0, symlink("/proc/self/fd/1", link.c_str()));
  const auto book = [](const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
  };
  const std::string unclosed = book("viewer_test_unclosed.lsys", "axiom: A(1)\n\n/* never\n*\n");
  const std::string unfinished =
      book("viewer_test_open.lsys", "#define N 2\naxiom: A(N)\nA(x) -> B(x\n");
  const std::string square = book("viewer_test_square.lsys", "axiom: A(1e300)\nA(x) -> A(x * x)\n");
  const std::string far = book("viewer_test_far.lsys", "axiom: F(1e300)F\n");
  const struct {
    std::string args;
    int status;
    std::string out;
    std::string err;
    std::string env = "SDL_VIDEODRIVER=dummy";
  } runs[] = {
      {"-n 2 --presses 9,2", 1, "",
       "press 2 of --presses, at index 2, finds '[', which is neither a bud 'o' nor a segment 'a'"},
      {"-n 0 --presses 1,10", 1, "",
       "press 2 of --presses, at index 10, finds no symbol: the word has 10 symbols"},
      {"-n 0 --presses 1 --max-symbols 9", 1, "",
       "press 1 of --presses, at index 1, is refused: the word would be longer than 9 symbols"},
      {"-n 20 --max-symbols 1000000", 1, "",
       "generation 17 would make the word longer than 1000000 symbols"},
      {"--svg '" + nothing + "' >/dev/full", 1, "",
       "cannot write to standard output: No space left on device"},
      {">/dev/full", 1, "", "cannot write to standard output: No space left on device"},
      {"-g '{F:F+F;}F' --svg '" + nothing + "'", 0, "F+F+F+F+F+F+F+F\n",
       "the word holds no 'a' and no 'o', so nothing is drawn: only 'a' (a segment) and 'o' (a "
       "bud) are drawn; other letters serve as variables (a grammar written with F needs "
       "--segments F)"},
      {"-n 2 --svg '" + link + "'", 0, contentOf(svg) + written.out, ""},
      {"-n 2 --svg '" + stdoutFile + "'", 0, contentOf(svg) + written.out, ""},
      {"--book '" + unclosed + "'", 2, "",
       unclosed + ": line 3: a comment /* that is never closed"},
      {"--book - < '" + unfinished + "'", 2, "",
       "standard input: line 3: expected ',' or ')' after a parameter, found the end of the line"},
      {"--book '" + square + "'", 1, "",
       "generation 1 is refused: module 0 ('A'), rewritten by the production on line 2, gives a "
       "parameter that is not finite"},
      {"--book '" + far + "' --svg '" + nothing + "'", 0, "F(1e+300)F\n",
       "2 segments and buds are not drawn: a parameter takes the turtle to a point that is not "
       "finite"},
      {"--book '" LSV_SOURCE_DIR "/data/book/tree.lsys' -n 1 --svg '" + nothing + "'", 0,
       "!(8)F(40)[+(28)A(30,5.6)][-(33.6)A(27,5.6)]\n", ""},
      {"-g '{A(t):x;}ao' -n 0 --svg '" + nothing + "'", 0, "ao\n",
       "the rule 'A(t)' of block 1 never takes effect: its key is longer than one byte (an "
       "L-system in the book's notation is read with --book FILE)"},
      {"-g '{x:xx;}ax' -n 20 --svg '" + piped + "'", 0, "axxxxxxxxx</svg>\n", "",
       "sh -c '\"$0\" \"$@\" 2>/dev/null | head -c 10; tail -c 7 \"" + piped + "\"'"},
  };
  for (const auto& run : runs) {
    const ProgramRun result = runViewer(run.env, run.args);
    EXPECT_EQ(run.status, result.status) << run.args;
    EXPECT_EQ(run.out, result.out) << run.args;
    EXPECT_EQ(run.err.empty() ? "" : "lsystem-viewer: " + run.err + "\n", result.err) << run.args;
  }
}

TEST(ViewerProcess, NoWindowIsReportedOnStandardError) {
  for (const std::string env :
       {"SDL_VIDEODRIVER=no-such-driver", "-u DISPLAY SDL_VIDEODRIVER=x11"}) {
    SCOPED_TRACE(env);
    const ProgramRun run = runViewer(env + " SDL_AUDIODRIVER=dummy", "--size 640x480");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("", run.out);
    const std::string prefix = "lsystem-viewer: cannot open a 640x480 8-bit window: ";
    EXPECT_EQ(0u, run.err.rfind(prefix, 0)) << run.err;
    EXPECT_GT(run.err.size(), prefix.size() + 1) << "SDL's own error text is missing";
    EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << "exactly one line";
  }
}

TEST(ViewerProcess, WithoutADisplayTheDefaultDriversEndItQuietly) {
  // SDL picks its drivers itself: without an X server, a text-mode or an off-screen one.
  const ProgramRun run =
      runViewer("-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER", "");
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("", run.out) << "the terminal or the word was written";
  EXPECT_NE(std::string::npos,
            run.err.find("lsystem-viewer: no display found (SDL fell back to its "))
      << run.err;
  EXPECT_EQ(std::string::npos, run.err.find("ALSA")) << "SDL probed the sound card:\n" << run.err;
}

// End to end: the real viewer in a private X server, driven with xdotool, read on its output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "angle.h"
#include "figure.h"
#include "frames.h"
#include "options.h"
#include "press.h"
#include "sdl_library.h"
#include "session.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "view.h"
#include "words.h"
#include "x11_session.h"

#ifndef LSV_VIEWER_PATH
#error "LSV_VIEWER_PATH must name the viewer executable"
#endif

namespace {

const Millis kPatience(10000);  // for anything the viewer or the X server has to do

// What a pixel shows. A frame holds one shade per pixel, row by row.
enum Shade : uint8_t { kBlack, kBrown, kRed, kGreen, kNoCapture };
struct Picture {
  int width = 600;
  int height = 400;
  std::vector<Shade> shades;
  bool operator==(const Picture& other) const {
    return width == other.width && height == other.height && shades == other.shades;
  }
};

const char* shadeName(Shade shade) {
  static const char* const names[] = {"black", "brown", "red", "green", "no capture"};
  return names[shade];
}

// The picture that the frame's squares predict, at the positions cut to 16 bits or through a
// view: later squares over earlier ones, clipped.
Picture predictFrame(TurtleCursor cursor, int32_t px, int32_t py, int width = 600, int height = 400,
                     const View* view = nullptr, const Style& style = Style()) {
  Picture picture{width, height, std::vector<Shade>(static_cast<size_t>(width * height), kBlack)};
  const Frame frame =
      frameOf(cursor, px, py, view, style, width, height, Palette{kBrown, kRed, kGreen});
  for (const Fill& fill : frame.fills) {
    for (int y = fill.square.y; y < fill.square.y + fill.square.h; ++y) {
      for (int x = fill.square.x; x < fill.square.x + fill.square.w; ++x) {
        picture.shades[static_cast<size_t>(y * width + x)] = static_cast<Shade>(fill.colour);
      }
    }
  }
  return picture;
}

// The selection that a frame with the pointer at (px, py) picks.
int32_t selectedAt(TurtleCursor cursor, int32_t px, int32_t py, int width = 600, int height = 400,
                   const View* view = nullptr, const Style& style = Style()) {
  return frameOf(cursor, px, py, view, style, width, height).selected;
}

// Each pixel of 8-bit RGB becomes the nearest of the four colours: the 8-bit palette shifts
// brown a little.
Picture shadesOf(const std::string& rgb, int width, int height) {
  static const int colours[4][3] = {{0, 0, 0}, {102, 51, 0}, {255, 0, 0}, {0, 255, 0}};
  Picture frame{width, height, {}};
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    Shade best = kBlack;
    int bestDistance = 1 << 30;
    for (int s = 0; s < 4; ++s) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = static_cast<uint8_t>(rgb[i + static_cast<size_t>(c)]) - colours[s][c];
        distance += d * d;
      }
      if (distance < bestDistance) {
        best = static_cast<Shade>(s);
        bestDistance = distance;
      }
    }
    frame.shades.push_back(best);
  }
  return frame;
}

Picture shadesOf(const Capture& capture) {
  return shadesOf(std::string(capture.rgb.begin(), capture.rgb.end()), capture.width,
                  capture.height);
}

std::string describeDifference(const Picture& expected, const Picture& seen) {
  if (seen.shades.size() != expected.shades.size() || seen.width != expected.width) {
    return "the capture is " + std::to_string(seen.width) + "x" + std::to_string(seen.height) +
           ", not " + std::to_string(expected.width) + "x" + std::to_string(expected.height);
  }
  std::ostringstream out;
  size_t count = 0;
  const auto w = static_cast<size_t>(expected.width);
  for (size_t i = 0; i < expected.shades.size(); ++i) {
    if (expected.shades[i] == seen.shades[i]) continue;
    if (++count <= 5) {
      out << " (" << i % w << ", " << i / w << ") " << shadeName(expected.shades[i])
          << " expected, " << shadeName(seen.shades[i]) << " seen;";
    }
  }
  return std::to_string(count) + " pixels differ:" + out.str();
}

std::string exitDescription(const std::optional<int>& status) {
  if (!status) return "still running";
  if (WIFEXITED(*status)) return "exit status " + std::to_string(WEXITSTATUS(*status));
  if (WIFSIGNALED(*status)) return "killed by signal " + std::to_string(WTERMSIG(*status));
  return "status " + std::to_string(*status);
}

// The CPU time, user and system, that a process has used so far, in seconds; NaN, which fails
// every comparison, when it cannot be read.
double cpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // from the third field, state
  std::string skipped;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  double user = 0, system = 0;
  if (!(fields >> user >> system)) return std::nan("");
  return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The X server of this test process: CTest starts each test under xvfb-run, which gives it an
// Xvfb of its own and stops it when the test ends, pass or fail.
std::string display() {
  const char* d = std::getenv("DISPLAY");
  return d == nullptr ? "" : d;
}

// One viewer per test on the test's own X server.
class ViewerE2e : public ::testing::Test {
 protected:
  void SetUp() override { launch({}); }

  // Starts the viewer with the given options, in the folder dir and with standard error into
  // errorFile when those are given; SDL picks its drivers itself.
  void launch(const std::vector<std::string>& options, const std::string& dir = "",
              const std::string& errorFile = "") {
    ASSERT_FALSE(display().empty()) << "no X server: run the test under xvfb-run -a";
    std::vector<std::string> argv{LSV_VIEWER_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    viewer.emplace(argv, std::vector<std::string>{"DISPLAY=" + display()}, true, dir, errorFile);
    ASSERT_TRUE(viewer->started());
    startLine = viewer->readLine(kPatience);  // written after the window is open
    ASSERT_TRUE(startLine) << "no start word on " << display() << "; the viewer has "
                           << exitDescription(viewer->wait(Millis(0)));
    ASSERT_TRUE(runsOnExpectedSdl(std::to_string(viewer->pid())));
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (window.empty() && std::chrono::steady_clock::now() < deadline) {
      // The search fails until the window exists.
      std::istringstream ids(runXdotool({"search", "--class", "lsystem-viewer"}).out);
      ids >> window;
      if (window.empty()) std::this_thread::sleep_for(Millis(20));
    }
    ASSERT_FALSE(window.empty()) << "no window of class lsystem-viewer";
  }

  ToolResult runXdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return runTool(args, {"DISPLAY=" + display()}, kPatience);
  }

  void xdotool(const std::vector<std::string>& args) {
    const ToolResult result = runXdotool(args);
    EXPECT_EQ(0, result.exitCode) << "xdotool " << args.front() << " failed";
  }

  // Without a window manager the window sits at the screen's corner, but go by the window.
  void movePointer(int px, int py) {
    xdotool({"mousemove", "--window", window, std::to_string(px), std::to_string(py)});
  }

  void press(int button) { xdotool({"click", std::to_string(button)}); }

  // Ends the viewer as a window manager's close button does and returns what it wrote that has
  // not been read yet.
  std::string quitAndReadRest() {
    EXPECT_TRUE(requestClose(display(), window));
    EXPECT_EQ("exit status 0", exitDescription(viewer->wait(kPatience)));
    return viewer->readRest(kPatience);
  }

  // Captures the window until it shows exactly the expected frame. The viewer redraws without
  // pause, so the frame catches up with the pointer within a few captures.
  ::testing::AssertionResult showsFrame(const Picture& expected) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      const Capture capture = captureWindow(display(), window);
      seen = shadesOf(capture);
      if (seen == expected) return ::testing::AssertionSuccess();
      if (std::chrono::steady_clock::now() >= deadline) {
        return ::testing::AssertionFailure()
               << describeDifference(expected, seen) << " " << capture.error;
      }
    }
  }

  Shade shadeAt(int px, int py) const {
    const auto i = static_cast<size_t>(py * seen.width + px);
    return i < seen.shades.size() ? seen.shades[i] : kNoCapture;
  }

  std::string title() {
    std::string name = runXdotool({"getwindowname", window}).out;
    return name.substr(0, name.find('\n'));
  }

  std::optional<Child> viewer;
  std::optional<std::string> startLine;
  std::string window;
  Picture seen;  // the latest frame captured by showsFrame
};

TEST_F(ViewerE2e, StartWordIsTheFirstLineAndItsFigureTheFirstFrame) {
  EXPECT_EQ(kStartWord, *startLine);
  EXPECT_EQ(58u, startLine->size());
  // The pointer selects nothing where Xvfb puts it at start, nor at (0, 0).
  EXPECT_TRUE(showsFrame(predictFrame(startCursor(), 0, 0)));
  EXPECT_EQ(kGreen, shadeAt(230, 215));
  EXPECT_EQ(kBrown, shadeAt(302, 283));
}

TEST_F(ViewerE2e, FirstSegmentIsRedOnlyInsideItsOpenSquare) {
  // Its square's corner is (299, 280); red and brown alternate so that each frame shows a move.
  struct Case {
    int px;
    int py;
    Shade shade;
  };
  for (const Case& c : {Case{300, 281, kRed}, Case{299, 281, kBrown}, Case{305, 286, kRed},
                        Case{306, 287, kBrown}}) {
    SCOPED_TRACE("pointer at (" + std::to_string(c.px) + ", " + std::to_string(c.py) + ")");
    movePointer(c.px, c.py);
    EXPECT_TRUE(showsFrame(predictFrame(startCursor(), c.px, c.py)));
    EXPECT_EQ(c.shade, shadeAt(302, 283));
  }
  movePointer(300, 281);
  ASSERT_TRUE(showsFrame(predictFrame(startCursor(), 300, 281)));
  press(1);
  EXPECT_EQ(kStartWord, viewer->readLine(kPatience));
  EXPECT_EQ("", quitAndReadRest()) << "one line per press";
}

TEST_F(ViewerE2e, PressOnARedBudGrowsIt) {
  movePointer(230, 215);
  ASSERT_TRUE(showsFrame(predictFrame(startCursor(), 230, 215)));
  EXPECT_EQ(kRed, shadeAt(230, 215));
  press(1);
  EXPECT_EQ(kGrownAt13, viewer->readLine(kPatience));
  EXPECT_TRUE(showsFrame(predictFrame(cursorWith(kGrownAt13), 230, 215)));
  EXPECT_EQ("", quitAndReadRest()) << "one line per press";
}

TEST_F(ViewerE2e, PressOnARedSegmentPrunesItsBranch) {
  movePointer(282, 188);
  ASSERT_TRUE(showsFrame(predictFrame(startCursor(), 282, 188)));
  EXPECT_EQ(kRed, shadeAt(282, 188));
  press(3);
  EXPECT_EQ(kPrunedAt21, viewer->readLine(kPatience));
  EXPECT_TRUE(showsFrame(predictFrame(cursorWith(kPrunedAt21), 282, 188)));
  EXPECT_EQ("", quitAndReadRest()) << "one line per press";
}

TEST_F(ViewerE2e, TwoBudsUnderThePointerAreBothRed) {
  movePointer(240, 203);
  EXPECT_TRUE(showsFrame(predictFrame(startCursor(), 240, 203)));
  EXPECT_EQ(kRed, shadeAt(228, 202));  // only in the bud at (227, 201)
  EXPECT_EQ(kRed, shadeAt(250, 190));  // only in the bud at (237, 185)
  EXPECT_EQ(kGreen, shadeAt(270, 170));
}

TEST_F(ViewerE2e, WheelStepsActLikeButtons) {
  movePointer(230, 215);
  ASSERT_TRUE(showsFrame(predictFrame(startCursor(), 230, 215)));
  press(4);
  EXPECT_EQ(kGrownAt13, viewer->readLine(kPatience));
  movePointer(300, 281);
  ASSERT_TRUE(showsFrame(predictFrame(cursorWith(kGrownAt13), 300, 281)));
  EXPECT_EQ(kRed, shadeAt(302, 283));
  press(5);
  EXPECT_EQ(kGrownAt13, viewer->readLine(kPatience));
  EXPECT_EQ("", quitAndReadRest()) << "one line per press";
}

TEST_F(ViewerE2e, IdleItSleepsAndAKeyEndsItAtOnce) {
  // Without a window manager the keyboard follows the pointer.
  movePointer(50, 50);
  ASSERT_TRUE(showsFrame(predictFrame(startCursor(), 50, 50)));
  const double before = cpuSeconds(viewer->pid());
  std::this_thread::sleep_for(Millis(3000));
  const double idle = cpuSeconds(viewer->pid()) - before;
  std::printf("idle CPU of the viewer without options over 3 s: %.3f s\n", idle);
  RecordProperty("idle_cpu_ms", static_cast<int>(idle * 1000));
  EXPECT_GT(0.1, idle);
  // From before xdotool starts: its own start is counted too.
  const auto pressed = std::chrono::steady_clock::now();
  xdotool({"key", "q"});
  const std::optional<int> status = viewer->wait(kPatience);
  const double ended =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
  std::printf("from the key to the process's end: %.3f s\n", ended);
  RecordProperty("quit_ms", static_cast<int>(ended * 1000));
#if defined(LSV_SANITIZED)
  EXPECT_GT(1.0, ended);  // the sanitizers' own work at the end (the leak check) comes on top
#else
  EXPECT_GT(0.1, ended);
#endif
  ASSERT_TRUE(status && WIFEXITED(*status)) << exitDescription(status);
  EXPECT_EQ(0, WEXITSTATUS(*status));
  EXPECT_EQ("", viewer->readRest(kPatience));
}

TEST_F(ViewerE2e, SigtermEndsTheProgramWithStatusZero) {
  // SDL turns it into a quit request. Its handler is in place: the start word, read in SetUp,
  // comes after SDL_Init.
  viewer->signal(SIGTERM);
  const std::optional<int> status = viewer->wait(kPatience);
  ASSERT_TRUE(status && WIFEXITED(*status)) << exitDescription(status);
  EXPECT_EQ(0, WEXITSTATUS(*status));
  EXPECT_EQ("", viewer->readRest(kPatience));
}

TEST_F(ViewerE2e, WindowCloseEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(requestClose(display(), window));
  const std::optional<int> status = viewer->wait(kPatience);
  ASSERT_TRUE(status && WIFEXITED(*status)) << exitDescription(status);
  EXPECT_EQ(0, WEXITSTATUS(*status));
  EXPECT_EQ("", viewer->readRest(kPatience));
}

}  // namespace

namespace {

// A grammar, angle, step, start point and window size of the user's own.
const std::vector<std::string> kOwnOptions{
    "-g",      "{o:a[-ao][+ao]ao;}o", "-n", "3", "--angle=22.5", "--step", "9", "--origin",
    "150,290", "--size=320x300"};

TurtleCursor ownCursor() {
  TurtleCursor cursor("{o:a[-ao][+ao]ao;}o", 150, 290, 9,
                      static_cast<float>(22.5 * 3.14159265358979323846 / 180.0));
  for (int i = 0; i < 3; ++i) cursor.grow();
  return cursor;
}

// The bud farthest along the word, and the middle of its open square on the screen.
struct Point {
  int x, y;
};
Point lastBud(TurtleCursor cursor, const View& view = View{}) {
  Point at{0, 0};
  const auto half = static_cast<int>(viewSide(view, kBudSide)) / 2;
  const ViewSquares squares(view);
  const Figure figure(cursor);
  for (const Stroke& stroke : figure.strokes()) {
    if (stroke.bud) {
      at = {static_cast<int>(squares.column(stroke.x1)) + half,
            static_cast<int>(squares.row(stroke.y1)) + half};
    }
  }
  return at;
}

class ViewerE2eOwnLSystem : public ViewerE2e {
 protected:
  void SetUp() override { launch(kOwnOptions); }
};

}  // namespace

TEST_F(ViewerE2eOwnLSystem, WindowTitleAndPressFollowTheOptions) {
  TurtleCursor cursor = ownCursor();
  EXPECT_EQ(cursor.word, *startLine);
  EXPECT_EQ("lsystem-viewer: " + std::to_string(cursor.wordLength()) + " symbols", title());
  movePointer(319, 0);
  ASSERT_TRUE(showsFrame(predictFrame(cursor, 319, 0, 320, 300)));

  const Point bud = lastBud(cursor);
  movePointer(bud.x, bud.y);
  ASSERT_TRUE(showsFrame(predictFrame(cursor, bud.x, bud.y, 320, 300)));
  EXPECT_EQ(kRed, shadeAt(bud.x, bud.y));
  press(1);
  cursor.selected = selectedAt(cursor, bud.x, bud.y, 320, 300);
  ASSERT_EQ('o', cursor.selectedSymbol());
  cursor.grow();
  EXPECT_EQ(cursor.word, viewer->readLine(kPatience));
  EXPECT_TRUE(showsFrame(predictFrame(cursor, bud.x, bud.y, 320, 300)));
  EXPECT_EQ("lsystem-viewer: " + std::to_string(cursor.wordLength()) + " symbols", title());
  EXPECT_EQ("", quitAndReadRest()) << "one line per press";
}

TEST_F(ViewerE2eOwnLSystem, TheSvgRendersAsTheWindowShowsTheFigure) {
  movePointer(319, 0);  // on no square: nothing red
  ASSERT_TRUE(showsFrame(predictFrame(ownCursor(), 319, 0, 320, 300)));
  const std::string svg = testing::TempDir() + "viewer_e2e_own.svg";
  std::vector<std::string> argv{LSV_VIEWER_PATH};
  argv.insert(argv.end(), kOwnOptions.begin(), kOwnOptions.end());
  argv.insert(argv.end(), {"--svg", svg});
  ASSERT_EQ(0, runTool(argv, {}, kPatience).exitCode);
  ASSERT_EQ(0, runTool({"xmllint", "--noout", svg}, {}, kPatience).exitCode);

  // rsvg-convert renders the box around the squares; the window shows it at the box's corner.
  std::ifstream in(svg);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t viewBox = text.find("viewBox=\"");
  ASSERT_NE(std::string::npos, viewBox);
  int x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(4, std::sscanf(text.c_str() + viewBox + 9, "%d %d %d %d", &x, &y, &w, &h));
  ASSERT_TRUE(x >= 0 && y >= 0 && x + w <= 320 && y + h <= 300) << "the figure leaves the window";
  const std::string png = svg + ".png";
  ASSERT_EQ(0, runTool({"rsvg-convert", "-o", png, svg}, {}, kPatience).exitCode);
  const ToolResult rgb = runTool({"convert", png, "-depth", "8", "rgb:-"}, {}, kPatience);
  const Picture rendered = shadesOf(rgb.out, w, h);
  Picture box{w, h, {}};
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; ++column) {
      box.shades.push_back(seen.shades[static_cast<size_t>((y + row) * 320 + x + column)]);
    }
  }
  EXPECT_TRUE(rendered == box) << describeDifference(box, rendered);
}

namespace {

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The viewer with --fit --explore on the built-in grammar, started with the pointer at the
// window's corner, in a scratch folder that already holds a saved figure. The test keeps the
// word, view, window size and pointer that the window should show.
class ViewerExplore : public ViewerE2e {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/lsystem-viewer-1.svg") << kEarlierSave;
    ASSERT_EQ(0, runXdotool({"mousemove", "0", "0"}).exitCode);
    launch({"-n", "5", "--fit", "--explore"}, dir, dir + ".err");
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    std::filesystem::remove(dir + ".err");
  }

  // Captures until the window shows the predicted frame, then reads the title's length and zoom.
  ::testing::AssertionResult showsState() {
    ::testing::AssertionResult frame =
        showsFrame(predictFrame(cursor, px, py, width, height, &view));
    if (!frame) return frame;
    const std::string expected = "lsystem-viewer: " + std::to_string(cursor.wordLength()) +
                                 " symbols, zoom " + std::to_string(zoomPercent(view)) + "%";
    if (title() == expected) return frame;
    return ::testing::AssertionFailure() << "title " << title() << ", not " << expected;
  }

  void point(int x, int y) {
    px = x;
    py = y;
    movePointer(x, y);
  }

  // The zoom by 1.25 about (cx, cy) that the wheel and the keys make.
  void zoom(bool in, double cx, double cy) {
    view.tx = in ? cx - (cx - view.tx) * 1.25 : cx - (cx - view.tx) / 1.25;
    view.ty = in ? cy - (cy - view.ty) * 1.25 : cy - (cy - view.ty) / 1.25;
    view.s = in ? view.s * 1.25 : view.s / 1.25;
  }

  const std::string kEarlierSave = "<svg>an earlier save</svg>\n";
  const std::string dir = testing::TempDir() + "viewer_explore_" + std::to_string(getpid());
  TurtleCursor cursor = grownCursor(5);
  int width = 600, height = 400, px = 0, py = 0;
  View view = fitView(Figure(cursor), 600, 400, Style());
};

}  // namespace

TEST_F(ViewerExplore, ZoomPanResizeUndoAndPressesActOnTheRedSquare) {
  const TurtleCursor start = cursor;
  EXPECT_EQ(cursor.word, *startLine);
  ASSERT_TRUE(showsState());
  // Waiting for events, the viewer uses next to no CPU.
  const double before = cpuSeconds(viewer->pid());
  std::this_thread::sleep_for(Millis(3000));
  const double idle = cpuSeconds(viewer->pid()) - before;
  std::printf("idle CPU of the viewer over 3 s: %.3f s\n", idle);
  RecordProperty("idle_cpu_ms", static_cast<int>(idle * 1000));
  EXPECT_GT(0.1, idle);

  // The wheel zooms about the pointer, which stays on the last bud.
  const Point bud = lastBud(cursor, view);
  point(bud.x, bud.y);
  ASSERT_TRUE(showsState());
  for (const int button : {4, 4, 5}) {
    SCOPED_TRACE("wheel button " + std::to_string(button));
    press(button);
    zoom(button == 4, px, py);
    ASSERT_TRUE(showsState());
  }
  ASSERT_NE(1.0, view.s);
  press(1);
  cursor.selected = selectedAt(cursor, px, py, width, height, &view);
  ASSERT_EQ('o', cursor.selectedSymbol());
  const int32_t grownAt = cursor.selected;
  cursor.grow();
  EXPECT_EQ(cursor.word, viewer->readLine(kPatience));
  ASSERT_TRUE(showsState());

  // A press on black is printed but changes nothing; a right-button drag pans.
  const Picture shown = predictFrame(cursor, px, py, width, height, &view);
  const auto black = std::find(shown.shades.begin(), shown.shades.end(), kBlack);
  ASSERT_NE(shown.shades.end(), black);
  const int at = static_cast<int>(black - shown.shades.begin());
  point(at % width, at / width);
  press(1);
  EXPECT_EQ(cursor.word, viewer->readLine(kPatience));
  xdotool({"mousedown", "3"});
  point(px + 60, py + 40);
  xdotool({"mouseup", "3"});
  view.tx += 60;
  view.ty += 40;
  ASSERT_TRUE(showsState());

  // Keys pan by an eighth of the window and zoom about its middle, before and after a resize.
  const auto key = [&](const std::string& name) {
    SCOPED_TRACE("key " + name);
    xdotool({"key", name});
    EXPECT_TRUE(showsState());
  };
  zoom(true, 300, 200);
  key("plus");
  zoom(false, 300, 200);
  key("minus");
  view.tx += 600 / 8;
  key("Left");
  view.ty -= 400 / 8;
  key("Down");
  width = 480;
  height = 360;
  xdotool({"windowsize", window, "480", "360"});
  EXPECT_TRUE(showsState());
  view.tx -= 480 / 8;
  key("Right");
  view.ty += 360 / 8;
  key("Up");
  view = fitView(Figure(cursor), width, height, Style());
  key("f");
  view = View{};
  key("0");
  EXPECT_TRUE(
      showsFrame(predictFrame(cursor, px, py, width, height)));  // the positions as they are

  // s saves beside the earlier file; the line and the file draw the grown word again.
  xdotool({"key", "s"});
  const std::string line =
      "lsystem-viewer: saved lsystem-viewer-2.svg; draw it again with: lsystem-viewer -n 5 --fit "
      "--explore --presses " +
      std::to_string(grownAt);
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (fileText(dir + ".err").find('\n') == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(Millis(20));
  }
  EXPECT_EQ(line + "\n", fileText(dir + ".err"));
  EXPECT_EQ(kEarlierSave, fileText(dir + "/lsystem-viewer-1.svg"));
  const std::string again = dir + ".again.svg";
  EXPECT_EQ(
      0, runTool({LSV_VIEWER_PATH, "-n", "5", "--presses", std::to_string(grownAt), "--svg", again},
                 {}, kPatience)
             .exitCode);
  EXPECT_EQ(fileText(again), fileText(dir + "/lsystem-viewer-2.svg"));
  std::filesystem::remove(again);

  // u takes back the growth, not the press on black, and then has nothing left to take back.
  cursor = start;
  xdotool({"key", "u"});
  EXPECT_EQ(start.word, viewer->readLine(kPatience));
  EXPECT_TRUE(showsState());
  xdotool({"key", "u"});
  xdotool({"key", "q"});
  EXPECT_EQ("exit status 0", exitDescription(viewer->wait(kPatience)));
  EXPECT_EQ("", viewer->readRest(kPatience)) << "nothing printed by the second u";
}

// The book's plant as lines, its apices buds, in --explore: the red stroke under the pointer, a
// wheel step, a press on a bud and on a segment, then the angle turned, the whole word grown and
// taken back, and the growth played, each frame against the walk.
const std::vector<std::string> kBooksPlant{"-g",         "{X:F+[[X]-X]-F[-FX]+X;F:FF;}X",
                                           "--segments", "F",
                                           "--buds",     "X",
                                           "-n",         "3",
                                           "-a",         "25",
                                           "--lines",    "--width",
                                           "2",          "--fit",
                                           "--explore"};

class ViewerBooksPlant : public ViewerExplore {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir);
    ASSERT_EQ(0, runXdotool({"mousemove", "0", "0"}).exitCode);
    launch(kBooksPlant, dir, dir + ".err");
  }
};

TEST_F(ViewerBooksPlant, GrowsTurnsAndPlaysAsTheWalkDraws) {
  Options options = parseOptions(kBooksPlant).options;
  const Style style = figureStyle(options);
  cursor = cursorOf(options);
  for (int i = 0; i < 3; ++i) cursor.grow();
  view = fitView(Figure(cursor), width, height, style);
  const auto shows = [&](const TurtleCursor& shown, const View& at) {
    return showsFrame(predictFrame(shown, px, py, width, height, &at, style));
  };
  ASSERT_TRUE(shows(cursor, view));
  // The last bud, then the middle of the first segment at least 12 pixels long in the window.
  Point bud{0, 0};
  const ViewLines lines(view, style.width);
  const Figure figure(cursor);
  for (const Stroke& stroke : figure.strokes()) {
    const ScreenPoint at = lines.point(stroke.x1, stroke.y1);
    if (stroke.bud) bud = {static_cast<int>(at.x), static_cast<int>(at.y)};
  }
  point(bud.x, bud.y);
  press(4);
  zoom(true, px, py);
  ASSERT_TRUE(shows(cursor, view));
  const auto pressAndPredict = [&](char symbol) {
    cursor.selected = selectedAt(cursor, px, py, width, height, &view, style);
    ASSERT_EQ(symbol, cursor.selectedSymbol());
    press(1);
    symbol == 'X' ? cursor.grow() : cursor.prune();
    EXPECT_EQ(cursor.word, viewer->readLine(kPatience));
    EXPECT_TRUE(shows(cursor, view));
  };
  pressAndPredict('X');
  const Figure pressed(cursor);
  for (const Stroke& stroke : pressed.strokes()) {
    const ScreenPoint a = lines.point(stroke.x0, stroke.y0), b = lines.point(stroke.x1, stroke.y1);
    const ScreenPoint mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    if (stroke.bud || std::abs(a.x - b.x) + std::abs(a.y - b.y) < 12 || px != bud.x ||
        stroke.index == 0 || mid.x < 10 || mid.x >= width - 10 || mid.y < 10 ||
        mid.y >= height - 10) {
      continue;  // the pointer stays in the window, where the keys go too
    }
    px = static_cast<int>(mid.x);
    py = static_cast<int>(mid.y);
  }
  point(px, py);
  pressAndPredict('F');
  // ] turns the angle a degree; n grows the whole word and u takes it back.
  xdotool({"key", "bracketright"});
  cursor.angle = *radiansOfDegrees(26);
  EXPECT_TRUE(shows(cursor, view));
  TurtleCursor grown = cursor;
  xdotool({"key", "n"});
  grown.selected = 0;
  grown.grow();
  EXPECT_EQ(grown.word, viewer->readLine(kPatience));
  view = fitView(Figure(grown), width, height, style);  // --fit fits the grown figure
  EXPECT_TRUE(shows(grown, view));
  xdotool({"key", "u"});
  EXPECT_EQ(cursor.word, viewer->readLine(kPatience));
  // p plays the growth from the axiom in the view that fits its last generation; a key stops it.
  xdotool({"key", "p"});
  TurtleCursor played = cursorOf(options), last = cursorOf(options);
  played.angle = last.angle = cursor.angle;
  growWhole(played);
  for (int i = 0; i < 3; ++i) growWhole(last);
  EXPECT_TRUE(shows(played, fitView(Figure(last), width, height, style)));
  xdotool({"key", "x"});
  EXPECT_TRUE(shows(cursor, view));
  EXPECT_EQ("", quitAndReadRest()) << "nothing printed by the growth played";
}

// The book's notation: a parametric tree, its apices A the buds, pressed and taken back.
class ViewerBookTree : public ViewerExplore {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir);
    ASSERT_EQ(0, runXdotool({"mousemove", "0", "0"}).exitCode);
    launch(args, dir, dir + ".err");
  }
  const std::vector<std::string> args = {
      "--book",   LSV_SOURCE_DIR "/data/book/tree.lsys", "--buds", "A", "-n", "3", "--fit",
      "--explore"};
};

TEST_F(ViewerBookTree, APressGrowsAnApexWithItsParametersAndUndoTakesItBack) {
  Options options = parseOptions(args).options;
  bool badFile = false;
  ASSERT_EQ("", readBookFile(options, badFile));
  const Style style = figureStyle(options);
  cursor = cursorOf(options);
  for (int i = 0; i < 3; ++i) cursor.grow();
  EXPECT_EQ(cursor.printedWord(), *startLine);
  view = fitView(Figure(cursor), width, height, style);
  const auto shows = [&](const TurtleCursor& shown) {
    return showsFrame(predictFrame(shown, px, py, width, height, &view, style));
  };
  const ViewLines lines(view, style.width);
  const Figure figure(cursor);
  for (const Stroke& stroke : figure.strokes()) {  // the pointer on the last apex
    const ScreenPoint at = lines.point(stroke.x1, stroke.y1);
    if (stroke.bud) point(static_cast<int>(at.x), static_cast<int>(at.y));
  }
  ASSERT_TRUE(shows(cursor));
  const TurtleCursor before = cursor;
  cursor.selected = selectedAt(cursor, px, py, width, height, &view, style);
  ASSERT_EQ('A', cursor.selectedSymbol());
  press(1);
  cursor.grow();
  EXPECT_EQ(cursor.printedWord(), viewer->readLine(kPatience));
  EXPECT_TRUE(shows(cursor));
  xdotool({"key", "u"});
  EXPECT_EQ(before.printedWord(), viewer->readLine(kPatience));
  EXPECT_TRUE(shows(before));
  EXPECT_EQ("", quitAndReadRest());
}

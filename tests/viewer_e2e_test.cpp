// End to end: the real viewer in a private X server, driven with xdotool, read on its output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "figure.h"
#include "sdl_library.h"
#include "turtle_cursor.h"
#include "words.h"
#include "x11_session.h"

#ifndef LSV_VIEWER_PATH
#error "LSV_VIEWER_PATH must name the viewer executable"
#endif

namespace {

const Millis kPatience(10000);  // for anything the viewer or the X server has to do

constexpr int kWidth = 600;
constexpr int kHeight = 400;

// What a pixel shows. A frame holds one shade per pixel, row by row.
enum Shade : uint8_t { kBlack, kBrown, kRed, kGreen, kNoCapture };
using Frame = std::vector<Shade>;

const char* shadeName(Shade shade) {
  static const char* const names[] = {"black", "brown", "red", "green", "no capture"};
  return names[shade];
}

// The frame that the walk's squares predict: later squares over earlier ones, clipped.
Frame predictFrame(TurtleCursor arbre, int32_t px, int32_t py) {
  Frame frame(kWidth * kHeight, kBlack);
  walkFigure(arbre, Palette{kBrown, kRed, kGreen}, px, py,
             [&frame](const Square& square, uint32_t shade) {
               const int x0 = std::max<int>(square.x, 0);
               const int y0 = std::max<int>(square.y, 0);
               const int x1 = std::min<int>(square.x + square.w, kWidth);
               const int y1 = std::min<int>(square.y + square.h, kHeight);
               for (int y = y0; y < y1; ++y) {
                 for (int x = x0; x < x1; ++x)
                   frame[static_cast<size_t>(y * kWidth + x)] = static_cast<Shade>(shade);
               }
             });
  return frame;
}

// Each pixel becomes the nearest of the four colours: the 8-bit palette shifts brown a little.
Frame shadesOf(const Capture& capture) {
  static const int colours[4][3] = {{0, 0, 0}, {102, 51, 0}, {255, 0, 0}, {0, 255, 0}};
  Frame frame;
  for (size_t i = 0; i + 2 < capture.rgb.size(); i += 3) {
    Shade best = kBlack;
    int bestDistance = 1 << 30;
    for (int s = 0; s < 4; ++s) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = capture.rgb[i + static_cast<size_t>(c)] - colours[s][c];
        distance += d * d;
      }
      if (distance < bestDistance) {
        best = static_cast<Shade>(s);
        bestDistance = distance;
      }
    }
    frame.push_back(best);
  }
  return frame;
}

std::string describeDifference(const Frame& expected, const Frame& seen) {
  if (seen.size() != expected.size()) return "the capture is not 600x400";
  std::ostringstream out;
  size_t count = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == seen[i]) continue;
    if (++count <= 5) {
      out << " (" << i % kWidth << ", " << i / kWidth << ") " << shadeName(expected[i])
          << " expected, " << shadeName(seen[i]) << " seen;";
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

// The X server of this test process: CTest starts each test under xvfb-run, which gives it an
// Xvfb of its own and stops it when the test ends, pass or fail.
std::string display() {
  const char* d = std::getenv("DISPLAY");
  return d == nullptr ? "" : d;
}

// One viewer per test on the test's own X server.
class ViewerE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(display().empty()) << "no X server: run the test under xvfb-run -a";
    // The audio driver only keeps SDL from complaining about a missing sound card.
    viewer.emplace(std::vector<std::string>{LSV_VIEWER_PATH},
                   std::vector<std::string>{"DISPLAY=" + display(), "SDL_VIDEODRIVER=x11",
                                            "SDL_AUDIODRIVER=dummy"},
                   true);
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
  ::testing::AssertionResult showsFrame(const Frame& expected) {
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
    const auto i = static_cast<size_t>(py * kWidth + px);
    return i < seen.size() ? seen[i] : kNoCapture;
  }

  std::optional<Child> viewer;
  std::optional<std::string> startLine;
  std::string window;
  Frame seen;  // the latest frame captured by showsFrame
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

TEST_F(ViewerE2e, KeyPressEndsTheProgramWithStatusZero) {
  // Without a window manager the keyboard follows the pointer.
  movePointer(50, 50);
  xdotool({"key", "q"});
  const std::optional<int> status = viewer->wait(kPatience);
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

// Hostile use of the viewer in-process: event floods, long press runs, a closed or full stdout.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "adapter.h"
#include "figure.h"
#include "plain_window.h"
#include "turtle_cursor.h"
#include "words.h"

namespace {

// Only the symbols the grammar makes, and every "]" closes an earlier "[".
bool balancedFigureWord(const std::string& word) {
  int depth = 0;
  for (const char s : word) {
    if (std::string("ao+-[]").find(s) == std::string::npos) return false;
    if (s == '[') ++depth;
    if (s == ']' && --depth < 0) return false;
  }
  return depth == 0;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type begin = 0;
  for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  if (begin != text.size()) lines.push_back(text.substr(begin));  // an unterminated tail
  return lines;
}

// Collects what is written to descriptor 1 between begin() and end() in a temporary file, so
// that the test's own messages, written outside those spans, still reach the console.
class StdoutCapture {
 public:
  StdoutCapture() {
    std::FILE* f = std::tmpfile();
    file_ = dup(fileno(f));
    std::fclose(f);
  }
  ~StdoutCapture() {
    end();
    close(file_);
  }
  void begin() {
    std::fflush(stdout);
    saved_ = dup(1);
    dup2(file_, 1);
  }
  void end() {
    if (saved_ < 0) return;
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved_, 1);
    close(saved_);
    saved_ = -1;
  }
  std::string text() const {
    std::string out;
    char buf[65536];
    ssize_t n;
    while ((n = pread(file_, buf, sizeof buf, static_cast<off_t>(out.size()))) > 0)
      out.append(buf, static_cast<size_t>(n));
    return out;
  }

 private:
  int file_;
  int saved_ = -1;
};

SDL_Event motionTo(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = static_cast<Uint16>(x);
  e.motion.y = static_cast<Uint16>(y);
  return e;
}

SDL_Event press() {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_LEFT;
  return e;
}

// The squares of the word's figure without a view, each with its symbol's index and kind.
std::vector<Shape> squaresOf(TurtleCursor& cursor) {
  std::vector<Shape> squares;
  const Figure figure(cursor);
  for (const Stroke& stroke : figure.strokes()) squares.push_back(CutSquares{}.place(stroke));
  return squares;
}

// A dummy screen of the viewer's size, for a child process that has no SDL yet.
SDL_Surface* dummyScreen() {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_Init(SDL_INIT_VIDEO);
  return SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
}

// Runs body in a child process and gives its exit status; the child must end with _exit.
template <class Body>
int inChild(Body body) {
  std::cout.flush();
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) body();
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class ViewerStress : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    screen = SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
    ASSERT_NE(nullptr, screen) << SDL_GetError();
    palette = mapPalette(screen->format);
  }
  void TearDown() override { SDL_Quit(); }

  SDL_Surface* screen = nullptr;
  Palette palette{};
};

}  // namespace

// The queue is fed through SDL_PushEvent in chunks of 100 (SDL 1.2 holds at most 127), and
// each chunk is drained by a real pass of the main loop, which then walks with the pointer
// the chunk left, so later presses grow and prune.
TEST_F(ViewerStress, DrainOf100000EventsHandlesEachAndPrintsOneLinePerPress) {
  const Uint8 otherTypes[] = {SDL_NOEVENT,         SDL_ACTIVEEVENT,     SDL_KEYUP,
                              SDL_MOUSEBUTTONUP,   SDL_JOYAXISMOTION,   SDL_JOYBALLMOTION,
                              SDL_JOYHATMOTION,    SDL_JOYBUTTONDOWN,   SDL_JOYBUTTONUP,
                              SDL_SYSWMEVENT,      SDL_EVENT_RESERVEDA, SDL_EVENT_RESERVEDB,
                              SDL_VIDEORESIZE,     SDL_VIDEOEXPOSE,     SDL_EVENT_RESERVED2,
                              SDL_EVENT_RESERVED7, SDL_USEREVENT,       SDL_NUMEVENTS - 1};
  PlainWindow plain(startCursor(), screen);
  TurtleCursor& cursor = plain.session.cursor;
  plain.window.handleQueued();  // whatever SDL queued when the window opened

  std::mt19937 rng(6);
  std::vector<std::string> wordAfterChunk;
  std::vector<size_t> pressesAfterChunk;
  size_t presses = 0;
  size_t motions = 0;
  int lastX = 0;
  int lastY = 0;
  // SDL copies the message that a window-manager event points to; its size is SDL's own
  // business, and this is more than it takes.
  alignas(16) unsigned char windowMessage[1024]{};
  StdoutCapture capture;
  for (int sent = 0; sent < 100000;) {
    std::vector<Shape> buds;
    std::vector<Shape> segments;
    for (const Shape& q : squaresOf(cursor)) (q.bud ? buds : segments).push_back(q);
    // Chunks of few presses, where the figure grows, alternate with chunks of many.
    const unsigned pressShare = sent % 200 == 0 ? 2 : 40;
    for (int i = 0; i < 100; ++i, ++sent) {
      SDL_Event e{};
      const auto pick = rng() % 200;
      if (pick < 80) {
        // Mostly inside one of the figure's squares, buds more often, else anywhere.
        const auto& some = segments.empty() || (!buds.empty() && rng() % 4 != 0) ? buds : segments;
        const Shape& q = some[rng() % some.size()];
        const auto side = static_cast<uint32_t>(q.p1.x - q.p0.x);
        lastX = static_cast<int>(q.p0.x) + 1 + static_cast<int>(rng() % (side - 1));
        lastY = static_cast<int>(q.p0.y) + 1 + static_cast<int>(rng() % (side - 1));
        if (rng() % 5 == 0 || lastX < 0 || lastX >= 600 || lastY < 0 || lastY >= 400) {
          lastX = static_cast<int>(rng() % 600);
          lastY = static_cast<int>(rng() % 400);
        }
        e = motionTo(lastX, lastY);
        ++motions;
      } else if (pick < 80 + pressShare) {
        e = press();
        e.button.button = static_cast<Uint8>(1 + rng() % 5);  // wheel steps are presses too
        ++presses;
      } else if (pick < 140) {
        e.type = SDL_MOUSEBUTTONUP;
      } else {
        e.type = otherTypes[rng() % std::size(otherTypes)];
        e.user.code = static_cast<int>(rng());
        if (e.type == SDL_SYSWMEVENT) e.syswm.msg = reinterpret_cast<SDL_SysWMmsg*>(windowMessage);
      }
      ASSERT_EQ(0, SDL_PushEvent(&e)) << "queue full at event " << sent;
    }
    capture.begin();
    ASSERT_EQ(std::nullopt, plain.window.handleQueued());
    plain.window.show();
    capture.end();
    SDL_Event left;
    ASSERT_EQ(0, SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_ALLEVENTS)) << "events left over";
    ASSERT_FALSE(plain.window.explorer().quit());
    ASSERT_EQ(lastX, plain.window.explorer().pointer().x);
    ASSERT_EQ(lastY, plain.window.explorer().pointer().y);
    wordAfterChunk.push_back(cursor.word);
    pressesAfterChunk.push_back(presses);
  }

  const std::string out = capture.text();
  const auto lines = splitLines(out);
  ASSERT_EQ(presses, lines.size());
  ASSERT_EQ('\n', out.back());
  for (const auto& line : lines) ASSERT_TRUE(balancedFigureWord(line)) << line;
  // The last line printed in a chunk is the word that chunk left.
  for (size_t c = 0; c < wordAfterChunk.size(); ++c) {
    if (pressesAfterChunk[c] == 0 || (c > 0 && pressesAfterChunk[c] == pressesAfterChunk[c - 1]))
      continue;
    ASSERT_EQ(wordAfterChunk[c], lines[pressesAfterChunk[c] - 1]) << "chunk " << c;
  }
  EXPECT_GT(motions, 30000u);
  EXPECT_GT(presses, 8000u);
  size_t changes = 0;  // the presses did grow and prune
  for (size_t c = 1; c < wordAfterChunk.size(); ++c)
    changes += wordAfterChunk[c] != wordAfterChunk[c - 1];
  EXPECT_GT(changes, 200u);
}

// Every type number an event can carry: only key press, motion, button press and quit act.
TEST_F(ViewerStress, OnlyFourOfTheTypeNumbersAct) {
  for (int type = 0; type < 256; ++type) {
    PlainWindow plain(startCursor(), screen);
    SDL_Event e{};
    e.type = static_cast<Uint8>(type);
    e.motion.x = 17;
    e.motion.y = 23;
    StdoutCapture capture;
    capture.begin();
    plain.window.handle(userInput(e));
    capture.end();
    const std::string out = capture.text();
    EXPECT_EQ(type == SDL_KEYDOWN || type == SDL_QUIT, plain.window.explorer().quit()) << type;
    EXPECT_EQ(type == SDL_MOUSEMOTION ? 17 : 0, plain.window.explorer().pointer().x) << type;
    EXPECT_EQ(type == SDL_MOUSEBUTTONDOWN ? kStartWord + "\n" : "", out) << type;
  }
}

// Each step aims the pointer at a bud, then at a segment, on a point that no later square
// covers, walks so that it is selected, and presses: the word grows or is pruned there.
TEST_F(ViewerStress, TenThousandAlternatingPressesKeepTheWordBalanced) {
  struct Target {
    int32_t index;
    char symbol;
    Shape square;
    int px = 0;  // a point where the pointer selects it
    int py = 0;
  };
  PlainWindow plain(startCursor(), screen);
  TurtleCursor& cursor = plain.session.cursor;
  std::mt19937 rng(6);
  std::vector<std::string> expected;
  int grows = 0;
  int prunes = 0;
  StdoutCapture capture;
  for (int n = 0; n < 10000; ++n) {
    const char wanted = n % 2 == 0 ? 'o' : 'a';
    std::vector<Target> squares;
    for (const Shape& square : squaresOf(cursor)) {
      squares.push_back({square.index, cursor.symbolAt(square.index), square});
    }
    // Buds or segments with a point of their open square that no later square covers, on
    // the window, where the pointer can be.
    std::vector<Target> candidates;
    for (size_t i = 0; i < squares.size(); ++i) {
      Target t = squares[i];
      if (t.symbol != wanted || t.index == 0) continue;
      bool found = false;
      const Shape& q = t.square;
      for (int64_t dy = 1; dy < q.p1.y - q.p0.y && !found; ++dy) {
        for (int64_t dx = 1; dx < q.p1.x - q.p0.x && !found; ++dx) {
          const int px = static_cast<int>(q.p0.x + dx);
          const int py = static_cast<int>(q.p0.y + dy);
          if (px < 0 || px >= 600 || py < 0 || py >= 400) continue;
          bool covered = false;
          for (size_t j = i + 1; j < squares.size() && !covered; ++j)
            covered = shapeHolds(squares[j].square, 1, {px, py});
          if (!covered) {
            t.px = px;
            t.py = py;
            found = true;
          }
        }
      }
      if (found) candidates.push_back(t);
    }
    // A prune on the main axis leaves little more than "ao"; inside a branch it takes less.
    if (wanted == 'a') {
      std::vector<Target> inBranch;
      for (const Target& t : candidates) {
        const auto open = std::count(cursor.word.begin(), cursor.word.begin() + t.index, '[');
        const auto shut = std::count(cursor.word.begin(), cursor.word.begin() + t.index, ']');
        if (open > shut) inBranch.push_back(t);
      }
      if (!inBranch.empty()) candidates = inBranch;
    }
    ASSERT_FALSE(candidates.empty()) << "no " << wanted << " to press in " << cursor.word;
    Target target = candidates[rng() % candidates.size()];
    // Below 300 symbols prune where it takes least, so that the word grows over the run.
    if (wanted == 'a' && cursor.word.size() < 300) {
      for (const Target& t : candidates)
        if (cursor.branchLength(t.index) < cursor.branchLength(target.index)) target = t;
    }
    plain.selectAt(target.px, target.py);
    ASSERT_EQ(target.index, plain.selected());

    const std::string before = cursor.word;
    capture.begin();
    plain.window.handle(userInput(press()));
    capture.end();
    expected.push_back(cursor.word);
    ASSERT_TRUE(balancedFigureWord(cursor.word)) << cursor.word;
    const auto at = static_cast<size_t>(target.index);
    ASSERT_EQ(0, cursor.word.compare(0, at, before, 0, at));  // nothing before it changes
    if (wanted == 'o') {
      ASSERT_EQ(before.size() + 8, cursor.word.size());
      ASSERT_EQ("a[+ao]-ao", cursor.word.substr(at, 9));
      ++grows;
    } else {
      ASSERT_LT(cursor.word.size(), before.size());  // the segment itself goes
      ++prunes;
    }
  }
  const auto lines = splitLines(capture.text());
  ASSERT_EQ(expected.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(expected[i], lines[i]) << "press " << i;
  EXPECT_EQ(5000, grows);
  EXPECT_EQ(5000, prunes);
}

// With descriptor 1 closed, or open for reading only, every write fails: std::cout goes bad,
// the lines are dropped, and the presses still grow and prune as they would.
TEST(ViewerStdout, UnwritableStdoutDropsTheLinesAndKeepsTheWord) {
  for (const bool closed : {true, false}) {
    const int status = inChild([closed] {
      // SDL first: a file that it opens (sdl12-compat opens some) would take descriptor 1.
      SDL_Surface* screen = dummyScreen();
      close(1);
      if (!closed) open("/dev/null", O_RDONLY);  // takes descriptor 1
      PlainWindow plain(startCursor(), screen);
      plain.selectAt(230, 215);
      // The word printed is lost, which the window takes for the end of the program.
      if (plain.window.handle(userInput(press())) != kExitFailure) _exit(1);
      if (plain.session.cursor.word != kGrownAt13) _exit(2);
      if (!std::cout.bad()) _exit(3);
      plain.window.handle(userInput(press()));  // the same index now holds a segment: prunes
      if (plain.session.cursor.word != kPrunedAt13) _exit(4);
      _exit(0);
    });
    EXPECT_EQ(0, status) << (closed ? "closed" : "read-only");
  }
}

// A closed descriptor 1 is taken by the next file opened, and the word would be written into
// it; in the real program that file is SDL's X connection. The guard gives it /dev/null.
TEST(ViewerStdout, GuardKeepsTheWordOutOfTheNextFileOpened) {
  char path[] = "/tmp/viewer_stress_XXXXXX";
  const int made = mkstemp(path);
  ASSERT_NE(-1, made);
  close(made);
  const int status = inChild([&path] {
    close(1);
    guardStandardStreams();
    const int fd = open(path, O_WRONLY);
    TurtleCursor cursor = startCursor();
    cursor.printWord();
    if (fd == 1) _exit(1);
    struct stat out {};
    struct stat null {};
    if (fstat(1, &out) != 0 || stat("/dev/null", &null) != 0 || out.st_rdev != null.st_rdev)
      _exit(2);
    if (std::cout.bad()) _exit(3);
    _exit(0);
  });
  struct stat written {};
  stat(path, &written);
  unlink(path);
  EXPECT_EQ(0, status);
  EXPECT_EQ(0, written.st_size) << "the word went into the file";
}

// A pipe nobody reads: the press's write blocks until the reader takes the data, then the
// line arrives whole after what was already in the pipe, and the word is the grown one.
TEST(ViewerStdout, FullPipeDelaysTheLineAndLosesNothing) {
  int p[2];
  ASSERT_EQ(0, pipe(p));
  fcntl(p[1], F_SETFL, O_NONBLOCK);
  std::string filler;
  for (;;) {
    const std::string chunk(4096, 'x');
    const ssize_t n = write(p[1], chunk.data(), chunk.size());
    if (n <= 0) break;
    filler.append(chunk, 0, static_cast<size_t>(n));
  }
  fcntl(p[1], F_SETFL, 0);

  PlainWindow plain(startCursor(), dummyScreen());
  plain.selectAt(230, 215);

  std::cout.flush();
  std::fflush(stdout);
  const int saved = dup(1);
  dup2(p[1], 1);
  std::atomic<bool> done{false};
  std::thread presser([&] {
    plain.window.handle(userInput(press()));
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const bool blocked = !done;

  std::string got;
  const size_t want = filler.size() + kGrownAt13.size() + 1;
  char buf[65536];
  while (got.size() < want) {
    pollfd pfd{p[0], POLLIN, 0};
    if (poll(&pfd, 1, 10000) <= 0) break;
    const ssize_t n = read(p[0], buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
  }
  presser.join();
  dup2(saved, 1);
  close(saved);
  close(p[0]);
  close(p[1]);

  EXPECT_TRUE(blocked);
  EXPECT_TRUE(std::cout.good());
  EXPECT_EQ(filler + kGrownAt13 + "\n", got);
  EXPECT_EQ(kGrownAt13, plain.session.cursor.word);
  SDL_Quit();
}

// lsystem-viewer in the browser: the desktop's start from a command line that the page builds,
// then one pass per animation frame. The page can take presses back, save the figure and have
// small pictures of other command lines drawn.
#include <SDL.h>
#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "adapter.h"
#include "command_line.h"
#include "keys.h"
#include "start.h"
#include "svg.h"
#include "web_screen.h"

namespace {

// What the loop keeps between frames: the page cannot keep main's stack, so it lives on the heap.
struct WebViewer {
  // Carries out the explorer's reply: the line, the word, the canvas's new size and the title.
  void carryOut(const Explorer::Reply& reply) {
    if (!reply.message.empty()) say(reply.message);
    if (reply.word) session.cursor.printWord();
    if (reply.resize) resize(reply.width, reply.height);
    if (reply.title) showTitle(explorer.title());
  }

  // Opens the screen again at the size the explorer asks for.
  void resize(int32_t width, int32_t height) {
    SDL_Surface* resized = openWebScreen(width, height);
    if (resized == nullptr) return;  // the canvas keeps its size, and the view its window
    screen = resized;
    palette = mapPalette(screen->format, explorer.style().colours);
    explorer.resized(screen->w, screen->h);
  }

  WebViewer(Session&& started, SDL_Surface* canvas)
      : session(std::move(started)),
        explorer(session, canvas->w, canvas->h, false),
        screen(canvas),
        palette(mapPalette(canvas->format, explorer.style().colours)) {}

  Session session;
  Explorer explorer;  // every press can be taken back; s saves no file
  SDL_Surface* screen;
  Palette palette;
  std::optional<std::string> bookText;  // the book's file as it was read, for the command line
};

// The page's side: what it shows of the program's state. After a press that changed the word
// and after an undo, the page reads the presses and the command line again (lsv_presses,
// lsv_command).
EM_JS(void, pageStarted, (), { page.started(); });
EM_JS(void, pageEdited, (int undoable), { page.edited(undoable); });
// SDL's key listeners would go on swallowing the keys of the canvas, Tab among them.
EM_JS(void, pageEnded, (), {
  [ "keydown", "keyup", "keypress" ].forEach(function(type) {
    Module["keyboardListeningElement"].removeEventListener(type, SDL.receiveEvent);
  });
  page.ended();
});

// A line of standard output, handed to the page as one string.
EM_JS(void, pagePrint, (const char* text, size_t size),
      { page.print(new TextDecoder().decode(HEAPU8.subarray(text, text + size))); });

// A picture of the gallery, its pixels RGBA, handed to the page as an image.
EM_JS(void, pageThumbnail, (const uint32_t* pixels, int width, int height), {
  var bytes = HEAPU8.slice(pixels, pixels + width * height * 4);
  page.thumbnail(new ImageData(new Uint8ClampedArray(bytes.buffer), width, height));
});

// Standard output on the page, a word at a time. The runtime's own terminal takes a byte at a
// time through JavaScript, which for a word of a million symbols takes most of a second, and
// splits at every "\n", which a word may hold: a word is printed as its bytes and std::endl, so
// the text up to a flush that follows a "\n" is one word.
class PageOutput : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    text_.push_back(traits_type::to_char_type(c));
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    text_.append(text, static_cast<std::size_t>(count));
    return count;
  }

  int sync() override {
    if (!text_.empty() && text_.back() == '\n') {
      pagePrint(text_.data(), text_.size() - 1);
      text_.clear();
    }
    return 0;
  }

 private:
  std::string text_;
};

// The program that runs now, if any. The page's buttons call in between frames and reach it
// here; a new start replaces it.
WebViewer* running = nullptr;

// The edits that the page has heard of: each press that changed the word and each undo is one.
uint64_t told = 0;

void tellEdited() {
  told = running->explorer.edits();
  pageEdited(static_cast<int>(running->session.history.size()));
}

void stop() {
  emscripten_cancel_main_loop();
  delete running;
  running = nullptr;
  pageEnded();
}

// When the growth plays, the time of its next step, in the page's milliseconds; 0 otherwise.
double nextTick = 0;
constexpr auto kTick = static_cast<double>(kPlayTick.count());

// One input for the running program, and what it asks of the page.
void handle(const UserInput& input) { running->carryOut(running->explorer.handle(input)); }

// Runs call; where memory runs out (the word and the figure grow with every press), the page
// says so in its status and the program ends, so that Start can run again.
template <class Call>
void guarded(Call&& call) {
  try {
    call();
  } catch (const std::exception& error) {
    stop();
    say(reasonOf(error) + "; the program has ended");
  }
}

// A colour as the canvas's RGBA bytes read as one little-endian word, opaque.
uint32_t rgba(uint32_t rgb) {
  return 0xff000000u | (rgb & 0xffu) << 16 | (rgb & 0xff00u) | (rgb >> 16 & 0xffu);
}

void webPass(void*) {
  guarded([] {
    WebViewer& viewer = *running;
    Explorer& explorer = viewer.explorer;
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle(userInput(event));
    if (!explorer.playing()) {
      nextTick = 0;
    } else if (nextTick == 0) {
      nextTick = emscripten_get_now() + kTick;
    } else if (emscripten_get_now() >= nextTick) {
      nextTick = emscripten_get_now() + kTick;
      UserInput tick;
      tick.type = UserInput::Type::kTick;
      handle(tick);
    }
    // One canvas call per frame drawn, and a frame only when something has changed: the
    // screen's pixels are drawn where they change, and the unlock puts them on the canvas,
    // which the browser shows when the frame's callback returns.
    if (explorer.stale()) {
      drawFrame(viewer.screen, explorer, viewer.palette);
    }
    if (explorer.edits() != told) tellEdited();
    if (explorer.quit()) stop();
  });
}

}  // namespace

extern "C" {

// Takes back the newest press and prints the word from before it, in any mode.
EMSCRIPTEN_KEEPALIVE void lsv_undo() {
  if (running == nullptr) return;
  guarded([] {
    running->carryOut(running->explorer.takeBack());
    tellEdited();
  });
}

// A key, by the name the table of keys gives it, for the page's buttons: the same as the key
// pressed on the canvas.
EMSCRIPTEN_KEEPALIVE void lsv_key(const char* name) {
  if (running == nullptr) return;
  guarded([name] {
    UserInput key;
    key.type = UserInput::Type::kKey;
    key.key = name;
    handle(key);
  });
}

// A finger on the canvas, in canvas pixels: type 0 down, 1 moved, 2 up (lifted or cancelled).
EMSCRIPTEN_KEEPALIVE void lsv_touch(int type, int finger, int x, int y) {
  if (running == nullptr || type < 0 || type > 2) return;
  guarded([=] {
    const UserInput::Type types[] = {UserInput::Type::kTouchDown, UserInput::Type::kTouchMove,
                                     UserInput::Type::kTouchUp};
    UserInput touch;
    touch.type = types[type];
    touch.finger = finger;
    touch.x = x;
    touch.y = y;
    handle(touch);
  });
}

// The canvas is to be width x height, as a resize of the desktop's window.
EMSCRIPTEN_KEEPALIVE void lsv_resize(int width, int height) {
  if (running == nullptr) return;
  guarded([=] {
    UserInput resize;
    resize.type = UserInput::Type::kResize;
    resize.width = width;
    resize.height = height;
    handle(resize);
  });
}

// Turns the angle to `degrees` under the same word; 0 when done.
EMSCRIPTEN_KEEPALIVE int lsv_set_angle(double degrees) {
  if (running == nullptr || !running->explorer.setAngle(degrees)) return 1;
  showTitle(running->explorer.title());
  return 0;
}

// The angle in degrees as the link and the command line write it, empty for the default; the
// string lives until the next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_angle() {
  static std::string text;
  text = running == nullptr ? "" : running->session.angleText();
  return text.c_str();
}

// The word indices of the presses that made the word, with commas between; the string lives
// until the next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_presses() {
  static std::string list;
  list = running == nullptr ? "" : pressList(running->session.history.presses());
  return list.c_str();
}

// The desktop command line that draws the word again, a book's text on its standard input; the
// string lives until the next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_command() {
  static std::string line;
  line = running == nullptr  ? ""
         : running->bookText ? commandLine(running->session, "", &*running->bookText)
                             : commandLine(running->session);
  return line.c_str();
}

// The generations that the figure started with, a book's derivation length unless given; -1
// when nothing runs.
EMSCRIPTEN_KEEPALIVE int lsv_generations() {
  return running == nullptr ? -1 : running->session.options.generations;
}

// A picture for the page's gallery: the start figure of a command line, its arguments one a
// line, fitted to width x height pixels and painted as the canvas is, handed to the page
// (pageThumbnail). 0 when drawn; 1 when the command line does not start, its lines unsaid.
EMSCRIPTEN_KEEPALIVE int lsv_thumbnail(const char* arguments, int width, int height) {
  std::vector<std::string> args;
  for (std::string_view rest = arguments; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    args.emplace_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  args.insert(args.end(),
              {"--fit", "--size", std::to_string(width) + "x" + std::to_string(height)});
  try {
    Start start = startFromArguments(args, [](const auto&) {});
    if (!start.session) return 1;
    Session& session = *start.session;
    Explorer explorer(session, session.options.width, session.options.height, false);
    UserInput away;  // no shape under the pointer
    away.type = UserInput::Type::kMotion;
    away.x = -1;
    away.y = -1;
    explorer.handle(away);
    const Colours colours = explorer.style().colours;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) *
                                 static_cast<std::size_t>(height));
    paintFrame(PixelBuffer<uint32_t>{pixels.data(), width, height, width}, explorer,
               Palette{rgba(colours.segment), rgba(colours.selection()), rgba(colours.bud),
                       rgba(colours.background)});
    pageThumbnail(pixels.data(), width, height);
    return 0;
  } catch (const std::exception&) {
    return 1;
  }
}

// Writes the figure as --svg would to /lsystem.svg, for the page to hand on: 0 when written, 1
// when it failed (its line on standard error), 2 when it would pass kMaxSaved bytes, which
// the page's memory is not to hold; the desktop's command line writes any size.
EMSCRIPTEN_KEEPALIVE int lsv_save_svg() {
  constexpr uint64_t kMaxSaved = uint64_t{64} << 20;
  if (running == nullptr) return 1;
  const Options& options = running->session.options;
  std::FILE* file = std::fopen("/lsystem.svg", "wb");
  if (file == nullptr) {
    say(std::string("cannot write the SVG: ") + std::strerror(errno));
    return 1;
  }
  errno = 0;
  const bool written = writeSvg(file, running->session.shownFigure(), options.width, options.height,
                                figureStyle(options), kMaxSaved);
  const int error = errno != 0 ? errno : EIO;
  if (std::fclose(file) != 0 && written) return 1;
  if (written) return 0;
  std::remove("/lsystem.svg");
  if (error == EFBIG) return 2;
  say(std::string("cannot write the SVG: ") + std::strerror(error));
  return 1;
}

// The inputs of Explore and what they do, for the page's hint; the string lives as long as the
// page.
EMSCRIPTEN_KEEPALIVE const char* lsv_keys() {
  static const std::string keys = keysHelp(0, 22, false);
  return keys.c_str();
}

// A button's title for the key of that name, from the table of keys; the string lives until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_key_title(const char* name) {
  static std::string title;
  title = keyTitle(name);
  return title.c_str();
}

EMSCRIPTEN_KEEPALIVE void lsv_stop() {
  if (running != nullptr) stop();
}

}  // extern "C"

int main(int argc, char* argv[]) {
  static PageOutput pageOutput;  // outlives main: the program goes on in the page's frames
  std::cout.rdbuf(&pageOutput);
  lsv_stop();
  // The page's file system starts with a umask of 0777, which would make the saved SVG unreadable.
  umask(022);
  std::optional<Start> start;
  try {
    start.emplace(startFromArguments(std::vector<std::string>(argv + (argc > 0), argv + argc),
                                     [](const auto&) {}));
  } catch (const std::exception& error) {
    return failure(error);
  }
  if (const std::optional<int> status = report(*start)) return *status;
  SDL_Init(SDL_INIT_EVERYTHING);
  Session& session = *start->session;
  SDL_Surface* screen = openWebScreen(session.options.width, session.options.height);
  running = new WebViewer(std::move(session), screen);
  if (std::string text;
      running->session.options.book &&
      readBounded(running->session.options.bookFile, "the L-system", text).empty()) {
    running->bookText = std::move(text);
  }
  running->session.cursor.printWord();
  showTitle(running->explorer.title());
  told = 0;
  pageStarted();
  tellEdited();  // the presses of the link, replayed
  // Frame-paced by the browser; main returns at once and the runtime stays up for the loop.
  emscripten_set_main_loop_arg(webPass, nullptr, 0, 0);
  return kExitDone;
}

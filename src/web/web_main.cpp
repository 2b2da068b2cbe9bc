// lsystem-viewer in the browser: the desktop's start from a command line that the page builds,
// then one pass per animation frame. The page can take presses back and save the figure.
#include <SDL.h>
#include <emscripten.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>

#include "pixel_pass.h"
#include "save.h"
#include "start.h"
#include "turtle_cursor.h"
#include "viewer.h"
#include "web_screen.h"

namespace {

// What the loop keeps between frames: the page cannot keep main's stack, so it lives on the heap.
struct WebViewer {
  Session session;
  Explorer explorer;  // the screen, its colours and the pointer; and with --explore, its loop
  Uint32 black;
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

// Standard output on the page, a line at a time. The runtime's own terminal takes a byte at a
// time through JavaScript, which for a word of a million symbols takes most of a second.
class PageOutput : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize at = 0; at < count;) {
      const auto* end = static_cast<const char*>(
          std::memchr(text + at, '\n', static_cast<std::size_t>(count - at)));
      const std::streamsize upTo = end == nullptr ? count : end - text;
      line_.append(text + at, static_cast<std::size_t>(upTo - at));
      at = upTo;
      if (end != nullptr) {
        pagePrint(line_.data(), line_.size());
        line_.clear();
        ++at;
      }
    }
    return count;
  }

 private:
  std::string line_;
};

// The program that runs now, if any. The page's buttons call in between frames and reach it
// here; a new start replaces it.
WebViewer* running = nullptr;

// The press list that the page last heard of, by its length: each press that changed the word
// adds one, each undo takes one off.
std::size_t told = 0;

void tellEdited() {
  told = running->session.history.presses().size();
  pageEdited(static_cast<int>(running->session.history.size()));
}

void stop() {
  emscripten_cancel_main_loop();
  delete running;
  running = nullptr;
  pageEnded();
}

void webPass(void*) {
  WebViewer& viewer = *running;
  Session& session = viewer.session;
  Explorer& explorer = viewer.explorer;
  // One canvas call per frame drawn: the screen's pixels are cleared to opaque black and drawn,
  // and the unlock puts them on the canvas, which the browser shows when the frame's callback
  // returns. With --explore a frame is drawn only when something has changed.
  if (session.options.explore) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleExploreEvent(event, explorer, session);
    if (explorer.stale) {
      drawExplorePixels(explorer, session, viewer.black);
      explorer.stale = false;
    }
  } else {
    runPixelPass(explorer.screen, explorer.palette, viewer.black, explorer.input, session.arbre,
                 &session.history, session.shownView());
  }
  if (session.history.presses().size() != told) tellEdited();
  if (explorer.input.quit) stop();
}

}  // namespace

extern "C" {

// Takes back the newest press and prints the word from before it.
EMSCRIPTEN_KEEPALIVE void lsv_undo() {
  if (running == nullptr || !undoPress(running->session)) return;
  showWordLength(running->session.arbre, running->session.shownView());
  running->explorer.stale = true;
  running->explorer.squaresKept = false;
  tellEdited();
}

// The word indices of the presses that made the word, with commas between; the string lives
// until the next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_presses() {
  static std::string list;
  list.clear();
  if (running != nullptr) {
    for (const int32_t index : running->session.history.presses()) {
      list += (list.empty() ? "" : ",") + std::to_string(index);
    }
  }
  return list.c_str();
}

// The desktop command line that draws the word again; the string lives until the next call.
EMSCRIPTEN_KEEPALIVE const char* lsv_command() {
  static std::string line;
  line = running == nullptr ? "" : commandLine(running->session);
  return line.c_str();
}

// Writes the figure as --svg would to /lsystem.svg, for the page to hand on; 0 when written.
EMSCRIPTEN_KEEPALIVE int lsv_save_svg() {
  if (running == nullptr) return 1;
  const Options& options = running->session.options;
  const std::string error =
      saveSvg("/lsystem.svg", running->session.arbre, options.width, options.height);
  if (!error.empty()) std::fprintf(stderr, "lsystem-viewer: %s\n", error.c_str());
  return error.empty() ? 0 : 1;
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
  std::optional<Session> session;
  if (const std::optional<int> status = startFromCommandLine(argc, argv, session)) {
    return *status;
  }
  SDL_Init(SDL_INIT_EVERYTHING);
  SDL_Surface* screen = openWebScreen(session->options.width, session->options.height);
  const Palette palette = mapPalette(screen->format);
  const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
  running = new WebViewer{std::move(*session), Explorer(screen, palette, false), black};
  running->session.arbre.printWord();
  showWordLength(running->session.arbre, running->session.shownView());
  told = 0;
  pageStarted();
  tellEdited();  // the presses of the link, replayed
  // Frame-paced by the browser; main returns at once and the runtime stays up for the loop.
  emscripten_set_main_loop_arg(webPass, nullptr, 0, 0);
  return kExitDone;
}

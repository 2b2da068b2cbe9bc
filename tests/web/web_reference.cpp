// What the desktop code makes of a word for the web test: the frame that its drawing shows, one
// byte per pixel, row by row, 0 black, 1 brown, 2 red, 3 green; the SVG that --svg writes; and
// the word after a press with the pointer where it is. The page must agree on all three.
//   web_reference WORD POINTER_X POINTER_Y FRAME_FILE SVG_FILE [--view=S,TX,TY] [OPTION...]
// The options are the program's own (grammar, angle, step, origin, size, stochastic, fit,
// explore, the line style, the book's letters, --book and --presses); WORD replaces the word that
// they would grow, or "-" keeps it, grown as the program's start grows it.
// With --fit or --explore the frame is drawn through a view: the one given, else the start view
// that --fit computes. Standard output gets that view's S TX TY as a line, or "-" when there is
// none, then the word after the press.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "adapter.h"
#include "explorer.h"
#include "options.h"
#include "save.h"
#include "session.h"
#include "start.h"

int main(int argc, char* argv[]) {
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: web_reference WORD POINTER_X POINTER_Y FRAME_FILE SVG_FILE "
                 "[--view=S,TX,TY] [OPTION...]\n");
    return 2;
  }
  View given;
  const bool viewGiven = argc > 6 && std::strncmp(argv[6], "--view=", 7) == 0;
  if (viewGiven && std::sscanf(argv[6] + 7, "%lf,%lf,%lf", &given.s, &given.tx, &given.ty) != 3) {
    std::fprintf(stderr, "web_reference: bad %s\n", argv[6]);
    return 2;
  }
  const std::vector<std::string> args(argv + 6 + viewGiven, argv + argc);
  const ParsedOptions parsed = parseOptions(args);
  Start start;
  if (parsed.error.empty() && std::strcmp(argv[1], "-") == 0) {
    start = startFromArguments(args, [](const auto&) {});
  }
  const std::string& refused = start.status ? start.notes.back() : parsed.error;
  if (!refused.empty()) {
    std::fprintf(stderr, "web_reference: %s\n", refused.c_str());
    return 2;
  }
  // A press grows as the page's does.
  Session session = start.session
                        ? std::move(*start.session)
                        : Session{parsed.options, cursorOf(parsed.options), PressHistory(), View()};
  if (!start.session) session.cursor.word = argv[1];
  const Options& o = session.options;
  const Style style = figureStyle(o);
  const bool viewed = o.fit || o.explore;
  const View view = viewGiven ? given : fitView(session.shownFigure(), o.width, o.height, style);
  session.view = view;
  Explorer explorer(session, o.width, o.height, false);
  UserInput motion;
  motion.type = UserInput::Type::kMotion;
  motion.x = std::atoi(argv[2]);
  motion.y = std::atoi(argv[3]);
  explorer.handle(motion);

  // An off-screen 8-bit surface whose pixel values are the shades themselves.
  SDL_Surface* frame = SDL_CreateRGBSurface(SDL_SWSURFACE, o.width, o.height, 8, 0, 0, 0, 0);
  if (frame == nullptr) {
    std::fprintf(stderr, "web_reference: no surface: %s\n", SDL_GetError());
    return 1;
  }
  drawFrame(frame, explorer, Palette{1, 2, 3});
  std::FILE* out = std::fopen(argv[4], "wb");
  bool written = out != nullptr;
  for (int y = 0; written && y < frame->h; ++y) {
    const auto* row = static_cast<const unsigned char*>(frame->pixels) + y * frame->pitch;
    written =
        std::fwrite(row, 1, static_cast<size_t>(frame->w), out) == static_cast<size_t>(frame->w);
  }
  if (out != nullptr && std::fclose(out) != 0) written = false;
  SDL_FreeSurface(frame);
  if (!written) {
    std::fprintf(stderr, "web_reference: cannot write %s\n", argv[4]);
    return 1;
  }
  if (const std::string error = saveSvg(argv[5], session.shownFigure(), o.width, o.height, style);
      !error.empty()) {
    std::fprintf(stderr, "web_reference: %s\n", error.c_str());
    return 1;
  }
  if (viewed) {
    std::printf("%.17g %.17g %.17g\n", view.s, view.tx, view.ty);
  } else {
    std::puts("-");
  }
  std::fflush(stdout);
  UserInput press;  // on the selection of the frame drawn
  press.type = UserInput::Type::kButtonDown;
  press.button = kButtonLeft;
  explorer.handle(press);
  session.cursor.printWord();
  return 0;
}

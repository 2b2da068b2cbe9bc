// The desktop's window without options over a cursor's word, as the viewer's tests drive it.
#pragma once

#include <cstdint>
#include <utility>

#include "window.h"

struct PlainWindow {
  PlainWindow(TurtleCursor cursor, SDL_Surface* screen)
      : session{Options(), std::move(cursor), PressHistory(), View()}, window(session, screen) {}

  // The pointer at (px, py) and a frame drawn: the selection is what it picks.
  void selectAt(int32_t px, int32_t py) {
    UserInput motion;
    motion.type = UserInput::Type::kMotion;
    motion.x = px;
    motion.y = py;
    window.handle(motion);
    window.show();
  }
  int32_t selected() { return window.explorer().picked().selected; }

  Session session;
  DesktopWindow window;
};

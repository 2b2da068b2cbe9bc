// The explorer's decisions: presses, undo, saving, the view's zoom, pan and fit, and quitting.
#include "explorer.h"

#include <algorithm>
#include <cstdio>

#include "press.h"

bool handlePlainInput(const UserInput& event, Input& input, TurtleCursor& cursor,
                      PressHistory* history) {
  switch (event.type) {
    case UserInput::Type::kKey:
    case UserInput::Type::kQuit:
      input.quit = 1;
      return false;
    case UserInput::Type::kMotion:
      input.pointerX = event.x;
      input.pointerY = event.y;
      return false;
    case UserInput::Type::kButtonDown:
      if (history != nullptr) {
        history->press(cursor);
      } else {
        pressButton(cursor);
      }
      return true;
    default:
      return false;
  }
}

std::string windowTitle(const TurtleCursor& cursor, const View* view) {
  const int32_t length = cursor.wordLength();
  std::string title =
      "lsystem-viewer: " + std::to_string(length) + (length == 1 ? " symbol" : " symbols");
  if (view != nullptr) title += ", zoom " + std::to_string(zoomPercent(*view)) + "%";
  return title;
}

Explorer::Explorer(Session& session, int32_t width, int32_t height, bool savesFiles)
    : session_(session), width_(width), height_(height), savesFiles_(savesFiles) {}

std::string Explorer::title() const { return windowTitle(session_.arbre, session_.shownView()); }

void Explorer::press() {
  TurtleCursor& cursor = session_.arbre;
  if (!walked_) {
    cursor.printWord();
    return;
  }
  const std::size_t presses = session_.history.presses().size();
  session_.history.press(cursor);
  if (session_.history.presses().size() != presses) {
    walked_ = false;
    ++edits_;
  }
}

void Explorer::changed() {
  stale_ = true;
  keptValid_ = false;
}

void Explorer::resized(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  changed();
}

bool Explorer::undo() {
  if (!undoPress(session_)) return false;
  walked_ = false;
  ++edits_;
  changed();
  return true;
}

bool Explorer::pressKey(Action action) {
  View& view = session_.view;
  switch (action) {
    case Action::kPanLeft:
      view.tx += width_ / 8;
      return true;
    case Action::kPanRight:
      view.tx -= width_ / 8;
      return true;
    case Action::kPanUp:
      view.ty += height_ / 8;
      return true;
    case Action::kPanDown:
      view.ty -= height_ / 8;
      return true;
    case Action::kZoomIn:
    case Action::kZoomOut:
      return zoomView(view, action == Action::kZoomIn, width_ / 2, height_ / 2);
    case Action::kOneToOne:
      view = View{};
      return true;
    case Action::kFit:
      view = fitView(session_.arbre, width_, height_);
      return true;
    case Action::kUndo:
      if (!undoPress(session_)) return false;
      walked_ = false;
      ++edits_;
      return true;
    case Action::kSave:
      if (savesFiles_) std::fprintf(stderr, "%s\n", saveNumbered(session_).c_str());
      return false;
    case Action::kQuit:
      input_.quit = 1;
      return false;
    default:
      return false;
  }
}

Explorer::Reply Explorer::handle(const UserInput& event) {
  Reply reply;
  if (!session_.options.explore) {
    if (event.type == UserInput::Type::kButtonDown) {
      press();
      changed();
      reply.title = true;
    } else {
      handlePlainInput(event, input_, session_.arbre, nullptr);
      if (event.type == UserInput::Type::kMotion) stale_ = true;
    }
    return reply;
  }
  View& view = session_.view;
  bool change = false;
  switch (event.type) {
    case UserInput::Type::kQuit:
      input_.quit = 1;
      break;
    case UserInput::Type::kKey:
      change = pressKey(actionOfKey(event.key));
      break;
    case UserInput::Type::kMotion:
      if (event.dragging) {
        view.tx += event.x - input_.pointerX;
        view.ty += event.y - input_.pointerY;
        change = true;
      }
      input_.pointerX = event.x;
      input_.pointerY = event.y;
      stale_ = true;  // the red squares follow the pointer
      break;
    case UserInput::Type::kButtonDown:
      if (event.button == kButtonLeft) {
        press();
        change = true;
      } else if (event.button == kWheelUp || event.button == kWheelDown) {
        change = zoomView(view, event.button == kWheelUp, input_.pointerX, input_.pointerY);
      }
      break;
    case UserInput::Type::kResize:
      reply.resize = true;
      reply.width = std::clamp(event.x, 16, 4096);
      reply.height = std::clamp(event.y, 16, 4096);
      change = true;
      break;
    case UserInput::Type::kExpose:
      stale_ = true;
      break;
    default:
      break;
  }
  if (change) {
    changed();
    reply.title = true;
  }
  return reply;
}

// The explorer's decisions: presses, undo, saving, the view's zoom, pan and fit, and quitting.
#include "explorer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "angle.h"
#include "output.h"
#include "press.h"

void noteLostOutput(Input& input) {
  if (std::optional<std::string> lost = standardOutputError()) {
    input.quit = 1;
    input.lostOutput = std::move(*lost);
  }
}

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
      noteLostOutput(input);
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

std::string Explorer::title() const {
  if (play_) {
    return windowTitle(play_->cursor, session_.shownView()) + ", generation " +
           std::to_string(play_->generation) + " of " +
           std::to_string(session_.options.generations);
  }
  std::string text = windowTitle(session_.cursor, session_.shownView());
  if (session_.options.explore && !session_.options.angleText.empty()) {
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, ", angle %.4g degrees",
                  std::strtod(session_.options.angleText.c_str(), nullptr));
    text += degrees;
  }
  return text;
}

bool Explorer::growAll() {
  TurtleCursor& cursor = session_.cursor;
  const std::size_t presses = session_.history.presses().size();
  session_.history.growAll(cursor);
  if (session_.history.presses().size() == presses) return false;
  walked_ = false;
  ++edits_;
  return true;
}

bool Explorer::setAngle(double degrees) {
  const std::optional<float> radians = radiansOfDegrees(degrees);
  if (!radians) return false;
  session_.options.angleText = shortestDecimal(degrees);
  session_.options.angle = *radians;
  session_.cursor.angle = *radians;
  ++edits_;
  changed();
  return true;
}

void Explorer::startPlay() {
  play_.emplace(Play{cursorOf(session_.options), 0, session_.view});
  play_->cursor.angle = session_.cursor.angle;
  if (session_.options.fit)
    session_.view = fitView(play_->cursor, width_, height_, figureStyle(session_.options));
}

void Explorer::stepPlay() {
  if (play_->generation == session_.options.generations) {
    stopPlay();
    return;
  }
  try {
    play_->cursor.selected = 0;
    play_->cursor.grow();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lsystem-viewer: the growth stops: %s\n", error.what());
    stopPlay();
    return;
  }
  ++play_->generation;
  if (session_.options.fit)
    session_.view = fitView(play_->cursor, width_, height_, figureStyle(session_.options));
}

void Explorer::stopPlay() {
  session_.view = play_->view;
  play_.reset();
}

void Explorer::press() {
  TurtleCursor& cursor = session_.cursor;
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

bool Explorer::touch(const UserInput& event) {
  View& view = session_.view;
  const auto found = std::find_if(fingers_.begin(), fingers_.end(),
                                  [&event](const Finger& f) { return f.id == event.button; });
  const auto distance = [this] {
    return std::hypot(static_cast<double>(fingers_[0].x - fingers_[1].x),
                      static_cast<double>(fingers_[0].y - fingers_[1].y));
  };
  switch (event.type) {
    case UserInput::Type::kTouchDown:
      if (found != fingers_.end() || fingers_.size() == 2) return false;
      fingers_.push_back(Finger{event.button, event.x, event.y});
      tapping_ = fingers_.size() == 1;
      touchStartX_ = event.x;
      touchStartY_ = event.y;
      if (fingers_.size() == 2) pinchBase_ = distance();
      return false;
    case UserInput::Type::kTouchMove: {
      if (found == fingers_.end()) return false;
      const int32_t dx = event.x - found->x;
      const int32_t dy = event.y - found->y;
      found->x = event.x;
      found->y = event.y;
      if (fingers_.size() == 2) {
        const double now = distance();
        const bool in = now >= pinchBase_ * 1.25;
        if (!in && now * 1.25 > pinchBase_) return false;
        pinchBase_ = now;
        return zoomView(view, in, std::floor((fingers_[0].x + fingers_[1].x) / 2.0),
                        std::floor((fingers_[0].y + fingers_[1].y) / 2.0));
      }
      if (tapping_) {
        if (std::abs(event.x - touchStartX_) < kTapReach &&
            std::abs(event.y - touchStartY_) < kTapReach) {
          return false;
        }
        tapping_ = false;  // a drag from where the finger came down
        view.tx += event.x - touchStartX_;
        view.ty += event.y - touchStartY_;
        return true;
      }
      view.tx += dx;
      view.ty += dy;
      return true;
    }
    case UserInput::Type::kTouchUp: {
      if (found == fingers_.end()) return false;
      fingers_.erase(found);
      const bool tap = tapping_;
      tapping_ = false;
      // The finger left: no pointer stays behind to keep a square red.
      input_.pointerX = -1;
      input_.pointerY = -1;
      if (!tap) return false;
      // A tap: the selection under it, as a walk with the pointer there makes it, then a press.
      input_.pointerX = event.x;
      input_.pointerY = event.y;
      draw(Palette(palette_), [](const Square&, uint32_t) {});
      stale_ = true;
      press();
      input_.pointerX = -1;
      input_.pointerY = -1;
      return true;
    }
    default:
      return false;
  }
}

void Explorer::changed() {
  stale_ = true;
  keptValid_ = false;
}

void Explorer::resized(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  // The start's fit was for the window as it was first asked for: a window resized before its
  // first frame (the page's, to the width it has) is fitted again.
  if (!drawnOnce_ && session_.options.fit) {
    session_.view = fitView(session_.cursor, width_, height_, style());
  }
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
      view = fitView(session_.cursor, width_, height_, figureStyle(session_.options));
      return true;
    case Action::kUndo:
      return undo();
    case Action::kSave:
      if (savesFiles_) std::fprintf(stderr, "%s\n", saveNumbered(session_).c_str());
      return false;
    case Action::kGrowWhole:
      return growAll();
    case Action::kAngleDown:
    case Action::kAngleUp: {
      const std::string& text = session_.options.angleText;
      const double now = text.empty() ? defaultDegrees() : std::strtod(text.c_str(), nullptr);
      return setAngle(now + (action == Action::kAngleUp ? 1.0 : -1.0));
    }
    case Action::kPlay:
      startPlay();
      return true;
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
      handlePlainInput(event, input_, session_.cursor, nullptr);
      if (event.type == UserInput::Type::kMotion) stale_ = true;
    }
    return reply;
  }
  View& view = session_.view;
  bool change = false;
  if (play_ && (event.type == UserInput::Type::kKey || event.type == UserInput::Type::kButtonDown ||
                event.type == UserInput::Type::kTouchDown)) {
    stopPlay();
    changed();
    reply.title = true;
    return reply;
  }
  switch (event.type) {
    case UserInput::Type::kTick:
      if (play_) {
        stepPlay();
        change = true;
      }
      break;
    case UserInput::Type::kTouchDown:
    case UserInput::Type::kTouchMove:
    case UserInput::Type::kTouchUp:
      change = touch(event);
      stale_ = true;
      break;
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

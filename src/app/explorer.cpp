// The explorer's decisions: presses, undo, saving, growth, the angle, the view's zoom, pan and
// fit, fingers, and quitting.
#include "explorer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "angle.h"
#include "press.h"

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
  if (const std::string angle = session_.angleText(); session_.options.explore && !angle.empty()) {
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, ", angle %.4g degrees",
                  std::strtod(angle.c_str(), nullptr));
    text += degrees;
  }
  return note_.empty() ? text : text + ", " + note_;
}

void Explorer::changed() {
  stale_ = true;
  whole_ = true;
  held_.reset();
}

void Explorer::pointerMoved() { stale_ = true; }

ScreenRect Explorer::redrawArea(const Palette& palette) {
  const ScreenRect window{0, 0, width_, height_};
  if (whole_ || !(palette == palette_)) return window;
  ScreenRect area{0, 0, 0, 0};
  withShown([&](const Figure& figure, const auto& placement) {
    // The old pointer's area is the one found for the frame before, when it was a pointer's.
    const ScreenRect before =
        held_ && heldPointer_.x == drawnPointer_.x && heldPointer_.y == drawnPointer_.y
            ? *held_
            : heldArea(figure, placement, palette, drawnPointer_);
    held_ = heldArea(figure, placement, palette, pointer_);
    heldPointer_ = pointer_;
    area = unite(before, *held_);
  });
  Square clipped;
  if (!clipToWindow(area, window, clipped)) return ScreenRect{0, 0, 0, 0};
  return {clipped.x, clipped.y, clipped.x + clipped.w, clipped.y + clipped.h};
}

void Explorer::wordChanged() {
  pickCurrent_ = false;
  session_.figure.forget();
  changed();
}

void Explorer::edited(const Edit& edit, Reply& reply) {
  reply.message = edit.refusal;
  if (!edit.changed) return;
  ++edits_;
  wordChanged();
}

void Explorer::press(int32_t selected, Reply& reply) {
  reply.word = true;
  session_.cursor.selected = selected;
  edited(session_.history.press(session_.cursor), reply);
}

bool Explorer::growAll(Reply& reply) {
  reply.word = true;
  const Edit edit = session_.history.growAll(session_.cursor);
  edited(edit, reply);
  // With --fit the grown figure, larger as a rule, stays whole in the window.
  if (edit.changed && session_.options.fit) {
    session_.view = fitView(session_.shownFigure(), width_, height_, style());
  }
  return edit.changed;
}

bool Explorer::undo(Reply& reply) {
  if (!session_.history.undo(session_.cursor)) {
    // The list holds presses that undo did not keep: say why u does nothing, in the title too.
    note_ = session_.history.whyNoUndo();
    reply.message = note_;
    reply.title = !note_.empty();
    return false;
  }
  reply.word = true;
  edited(Edit{true, ""}, reply);
  return true;
}

Explorer::Reply Explorer::takeBack() {
  Reply reply;
  note_.clear();
  if (undo(reply)) reply.title = true;
  return reply;
}

bool Explorer::setAngle(double degrees) {
  const std::optional<float> radians = radiansOfDegrees(degrees);
  if (!radians) return false;
  session_.options.angleText = shortestDecimal(degrees);
  session_.options.angle = *radians;
  session_.angleTenths = 0;
  note_.clear();
  turned(*radians);
  return true;
}

bool Explorer::turnTenths(int64_t tenths) {
  const int64_t total = session_.angleTenths + tenths;
  const std::string& given = session_.options.angleText;
  // The sum is exact, so that turns that add up to nothing give back the angle given, to the bit.
  const std::optional<std::string> sum =
      addDegrees(given.empty() ? shortestDecimal(defaultDegrees()) : given, total);
  if (!sum) return false;
  const std::optional<float> radians =
      total == 0 ? session_.options.angle : radiansOfDegrees(std::strtod(sum->c_str(), nullptr));
  if (!radians) return false;
  session_.angleTenths = total;
  turned(*radians);
  return true;
}

void Explorer::turned(float radians) {
  session_.cursor.angle = radians;
  ++edits_;
  session_.figure.forget();
  changed();
}

void Explorer::startPlay(Reply& reply) {
  View last = session_.view;
  if (session_.options.fit) {
    // Every generation is shown at one scale, in the view that fits the last one, the start's
    // word: the session's own while no press has changed it.
    try {
      if (session_.history.presses().empty()) {
        last = fitView(session_.shownFigure(), width_, height_, style());
      } else {
        TurtleCursor grown = cursorOf(session_.options);
        grown.angle = session_.cursor.angle;
        for (int32_t generation = 0; generation < session_.options.generations; ++generation) {
          growWhole(grown);
        }
        last = fitView(Figure(grown), width_, height_, style());
      }
    } catch (const std::exception& error) {
      reply.message = "the growth cannot play: " + reasonOf(error);
      return;
    }
  }
  play_.emplace(Play{cursorOf(session_.options), KeptFigure(), 0, session_.view});
  play_->cursor.angle = session_.cursor.angle;
  session_.view = last;
}

void Explorer::stepPlay(Reply& reply) {
  if (play_->generation == session_.options.generations) {
    stopPlay();
    return;
  }
  try {
    growWhole(play_->cursor);
  } catch (const std::exception& error) {
    reply.message = "the growth stops: " + reasonOf(error);
    stopPlay();
    return;
  }
  ++play_->generation;
  play_->figure.forget();
}

void Explorer::stopPlay() {
  session_.view = play_->view;
  play_.reset();
}

void Explorer::resized(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  // The start's fit was for the window as it was first asked for: a window resized before its
  // first frame (the page's, to the width it has) is fitted again.
  if (!drawnOnce_ && session_.options.fit) {
    session_.view = fitView(session_.shownFigure(), width_, height_, style());
  }
  changed();
}

bool Explorer::touch(const UserInput& input, Reply& reply) {
  View& view = session_.view;
  Gesture gesture;
  if (input.type == UserInput::Type::kTouchDown) {
    gesture = gestures_.down(input.finger, input.x, input.y);
  } else if (input.type == UserInput::Type::kTouchMove) {
    gesture = gestures_.move(input.finger, input.x, input.y);
  } else {
    gesture = gestures_.up(input.finger, input.x, input.y);
  }
  switch (gesture.kind) {
    case Gesture::Kind::kPan:
      view.tx += gesture.dx;
      view.ty += gesture.dy;
      return true;
    case Gesture::Kind::kZoom:
      return zoomView(view, gesture.in, gesture.centreX, gesture.centreY);
    case Gesture::Kind::kTap: {
      // The selection under the finger, as a frame with the pointer there picks it, then a press.
      const ScreenPoint at{gesture.x, gesture.y};
      Pick tapped;
      withPlacement(session_.shownView(), style(), [&](const auto& placement) {
        tapped = pick(session_.shownFigure(), placement, palette_, at);
      });
      pointer_ = {-1, -1};  // the finger left: no pointer stays behind to keep a square red
      press(tapped.selected, reply);
      return true;
    }
    case Gesture::Kind::kLift:
      pointer_ = {-1, -1};
      return false;
    default:
      return false;
  }
}

bool Explorer::pressKey(Action action, Reply& reply) {
  View& view = session_.view;
  switch (action) {
    case Action::kPanLeft:
    case Action::kPanRight:
      view.tx += (action == Action::kPanLeft ? 1 : -1) * (width_ / 8);
      return true;
    case Action::kPanUp:
    case Action::kPanDown:
      view.ty += (action == Action::kPanUp ? 1 : -1) * (height_ / 8);
      return true;
    case Action::kZoomIn:
    case Action::kZoomOut:
      return zoomView(view, action == Action::kZoomIn, width_ / 2, height_ / 2);
    case Action::kOneToOne:
      view = View{};
      return true;
    case Action::kFit:
      view = fitView(session_.shownFigure(), width_, height_, style());
      return true;
    case Action::kUndo:
      return undo(reply);
    case Action::kSave:
      if (savesFiles_) reply.message = saveNumbered(session_);
      return false;
    case Action::kGrowWhole:
      return growAll(reply);
    case Action::kAngleDown:
      return turnTenths(-10);
    case Action::kAngleUp:
      return turnTenths(10);
    case Action::kAngleTenthDown:
      return turnTenths(-1);
    case Action::kAngleTenthUp:
      return turnTenths(1);
    case Action::kPlay:
      startPlay(reply);
      return true;
    case Action::kQuit:
      quit_ = true;
      return false;
    default:
      return false;
  }
}

Explorer::Reply Explorer::handlePlain(const UserInput& input) {
  Reply reply;
  switch (input.type) {
    case UserInput::Type::kKey:
    case UserInput::Type::kQuit:
      quit_ = true;
      break;
    case UserInput::Type::kMotion:
      pointer_ = {input.x, input.y};
      pointerMoved();
      break;
    case UserInput::Type::kButtonDown:
      press(pick_.selected, reply);
      reply.title = true;
      break;
    default:
      break;
  }
  return reply;
}

Explorer::Reply Explorer::handle(const UserInput& input) {
  Reply reply;
  note_.clear();
  if (input.type == UserInput::Type::kExpose) {  // the window shows nothing of the frame
    changed();
  } else if (!session_.options.explore) {
    reply = handlePlain(input);
  } else if (play_ &&
             (input.type == UserInput::Type::kKey || input.type == UserInput::Type::kButtonDown ||
              input.type == UserInput::Type::kTouchDown)) {
    stopPlay();
    changed();
    reply.title = true;
  } else if (exploreInput(input, reply)) {
    changed();
    reply.title = true;
  }
  return reply;
}

bool Explorer::exploreInput(const UserInput& input, Reply& reply) {
  View& view = session_.view;
  bool change = false;
  switch (input.type) {
    case UserInput::Type::kTick:
      if (play_) {
        stepPlay(reply);
        change = true;
      }
      break;
    case UserInput::Type::kTouchDown:
    case UserInput::Type::kTouchMove:
    case UserInput::Type::kTouchUp:
      change = touch(input, reply);
      changed();
      break;
    case UserInput::Type::kQuit:
      quit_ = true;
      break;
    case UserInput::Type::kKey:
      change = pressKey(actionOfKey(input.key), reply);
      break;
    case UserInput::Type::kMotion:
      if (input.dragging) {
        view.tx += static_cast<double>(input.x - pointer_.x);
        view.ty += static_cast<double>(input.y - pointer_.y);
        change = true;
      }
      pointer_ = {input.x, input.y};
      pointerMoved();  // the red squares follow the pointer
      break;
    case UserInput::Type::kButtonDown:
      if (input.button == kButtonLeft) {
        if (pickCurrent_) {
          press(pick_.selected, reply);
        } else {
          reply.word = true;  // the pick was made on the word before: nothing to act on
        }
        change = true;
      } else if (input.button == kWheelUp || input.button == kWheelDown) {
        change = zoomView(view, input.button == kWheelUp, static_cast<double>(pointer_.x),
                          static_cast<double>(pointer_.y));
      }
      break;
    case UserInput::Type::kResize:
      reply.resize = true;
      reply.width = std::clamp(input.width, 16, 4096);
      reply.height = std::clamp(input.height, 16, 4096);
      change = true;
      break;
    default:
      break;
  }
  return change;
}

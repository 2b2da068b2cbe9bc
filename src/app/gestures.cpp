// Fingers on the figure turned into pans, zoom steps and taps.
#include "gestures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

std::vector<Gestures::Finger>::iterator Gestures::find(int32_t finger) {
  return std::find_if(fingers_.begin(), fingers_.end(),
                      [finger](const Finger& f) { return f.id == finger; });
}

double Gestures::distance() const {
  return std::hypot(static_cast<double>(fingers_[0].x - fingers_[1].x),
                    static_cast<double>(fingers_[0].y - fingers_[1].y));
}

Gesture Gestures::down(int32_t finger, int32_t x, int32_t y) {
  if (find(finger) != fingers_.end() || fingers_.size() == 2) return {};
  fingers_.push_back(Finger{finger, x, y});
  tapping_ = fingers_.size() == 1;
  startX_ = x;
  startY_ = y;
  if (fingers_.size() == 2) pinchBase_ = distance();
  return {};
}

Gesture Gestures::move(int32_t finger, int32_t x, int32_t y) {
  const auto found = find(finger);
  if (found == fingers_.end()) return {};
  Gesture gesture;
  gesture.dx = x - found->x;
  gesture.dy = y - found->y;
  found->x = x;
  found->y = y;
  if (fingers_.size() == 2) {
    const double now = distance();
    if (pinchBase_ < kLeastPinch) {
      pinchBase_ = now;  // the fingers started on one pixel: the pinch starts from here
      return {};
    }
    gesture.in = now >= pinchBase_ * 1.25;
    if (!gesture.in && now * 1.25 > pinchBase_) return {};
    pinchBase_ = now;
    gesture.kind = Gesture::Kind::kZoom;
    gesture.centreX = std::floor((fingers_[0].x + fingers_[1].x) / 2.0);
    gesture.centreY = std::floor((fingers_[0].y + fingers_[1].y) / 2.0);
    return gesture;
  }
  if (tapping_) {
    if (std::abs(x - startX_) < kTapReach && std::abs(y - startY_) < kTapReach) return {};
    tapping_ = false;  // a drag from where the finger came down
    gesture.dx = x - startX_;
    gesture.dy = y - startY_;
  }
  gesture.kind = Gesture::Kind::kPan;
  return gesture;
}

Gesture Gestures::up(int32_t finger, int32_t x, int32_t y) {
  const auto found = find(finger);
  if (found == fingers_.end()) return {};
  fingers_.erase(found);
  Gesture gesture;
  gesture.kind = tapping_ ? Gesture::Kind::kTap : Gesture::Kind::kLift;
  gesture.x = x;
  gesture.y = y;
  tapping_ = false;
  return gesture;
}

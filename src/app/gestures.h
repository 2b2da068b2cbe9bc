// Fingers on the figure: one finger pans, or taps when it moved less than a few pixels; two
// pinch, a zoom step each time their distance grows or shrinks by a quarter.
#pragma once

#include <cstdint>
#include <vector>

// What a finger's move or lift asks of the view.
struct Gesture {
  enum class Kind { kNone, kPan, kZoom, kTap, kLift };
  Kind kind = Kind::kNone;
  int32_t dx = 0;  // kPan: by how much
  int32_t dy = 0;
  bool in = false;     // kZoom: in or out,
  double centreX = 0;  // about this point
  double centreY = 0;
  int32_t x = 0;  // kTap: where
  int32_t y = 0;
};

class Gestures {
 public:
  // A finger came down, moved or lifted at (x, y).
  Gesture down(int32_t finger, int32_t x, int32_t y);
  Gesture move(int32_t finger, int32_t x, int32_t y);
  Gesture up(int32_t finger, int32_t x, int32_t y);

 private:
  struct Finger {
    int32_t id;
    int32_t x;
    int32_t y;
  };
  static constexpr int32_t kTapReach = 4;
  // A pinch starts only from fingers at least this far apart, so that its steps have a scale.
  static constexpr double kLeastPinch = 1.0;

  double distance() const;
  std::vector<Finger>::iterator find(int32_t finger);

  std::vector<Finger> fingers_;  // down now, at most two
  int32_t startX_ = 0;           // where the one finger came down
  int32_t startY_ = 0;
  bool tapping_ = false;  // one finger down, and it has not moved kTapReach from its start
  double pinchBase_ = 0;  // the fingers' distance at the last zoom step of a pinch
};

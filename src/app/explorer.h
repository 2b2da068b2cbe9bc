// The explorer: what the user's inputs do to the session and its view, and which frame to draw,
// without SDL. Each front end turns its events into Inputs, hands them here and carries out the
// reply: a title to show, a window to resize, a frame to draw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "figure.h"
#include "history.h"
#include "keys.h"
#include "session.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "view.h"

// One input, in the front ends' common terms.
struct UserInput {
  enum class Type {
    kOther,
    kMotion,
    kButtonDown,
    kButtonUp,
    kKey,
    kResize,
    kExpose,
    kQuit,
    kTick,       // half a second has passed while the growth plays
    kTouchDown,  // a finger, numbered by button, came down at (x, y)
    kTouchMove,  // and moved there
    kTouchUp,    // and lifted there
  };
  Type type = Type::kOther;
  int32_t x = 0;          // kMotion: the pointer; kResize: the width asked
  int32_t y = 0;          // kMotion: the pointer; kResize: the height asked
  int32_t button = 0;     // kButton*: 1 left, 2 middle, 3 right, 4 and 5 the wheel; kTouch*: finger
  bool dragging = false;  // kMotion: the right or middle button is held
  std::string key;        // kKey: the key's name, as the table of keys names it
};

// Mouse buttons by their number.
constexpr int32_t kButtonLeft = 1;
constexpr int32_t kWheelUp = 4;
constexpr int32_t kWheelDown = 5;

// What the inputs have told the loop so far.
struct Input {
  int32_t quit = 0;        // 1 on a quit request, or when a word could not be printed
  std::string lostOutput;  // why a word could not be printed, for the line that ends the program
  int32_t pointerX = 0;    // from the latest motion; (0, 0) before any
  int32_t pointerY = 0;
};

// The program's input without --explore: a key or a quit request ends the loop, a motion moves
// the pointer, and any button press, the wheel's included, acts on the selection (through
// history, when given, so that it can be taken back). True when the word may have changed.
bool handlePlainInput(const UserInput& event, Input& input, TurtleCursor& cursor,
                      PressHistory* history);

// Right after a word is printed: when it could not be, the loop ends with the reason kept.
void noteLostOutput(Input& input);

// The window's title: the program, the word's length and, with a view, its zoom.
std::string windowTitle(const TurtleCursor& cursor, const View* view);

class Explorer {
 public:
  // What the front end does after an input.
  struct Reply {
    bool title = false;   // show title() again
    bool resize = false;  // open the window again at width x height, then call resized()
    int32_t width = 0;
    int32_t height = 0;
  };

  // For the session's window of width x height. Every press goes through the session's
  // history, so that it can be taken back; with savesFiles, s saves the figure as a numbered
  // file.
  Explorer(Session& session, int32_t width, int32_t height, bool savesFiles);

  // With --explore: the left button presses, the wheel zooms about the pointer, a motion with
  // the right or middle button held pans, keys act as the table of keys says, and a resize
  // keeps the view. Without it, as handlePlainInput. Once a press or an undo has changed the
  // word, a press before the next frame's walk would act on a selection made on the word before
  // it: it leaves the word as it is and prints it.
  Reply handle(const UserInput& event);

  // The window now has this size; before the first frame, with --fit, the view fits it.
  void resized(int32_t width, int32_t height);

  // Takes back the newest press, as u does; false when none is left.
  bool undo();

  // Sets the turn of "+" and "-" to `degrees`, converted as the command line converts them;
  // false, and the angle unchanged, when they have no float radians.
  bool setAngle(double degrees);

  // Draws one frame, its squares handed to fill(square, colour) in word order: through the view
  // with --fit or --explore, else at the positions cut to 16 bits. With --explore, from the
  // shapes of the last walk when only the pointer has moved since, else from a walk, whose
  // shapes are kept for the frames that follow. The frame is then up to date.
  template <class Fill>
  void draw(const Palette& palette, Fill&& fill);

  // The frame on the screen is not the figure as it is now.
  bool stale() const { return stale_; }
  // The growth plays: the front end sends a kTick every half second.
  bool playing() const { return play_.has_value(); }
  bool quit() const { return input_.quit != 0; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  const Input& input() const { return input_; }
  std::string title() const;
  Style style() const { return figureStyle(session_.options); }
  // How many presses, growths, undos and turns of the angle have changed the figure so far.
  uint64_t edits() const { return edits_; }

 private:
  bool pressKey(Action action);
  void press();
  bool growAll();
  void startPlay();
  void stepPlay();
  void stopPlay();
  bool touch(const UserInput& event);
  void changed();  // the word, the view or the window: the kept shapes are out of date
  TurtleCursor& shown() { return play_ ? play_->cursor : session_.cursor; }

  // The growth played from the axiom, one generation a tick, over the session's word and view,
  // which stay as they were.
  struct Play {
    TurtleCursor cursor;
    int32_t generation;
    View view;  // the session's, put back at the end
  };

  // Fingers on the figure: one pans, or taps when it moved less than kTapReach; two pinch.
  struct Finger {
    int32_t id;
    int32_t x;
    int32_t y;
  };
  static constexpr int32_t kTapReach = 4;

  Session& session_;
  Input input_;
  int32_t width_;
  int32_t height_;
  bool savesFiles_;
  bool stale_ = true;
  // The selection was made on the word as it is: no press or undo has changed it since the walk.
  bool walked_ = false;
  bool drawnOnce_ = false;  // a frame has been drawn
  uint64_t edits_ = 0;
  KeptFrame kept_;
  bool keptValid_ = false;
  Palette palette_{1, 2, 3};  // of the last frame, for the walk that a tap selects with
  std::optional<Play> play_;
  std::vector<Finger> fingers_;  // down now, at most two
  int32_t touchStartX_ = 0;      // where the one finger came down
  int32_t touchStartY_ = 0;
  bool tapping_ = false;  // one finger down, and it has not moved kTapReach from its start
  double pinchBase_ = 0;  // the fingers' distance at the last zoom step of a pinch
};

template <class Fill>
void Explorer::draw(const Palette& palette, Fill&& fill) {
  stale_ = false;
  walked_ = true;
  drawnOnce_ = true;
  palette_ = palette;
  TurtleCursor& cursor = shown();
  const int32_t px = input_.pointerX;
  const int32_t py = input_.pointerY;
  const View* view = session_.shownView();
  const Style shape = style();
  // A pointer outside the window (after it shrank) can lie in shapes that are not kept.
  const bool inside = px >= 0 && px < width_ && py >= 0 && py < height_;
  if (session_.options.explore && inside && !play_) {
    if (!keptValid_) keptValid_ = kept_.keep(cursor, *view, shape, width_, height_);
    if (keptValid_) {
      kept_.draw(cursor, palette, px, py, fill);
      return;
    }
  }
  walkFrame(cursor, palette, view, shape, width_, height_, px, py, fill);
}

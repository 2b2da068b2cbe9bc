// The explorer: what the user's inputs do to the session and its view, which frame to draw and
// what to say, without SDL. Both front ends, in every mode, turn their events into UserInputs,
// hand them here and carry out the reply: a line and the word to print, a title to show, a
// window to resize, a frame to draw.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "figure.h"
#include "frame.h"
#include "gestures.h"
#include "keys.h"
#include "session.h"
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
    kTick,       // kPlayTick has passed while the growth plays
    kTouchDown,  // a finger came down at (x, y)
    kTouchMove,  // and moved there
    kTouchUp,    // and lifted there
  };
  Type type = Type::kOther;
  int32_t x = 0;  // kMotion, kTouch*: the point
  int32_t y = 0;
  int32_t width = 0;  // kResize: the size asked
  int32_t height = 0;
  int32_t button = 0;     // kButton*: 1 left, 2 middle, 3 right, 4 and 5 the wheel
  int32_t finger = 0;     // kTouch*: which finger
  bool dragging = false;  // kMotion: the right or middle button is held
  std::string key;        // kKey: the key's name, as the table of keys names it
};

// Mouse buttons by their number.
constexpr int32_t kButtonLeft = 1;
constexpr int32_t kWheelUp = 4;
constexpr int32_t kWheelDown = 5;

// How often the growth that plays takes its next step.
constexpr std::chrono::milliseconds kPlayTick{500};

// The window's title: the program, the word's length and, with a view, its zoom.
std::string windowTitle(const TurtleCursor& cursor, const View* view);

class Explorer {
 public:
  // What the front end does after an input, in this order.
  struct Reply {
    std::string message;  // a line for standard error, without the program's name, if not empty
    bool word = false;    // print the word: a press, a growth or an undo was asked for
    bool title = false;   // show title() again
    bool resize = false;  // open the window again at width x height, then call resized()
    int32_t width = 0;
    int32_t height = 0;
  };

  // For the session's window of width x height. Every press goes through the session's
  // history, so that it can be taken back; with savesFiles, s saves the figure as a numbered
  // file.
  Explorer(Session& session, int32_t width, int32_t height, bool savesFiles);

  // Without --explore a key or a close quits, a motion moves the pointer and any button press,
  // the wheel's included, acts on the selection of the frame on the screen, even once an
  // earlier press has changed the word. With --explore the left button presses, the wheel zooms
  // about the pointer, a motion with the right or middle button held pans, fingers pan, pinch
  // and tap, keys act as the table of keys says, and a resize keeps the view; a press between a
  // change of the word and the next frame leaves the word as it is and prints it.
  Reply handle(const UserInput& input);

  // Takes back the newest press that changed the word, as u does, in any mode.
  Reply takeBack();

  // The window now has this size; before the first frame, with --fit, the view fits it.
  void resized(int32_t width, int32_t height);

  // Sets the turn of "+" and "-" to `degrees`, converted as the command line converts them, as
  // if given so; false, and the angle unchanged, when they have no float radians.
  bool setAngle(double degrees);

  // The part of the window that the next frame paints: all of it, or when only the pointer has
  // moved since the frame before, where the shapes that hold the old or the new pointer lie; the
  // rest of the window shows the frame before as it is.
  ScreenRect redrawArea(const Palette& palette);

  // Draws one frame on the canvas (drawFigure's), within its clip, which redrawArea gives: the
  // pick of the pointer first, then the shapes, through the view with --fit or --explore, else at
  // the positions cut to 16 bits. The frame is then up to date.
  template <class Canvas>
  void draw(const Palette& palette, Canvas& canvas);

  // The frame on the screen is not the figure as it is now.
  bool stale() const { return stale_; }
  // The growth plays: the front end sends a kTick every kPlayTick.
  bool playing() const { return play_.has_value(); }
  bool quit() const { return quit_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  ScreenPoint pointer() const { return pointer_; }
  // The pick of the last frame drawn.
  const Pick& picked() const { return pick_; }
  std::string title() const;
  Style style() const { return figureStyle(session_.options); }
  // How many presses, growths, undos and turns of the angle have changed the figure so far.
  uint64_t edits() const { return edits_; }

 private:
  Reply handlePlain(const UserInput& input);
  // An input with --explore while the growth does not play; true when the view, the window or
  // the figure changed.
  bool exploreInput(const UserInput& input, Reply& reply);
  bool pressKey(Action action, Reply& reply);
  void press(int32_t selected, Reply& reply);
  bool undo(Reply& reply);
  bool growAll(Reply& reply);
  // Turns the angle by tenths of a degree more, as the keys do; false, and the angle unchanged,
  // when the sum has no float radians.
  bool turnTenths(int64_t tenths);
  void turned(float radians);  // the turtle turns by `radians` now
  void startPlay(Reply& reply);
  void stepPlay(Reply& reply);
  void stopPlay();
  bool touch(const UserInput& input, Reply& reply);
  void edited(const Edit& edit, Reply& reply);
  void changed();       // the view or the window has changed: the whole frame is out of date
  void wordChanged();   // and the figure too
  void pointerMoved();  // where the shapes under the old and the new pointer lie is out of date
  // Calls visit with the shown figure and its placement.
  template <class Visit>
  void withShown(Visit&& visit);
  TurtleCursor& shownCursor() { return play_ ? play_->cursor : session_.cursor; }
  const Figure& shownFigure() {
    return play_ ? play_->figure.of(play_->cursor) : session_.shownFigure();
  }

  // The growth played from the axiom, one generation a tick, over the session's word and view,
  // which stay as they were.
  struct Play {
    TurtleCursor cursor;
    KeptFigure figure;
    int32_t generation;
    View view;  // the session's, put back at the end
  };

  Session& session_;
  int32_t width_;
  int32_t height_;
  bool savesFiles_;
  bool quit_ = false;
  ScreenPoint pointer_{0, 0};  // from the latest motion; (0, 0) before any
  bool stale_ = true;
  bool whole_ = true;               // the next frame paints the whole window
  ScreenPoint drawnPointer_{0, 0};  // the pointer of the last frame
  // Where the shapes that hold heldPointer_ lie, while the figure and the view are as they are.
  std::optional<ScreenRect> held_;
  ScreenPoint heldPointer_{0, 0};
  // The pick was made on the word as it is: no press or undo has changed it since the frame.
  bool pickCurrent_ = false;
  bool drawnOnce_ = false;  // a frame has been drawn
  uint64_t edits_ = 0;
  std::string note_;  // why u did nothing, for the title, until the next input
  Pick pick_;
  Palette palette_{1, 2, 3};  // of the last frame, for the pick of a tap
  std::optional<Play> play_;
  Gestures gestures_;
};

template <class Visit>
void Explorer::withShown(Visit&& visit) {
  const Figure& figure = shownFigure();
  withPlacement(session_.shownView(), style(),
                [&](const auto& placement) { visit(figure, placement); });
}

template <class Canvas>
void Explorer::draw(const Palette& palette, Canvas& canvas) {
  stale_ = false;
  whole_ = false;
  pickCurrent_ = true;
  drawnOnce_ = true;
  palette_ = palette;
  withShown([&](const Figure& figure, const auto& placement) {
    pick_ = pick(figure, placement, palette, pointer_);
    drawnPointer_ = pointer_;
    drawFigure(figure, placement, palette, pick_, canvas);
  });
}

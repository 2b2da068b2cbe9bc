// The explorer: what the user's inputs do to the session and its view, and which frame to draw,
// without SDL. Each front end turns its events into Inputs, hands them here and carries out the
// reply: a title to show, a window to resize, a frame to draw.
#pragma once

#include <cstdint>
#include <string>

#include "figure.h"
#include "history.h"
#include "keys.h"
#include "session.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "view.h"

// One input, in the front ends' common terms.
struct UserInput {
  enum class Type { kOther, kMotion, kButtonDown, kButtonUp, kKey, kResize, kExpose, kQuit };
  Type type = Type::kOther;
  int32_t x = 0;          // kMotion: the pointer; kResize: the width asked
  int32_t y = 0;          // kMotion: the pointer; kResize: the height asked
  int32_t button = 0;     // kButtonDown, kButtonUp: 1 left, 2 middle, 3 right, 4 and 5 the wheel
  bool dragging = false;  // kMotion: the right or middle button is held
  std::string key;        // kKey: the key's name, as the table of keys names it
};

// Mouse buttons by their number.
constexpr int32_t kButtonLeft = 1;
constexpr int32_t kWheelUp = 4;
constexpr int32_t kWheelDown = 5;

// What the inputs have told the loop so far.
struct Input {
  int32_t quit = 0;
  int32_t pointerX = 0;  // from the latest motion; (0, 0) before any
  int32_t pointerY = 0;
};

// The program's input without --explore: a key or a quit request ends the loop, a motion moves
// the pointer, and any button press, the wheel's included, acts on the selection (through
// history, when given, so that it can be taken back). True when the word may have changed.
bool handlePlainInput(const UserInput& event, Input& input, TurtleCursor& cursor,
                      PressHistory* history);

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

  // The window now has this size.
  void resized(int32_t width, int32_t height);

  // Takes back the newest press, as u does; false when none is left.
  bool undo();

  // Draws one frame, its squares handed to fill(square, colour) in word order: through the view
  // with --fit or --explore, else at the positions cut to 16 bits. With --explore, from the
  // shapes of the last walk when only the pointer has moved since, else from a walk, whose
  // shapes are kept for the frames that follow. The frame is then up to date.
  template <class Fill>
  void draw(const Palette& palette, Fill&& fill);

  // The frame on the screen is not the figure as it is now.
  bool stale() const { return stale_; }
  bool quit() const { return input_.quit != 0; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  const Input& input() const { return input_; }
  std::string title() const;
  // How many presses and undos have changed the word so far.
  uint64_t edits() const { return edits_; }

 private:
  bool pressKey(Action action);
  void press();
  void changed();  // the word, the view or the window: the kept shapes are out of date

  Session& session_;
  Input input_;
  int32_t width_;
  int32_t height_;
  bool savesFiles_;
  bool stale_ = true;
  // The selection was made on the word as it is: no press or undo has changed it since the walk.
  bool walked_ = false;
  uint64_t edits_ = 0;
  KeptFrame kept_;
  bool keptValid_ = false;
};

template <class Fill>
void Explorer::draw(const Palette& palette, Fill&& fill) {
  stale_ = false;
  walked_ = true;
  TurtleCursor& cursor = session_.arbre;
  const int32_t px = input_.pointerX;
  const int32_t py = input_.pointerY;
  const View* view = session_.shownView();
  // A pointer outside the window (after it shrank) can lie in shapes that are not kept.
  const bool inside = px >= 0 && px < width_ && py >= 0 && py < height_;
  if (session_.options.explore && inside) {
    if (!keptValid_) keptValid_ = kept_.keep(cursor, *view, width_, height_);
    if (keptValid_) {
      kept_.draw(cursor, palette, px, py, fill);
      return;
    }
  }
  walkFrame(cursor, palette, view, width_, height_, px, py, fill);
}

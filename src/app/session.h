// What runs after the start, on the desktop and in the page: the options, the grown cursor,
// the presses that can be taken back, the view and the figure of the word.
#pragma once

#include <cstdint>
#include <string>

#include "figure.h"
#include "history.h"
#include "options.h"
#include "style.h"
#include "turtle_cursor.h"
#include "view.h"

struct Session {
  Options options;
  TurtleCursor cursor;
  PressHistory history;
  View view;            // the figure is drawn through it with --fit or --explore
  KeptFigure figure{};  // of the cursor's word; forgotten whenever the word or the turtle changes
  int64_t angleTenths = 0;  // the tenths of a degree that the keys turned since options.angleText

  // The angle in degrees as the title, the link and the command line write it: the text given
  // while the keys' turns add up to nothing, else its exact sum with them; empty for the
  // default, 0.5 radian, that was never turned.
  std::string angleText() const;
  // The view to draw through, or nullptr for the positions cut to 16 bits, as without options.
  const View* shownView() const { return options.fit || options.explore ? &view : nullptr; }
  const Figure& shownFigure() { return figure.of(cursor); }
};

// The cursor that the options describe, its word the axiom.
TurtleCursor cursorOf(const Options& options);

// The figure's style that the options ask for.
Style figureStyle(const Options& options);

// Writes the figure as lsystem-viewer-N.svg in the current folder, never over a file, and a
// grammar of more than 64 KiB or with a NUL byte as lsystem-viewer-N.grammar beside it; gives the
// line for standard error, without the program's name: where they went and the command line
// that draws the figure again (with -f for the grammar's file), or why they could not be written.
std::string saveNumbered(Session& session);

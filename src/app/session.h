// What runs after the start, on the desktop and in the page: the options, the grown cursor,
// the presses that can be taken back, and the view of the figure.
#pragma once

#include <string>

#include "history.h"
#include "options.h"
#include "style.h"
#include "turtle_cursor.h"
#include "view.h"

struct Session {
  Options options;
  TurtleCursor cursor;
  PressHistory history;
  View view;  // the figure is drawn through it with --fit or --explore

  // The view to draw through, or nullptr for the positions cut to 16 bits, as without options.
  const View* shownView() const { return options.fit || options.explore ? &view : nullptr; }
};

// The cursor that the options describe, its word the axiom.
TurtleCursor cursorOf(const Options& options);

// The figure's style that the options ask for.
Style figureStyle(const Options& options);

// Takes back the newest press that changed the word and prints the word; false, and nothing
// printed, when none is left.
bool undoPress(Session& session);

// Writes the figure as lsystem-viewer-N.svg in the current folder, never over a file, and a
// grammar of more than 64 KiB or with a NUL byte as lsystem-viewer-N.grammar beside it; gives the
// line for standard error: where they went and the command line that draws the figure again
// (with -f for the grammar's file), or why they could not be written.
std::string saveNumbered(Session& session);

// A press on the figure, as both front ends and a replayed list make it.
#pragma once

#include "turtle_cursor.h"

// Grows a selected bud or prunes at a selected segment; anything else changes nothing. A growth
// that would pass the word's limit throws WordLimitError, one past this machine's strings
// std::length_error, and one without memory std::bad_alloc; each leaves the word as it was.
void pressSelected(TurtleCursor& cursor);

// A mouse button press, whichever button: pressSelected on the selection that the last walk
// left, a refusal said in one line on standard error, and the word printed in every case.
void pressButton(TurtleCursor& cursor);

// One generation of the whole word, from index 0, as the start makes them; the selection is
// cleared. Throws as pressSelected does, the word as it was.
void growWhole(TurtleCursor& cursor);

// growWhole asked for by a key: a refusal said in one line on standard error, and the word
// printed in every case.
void growButton(TurtleCursor& cursor);

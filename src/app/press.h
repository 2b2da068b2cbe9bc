// A press on the figure and a growth of the whole word, what either did to the word, and the one
// wording of each reason for a refusal.
#pragma once

#include <exception>
#include <string>

#include "turtle_cursor.h"

// Grows a selected bud or prunes at a selected segment; anything else changes nothing. A growth
// that would pass the word's limit throws WordLimitError, one past this machine's strings
// std::length_error, and one without memory std::bad_alloc; each leaves the word as it was.
void pressSelected(TurtleCursor& cursor);

// One generation of the whole word, from index 0, as the start makes them; the selection is
// cleared. Throws as pressSelected does, the word as it was.
void growWhole(TurtleCursor& cursor);

// What an exception of the program's work says: "out of memory", "the word would be too long
// for this machine", or a limit's own message.
std::string reasonOf(const std::exception& error);

// What a press, a growth of the whole word or an undo did.
struct Edit {
  bool changed = false;
  // Why the word stays as it was, as one line without the program's name; empty when nothing
  // was refused.
  std::string refusal;
};

// The refusal of an edit that threw: its reason, then that the word stays as it was.
Edit refusedBy(const std::exception& error);

// The start's rewrites: the generations of the start word, then the presses of the command line.
#pragma once

#include <cstdint>
#include <string>

#include "progress.h"
#include "session.h"
#include "turtle_cursor.h"
#include "work.h"

// Grows the start word `generations` times; the failure, or an empty string.
std::string growGenerations(TurtleCursor& cursor, int32_t generations, Work& work,
                            Progress& progress);

// Replays the presses of the command line through the history, so that they can be taken back;
// the failure, or an empty string.
std::string replayPresses(Session& session, Work& work, Progress& progress);

// The start's rewrites: the generations of the start word, then the presses of the command line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "session.h"
#include "turtle_cursor.h"
#include "work.h"

// Told now and then how far a long start has come: a call that makes the line to show, which the
// front end calls only when it shows one.
using Progress = std::function<void(const std::function<std::string()>& line)>;

// Grows the start word `generations` times; the failure, or an empty string.
std::string growGenerations(TurtleCursor& cursor, int32_t generations, Work& work,
                            const Progress& progress);

// Replays the presses of the command line through the history, so that they can be taken back,
// counting them against the history's work budget; the failure, or an empty string.
std::string replayPresses(Session& session, const Progress& progress);

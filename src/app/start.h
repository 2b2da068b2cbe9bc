// The program's start without SDL, shared by the desktop and the page: the command line, the
// cursor grown from it, and the ways to end before any window.
#pragma once

#include <optional>

#include "options.h"
#include "turtle_cursor.h"

// Reads the command line (argv[0] is the program's name) into options and builds arbre, grown
// options.generations times. Handles --help, --version, --svg and every error, with their text on
// standard output or standard error; then gives the status the program ends with. Gives nothing
// when a window should open.
std::optional<int> startFromCommandLine(int argc, char* argv[], Options& options,
                                        std::optional<TurtleCursor>& arbre);

// The program's start without SDL, shared by the desktop and the page: the command line, the
// cursor grown from it and its presses replayed, and the ways to end before any window.
#pragma once

#include <optional>

#include "session.h"

// Reads the command line (argv[0] is the program's name) into a session whose cursor is grown
// options.generations times, with options.presses replayed and, with --fit, the view that
// shows it whole. Handles --help, --version, --svg and every error, with their text on standard
// output or standard error; then gives the status the program ends with. Gives nothing, with
// the session set, when a window should open; the word is not printed yet.
std::optional<int> startFromCommandLine(int argc, char* argv[], std::optional<Session>& session);

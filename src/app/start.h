// The program's start without SDL, shared by the desktop and the page: the command line, the
// cursor grown from it and its presses replayed, and what the front end is to say and do next.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "growth.h"
#include "session.h"

// What the start leaves to the front end: text to print, then either the status to end with
// or the session to run.
struct Start {
  std::string output;              // for standard output: --help's text or --version's line
  std::vector<std::string> notes;  // lines for standard error, without the program's name
  bool usage = false;              // the last note is a bad command line: point to --help
  std::optional<int> status;       // set: the program ends with it once the text is printed
  std::optional<Session> session;  // otherwise the session, its word not printed yet
};

// Reads the arguments after the program's name into a session whose cursor is grown
// options.generations times, with options.presses replayed and, with --fit, the view that
// shows it whole. With --help or --version, or on any error, gives the text and the status.
Start startFromArguments(const std::vector<std::string>& args, const Progress& progress);

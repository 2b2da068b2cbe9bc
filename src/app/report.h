// The program's own lines on standard error, and the status that goes with each.
#pragma once

#include <cstdio>
#include <string>

#include "options.h"

// A bad command line: its line and a pointer to --help; status 2.
inline int usageError(const std::string& message) {
  std::fprintf(stderr, "lsystem-viewer: %s\nTry 'lsystem-viewer --help'.\n", message.c_str());
  return kExitUsage;
}

// A failure at run time: its line; status 1.
inline int failure(const std::string& message) {
  std::fprintf(stderr, "lsystem-viewer: %s\n", message.c_str());
  return kExitFailure;
}

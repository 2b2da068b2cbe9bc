// --svg: the start figure written as a file instead of a window.
#pragma once

#include "session.h"

// Prints the start word and writes the figure to options.svgFile; the status the program ends
// with.
int runSvgMode(Session& session);

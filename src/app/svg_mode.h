// --svg: the start figure written as a file instead of a window.
#pragma once

#include "session.h"

// Writes the figure to options.svgFile, then prints the start word; the status the program ends
// with.
int runSvgMode(Session& session);

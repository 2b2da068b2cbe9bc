// A press on the figure, as both front ends make it.
#pragma once

#include "turtle_cursor.h"

// A mouse button press, whichever button: grow a selected bud, prune at a selected segment,
// and print the word in every case. The selection is the one the last walk left. A growth that
// would make the word too long, or that runs out of memory, leaves the word as it was and says
// so in one line on standard error.
void pressButton(TurtleCursor& arbre);

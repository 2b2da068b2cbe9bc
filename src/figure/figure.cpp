// The figure's bounding box.
#include "figure.h"

#include "line.h"

Box figureBox(TurtleCursor& cursor) { return drawnBox(cursor, Style()); }

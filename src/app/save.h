// Saving the figure as an SVG file.
#pragma once

#include <cstdint>
#include <string>

#include "turtle_cursor.h"

// writeSvg into a new file beside path, renamed over path once complete, so that a failure
// leaves whatever was at path as it was. The error message, or an empty string.
std::string saveSvg(const std::string& path, TurtleCursor& arbre, int32_t width, int32_t height);

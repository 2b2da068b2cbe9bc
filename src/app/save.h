// Saving the figure as an SVG file, written whole or not at all.
#pragma once

#include <cstdint>
#include <string>

#include "figure.h"
#include "style.h"

// writeSvg in the style to path as the shell's ">" would, but whole or not at all. Symbolic
// links are followed (up to 40), each relative one from its own folder, and a link is never
// replaced. A file is written into a new file beside it, renamed over it once complete, so that
// a failure leaves it as it was; a file that the user may not write is refused. A device, a pipe,
// an open descriptor named by /proc/self/fd/N or /dev/fd/N, and the very file that standard
// output writes are written into at their own place, never replaced. The error message, or an
// empty string.
std::string saveSvg(const std::string& path, const Figure& figure, int32_t width, int32_t height,
                    const Style& style = Style());

// writeSvg into a new file named prefix N .svg, and, when grammar is given, the grammar into
// prefix N .grammar, such that -f reads back exactly the grammar, or when book is given, that
// text as it is into prefix N .lsys. N is the smallest number from 1
// whose names are all free: no file is ever replaced, even one that appears while it writes, and
// the files are made together or not at all. Sets name to the SVG's name, the one it tried on a
// failure; gives the error message, which names the file it could not write, or an empty string.
std::string saveNumberedSvg(const std::string& prefix, const Figure& figure, int32_t width,
                            int32_t height, std::string& name, const Style& style = Style(),
                            const std::string* grammar = nullptr,
                            const std::string* book = nullptr);

// Saving the figure as an SVG file, written whole or not at all.
#pragma once

#include <cstdint>
#include <string>

#include "figure.h"
#include "style.h"

// writeSvg in the style into a new file beside path, renamed over path once complete, so that a
// failure leaves whatever was at path as it was. The error message, or an empty string.
std::string saveSvg(const std::string& path, const Figure& figure, int32_t width, int32_t height,
                    const Style& style = Style());

// writeSvg into a new file named prefix N .svg, N the smallest number from 1 whose name is free:
// it never replaces a file, even one that appears while it writes. Sets name to the file's name;
// gives the error message, or an empty string.
std::string saveNumberedSvg(const std::string& prefix, const Figure& figure, int32_t width,
                            int32_t height, std::string& name, const Style& style = Style());

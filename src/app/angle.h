// The turn of "+" and "-" in degrees, as the command line, the keys and the page give it.
#pragma once

#include <optional>
#include <string>

// offset + degrees * pi / 180, computed in double and rounded once to float; nothing when that
// is not finite or too large for a float, which is tested before the conversion, undefined there.
std::optional<float> radiansOfDegrees(double degrees, double offset = 0.0);

// The degrees of the default turn, 0.5 radian.
double defaultDegrees();

// The shortest decimal that reads back (strtod) as exactly `value`.
std::string shortestDecimal(double value);

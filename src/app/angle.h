// The turn of "+" and "-" in degrees, as the command line, the keys and the page give it.
#pragma once

#include <optional>
#include <string>

// The radians of `degrees`, computed in double and rounded once to float; nothing when they are
// not finite or too large for a float.
std::optional<float> radiansOfDegrees(double degrees);

// The degrees of the default turn, 0.5 radian.
double defaultDegrees();

// The shortest decimal that reads back (strtod) as exactly `value`.
std::string shortestDecimal(double value);

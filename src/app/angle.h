// The turn of "+" and "-" in degrees, as the command line, the keys and the page give it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// offset + degrees * pi / 180, computed in double and rounded once to float; nothing when that
// is not finite or too large for a float, which is tested before the conversion, undefined there.
std::optional<float> radiansOfDegrees(double degrees, double offset = 0.0);

// The degrees of the default turn, 0.5 radian.
double defaultDegrees();

// The shortest decimal that reads back (strtod) as exactly `value`: plain unless the form with an
// exponent is shorter, 30 and not 3e+01.
std::string shortestDecimal(double value);

// The exact sum of a decimal number of degrees, as -a takes it (an optional sign, digits with at
// most one point, an optional exponent), and tenths of a degree, in a canonical form: an
// optional "-", no "+", no needless zeros, the plain decimal when it has at most 40 characters
// or is no longer than the form with an exponent ("1.5e-300"), else that form. Adding t tenths,
// then -t in any steps, gives back the canonical form of the text. Nothing when the text is not
// such a decimal, or when the sum would need more than a million digits, as 1e-1000000 and a
// tenth would (no float angle tells such a value from 0 or from infinity).
std::optional<std::string> addDegrees(const std::string& decimalText, int64_t tenths);

// The number parsers of the command line: integers, pairs, decimals and lists of presses, each
// read whole or refused.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An optional sign and decimal digits, nothing else, within [min, max].
bool parseInteger(std::string_view text, int64_t min, int64_t max, int32_t& out);

// Decimal digits alone, as an unsigned 64-bit value.
bool parseUnsigned(std::string_view text, uint64_t& out);

// Two integers in [min, max] with the separator between them.
bool parsePair(std::string_view text, char separator, int64_t min, int64_t max, int32_t& first,
               int32_t& second);

// A decimal number: an optional sign, digits with at most one point, an optional exponent.
bool isDecimal(const std::string& text);

// Word indices and "g", a generation of the whole word, separated by commas: at least one, at
// most kMaxPresses, each index one of a 32-bit word. The error's ending, or an empty string.
std::string parsePresses(std::string_view text, std::vector<int32_t>& out);

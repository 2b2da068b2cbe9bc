// The number parsers of the command line.
#include "numbers.h"

#include <algorithm>
#include <charconv>

#include "options.h"

bool parseInteger(std::string_view text, int64_t min, int64_t max, int32_t& out) {
  // from_chars takes a "-" but not a "+", and must not see a sign after the "+".
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (text.empty() || text[0] == '-') return false;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return false;
  }
  out = static_cast<int32_t>(value);
  return true;
}

bool parseUnsigned(std::string_view text, uint64_t& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;  // no sign
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

std::string parsePresses(std::string_view text, std::vector<int32_t>& out) {
  out.clear();
  for (std::size_t at = 0;;) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    const std::string_view item = text.substr(at, comma - at);
    uint64_t index = 0;
    if (item != "g" && (!parseUnsigned(item, index) || index > INT32_MAX - 1)) {
      return " is not a list of word indices from 0 to " + std::to_string(INT32_MAX - 1) +
             " and g separated by commas";
    }
    if (out.size() == kMaxPresses)
      return " holds more than " + std::to_string(kMaxPresses) + " presses";
    out.push_back(item == "g" ? kGrowAll : static_cast<int32_t>(index));
    if (comma == text.size()) return "";
    at = comma + 1;
  }
}

bool parsePair(std::string_view text, char separator, int64_t min, int64_t max, int32_t& first,
               int32_t& second) {
  const std::size_t at = text.find(separator);
  return at != std::string_view::npos && parseInteger(text.substr(0, at), min, max, first) &&
         parseInteger(text.substr(at + 1), min, max, second);
}

bool isDecimal(const std::string& text) {
  std::size_t at = text.size() > 0 && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  std::size_t digits = 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    if (text[at] >= '0' && text[at] <= '9') {
      ++digits;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (at == text.size()) return false;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  }
  return at == text.size();
}

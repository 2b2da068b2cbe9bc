// ModuleWord: pushing, slicing, replacing, comparing and writing modules with parameters.
#include "module_word.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

char* copyText(char* out, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

// The p-digit decimal nearest to v > 0, as digits and the exponent of the first, if it reads
// back as v; else its neighbour on v's other side, which is nearer than the nearest when v is a
// power of two (the doubles below it are closer together than those above). printf and strtod
// are correctly rounded in the C locale wherever this runs.
bool roundTrips(double v, int p, std::string& digits, int& exponent) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*e", p - 1, v);
  digits.clear();
  const char* c = text;
  for (; *c != 'e'; ++c) {
    if (*c != '.') digits += *c;
  }
  exponent = std::atoi(c + 1);
  const double back = std::strtod(text, nullptr);
  if (back == v) return true;
  const bool up = back < v;
  std::size_t i = digits.size();
  while (i-- > 0) {  // one unit in the last place added or taken away
    char& d = digits[i];
    if (up ? d != '9' : d != '0') {
      d = static_cast<char>(up ? d + 1 : d - 1);
      break;
    }
    d = up ? '0' : '9';
  }
  if (up && digits[0] == '0') {  // 99..9 + 1
    digits[0] = '1';
    ++exponent;
  } else if (!up && digits[0] == '0') {  // 10..0 - 1
    digits.erase(0, 1);
    digits += '9';
    --exponent;
  }
  std::snprintf(text, sizeof text, "%c.%se%d", digits[0], digits.c_str() + 1, exponent);
  return std::strtod(text, nullptr) == v;
}

}  // namespace

char* writeShortest(char* out, double v) {
  if (std::signbit(v)) *out++ = '-';
  v = std::fabs(v);
  if (std::isnan(v)) return copyText(out, "nan");
  if (std::isinf(v)) return copyText(out, "inf");
  if (v == 0) return copyText(out, "0");
  std::string digits;
  int exponent = 0;
  int p = 1;
  while (p < 17 && !roundTrips(v, p, digits, exponent)) ++p;
  if (p == 17) roundTrips(v, 17, digits, exponent);  // 17 digits always read back
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const auto n = static_cast<int>(digits.size());
  // Fixed notation unless the scientific one is shorter, as std::to_chars chooses.
  std::string scientific = digits.substr(0, 1);
  if (n > 1) scientific += "." + digits.substr(1);
  char tail[16];
  std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
  scientific += tail;
  std::string fixed;
  if (exponent >= n - 1) {  // a whole number, written with all its digits
    char whole[320];
    std::snprintf(whole, sizeof whole, "%.0f", v);
    fixed = whole;
  } else if (exponent >= 0) {
    const auto point = static_cast<std::size_t>(exponent) + 1;
    fixed = digits.substr(0, point) + "." + digits.substr(point);
  } else {
    fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return copyText(out, fixed.size() <= scientific.size() ? fixed.c_str() : scientific.c_str());
}

void ModuleWord::push(char symbol, const double* params, uint32_t count) {
  if (values.size() + count > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("a word holds fewer than 2^32 parameters");
  }
  symbols.push_back(symbol);
  values.insert(values.end(), params, params + count);
  offsets.push_back(static_cast<uint32_t>(values.size()));
}

ModuleWord ModuleWord::slice(std::size_t begin, std::size_t end) const {
  ModuleWord part;
  part.symbols = symbols.substr(begin, end - begin);
  part.values.assign(values.data() + offsets[begin], values.data() + offsets[end]);
  part.offsets.resize(end - begin + 1);
  for (std::size_t i = begin; i <= end; ++i) part.offsets[i - begin] = offsets[i] - offsets[begin];
  return part;
}

void ModuleWord::replace(std::size_t begin, std::size_t end, const ModuleWord& with) {
  if (begin > end || end > size()) throw std::out_of_range("ModuleWord::replace: bad range");
  const uint32_t valueBegin = offsets[begin];
  const uint32_t valueEnd = offsets[end];
  const uint64_t newValues = uint64_t{values.size()} - (valueEnd - valueBegin) + with.values.size();
  if (newValues > std::numeric_limits<uint32_t>::max()) {
    throw std::length_error("a word holds fewer than 2^32 parameters");
  }
  // Everything that may throw is done on copies first, so that a failure leaves the word whole.
  std::vector<uint32_t> newOffsets;
  newOffsets.reserve(offsets.size() - (end - begin) + with.size());
  newOffsets.assign(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(begin) + 1);
  for (std::size_t i = 1; i <= with.size(); ++i) newOffsets.push_back(valueBegin + with.offsets[i]);
  const auto shift = static_cast<uint32_t>(newOffsets.back() - valueEnd);  // wraps when shrinking
  for (std::size_t i = end + 1; i < offsets.size(); ++i) newOffsets.push_back(offsets[i] + shift);
  std::vector<double> newValuesList;
  newValuesList.reserve(static_cast<std::size_t>(newValues));
  newValuesList.assign(values.data(), values.data() + valueBegin);
  newValuesList.insert(newValuesList.end(), with.values.begin(), with.values.end());
  newValuesList.insert(newValuesList.end(), values.data() + valueEnd,
                       values.data() + values.size());
  std::string newSymbols = symbols.substr(0, begin) + with.symbols + symbols.substr(end);
  symbols = std::move(newSymbols);
  offsets = std::move(newOffsets);
  values = std::move(newValuesList);
}

bool ModuleWord::operator==(const ModuleWord& other) const {
  // Values compare by their bits, so that -0 differs from 0 and a NaN equals itself.
  return symbols == other.symbols && offsets == other.offsets &&
         values.size() == other.values.size() &&
         (values.empty() ||
          std::memcmp(values.data(), other.values.data(), values.size() * sizeof(double)) == 0);
}

void appendModules(std::string& out, const ModuleWord& word, std::size_t begin, std::size_t end) {
  char digits[32];
  for (std::size_t i = begin; i < end; ++i) {
    out += word.symbols[i];
    const uint32_t count = word.parameterCount(i);
    if (count == 0) continue;
    const double* params = word.parameters(i);
    for (uint32_t p = 0; p < count; ++p) {
      out += p == 0 ? '(' : ',';
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
      out.append(digits, std::to_chars(digits, digits + sizeof digits, params[p]).ptr);
#else
      out.append(digits, writeShortest(digits, params[p]));
#endif
    }
    out += ')';
  }
}

std::string formatWord(const ModuleWord& word) {
  std::string out;
  appendModules(out, word, 0, word.size());
  return out;
}

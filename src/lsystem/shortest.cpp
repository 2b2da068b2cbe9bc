// The shortest decimal that reads back as a double or a float, as std::to_chars writes it.
#include "shortest.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

template <class Real>
Real readBack(const char* text);
template <>
double readBack<double>(const char* text) {
  return std::strtod(text, nullptr);
}
template <>
float readBack<float>(const char* text) {
  return std::strtof(text, nullptr);
}

char* copyText(char* out, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

// The p-digit decimal nearest to v > 0, as digits and the exponent of the first, if it reads
// back as v; else its neighbour on v's other side, which is nearer than the nearest when v is a
// power of two (the doubles below it are closer together than those above). printf and strtod
// are correctly rounded in the C locale wherever this runs.
template <class Real>
bool roundTrips(Real v, int p, std::string& digits, int& exponent) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*e", p - 1, static_cast<double>(v));
  digits.clear();
  const char* c = text;
  for (; *c != 'e'; ++c) {
    if (*c != '.') digits += *c;
  }
  exponent = std::atoi(c + 1);
  const Real back = readBack<Real>(text);
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
  return readBack<Real>(text) == v;
}

}  // namespace

template <class Real>
char* writeShortest(char* out, Real v) {
  constexpr int kMost = std::numeric_limits<Real>::max_digits10;  // always reads back
  if (std::signbit(v)) *out++ = '-';
  v = std::fabs(v);
  if (std::isnan(v)) return copyText(out, "nan");
  if (std::isinf(v)) return copyText(out, "inf");
  if (v == 0) return copyText(out, "0");
  std::string digits;
  int exponent = 0;
  int p = 1;
  while (p < kMost && !roundTrips(v, p, digits, exponent)) ++p;
  if (p == kMost) roundTrips(v, kMost, digits, exponent);
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
    std::snprintf(whole, sizeof whole, "%.0f", static_cast<double>(v));
    fixed = whole;
  } else if (exponent >= 0) {
    const auto point = static_cast<std::size_t>(exponent) + 1;
    fixed = digits.substr(0, point) + "." + digits.substr(point);
  } else {
    fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return copyText(out, fixed.size() <= scientific.size() ? fixed.c_str() : scientific.c_str());
}

template char* writeShortest(char* out, double v);
template char* writeShortest(char* out, float v);

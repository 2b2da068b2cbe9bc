// Degrees to the turtle's float radians, back to a decimal that reads the same, and exact sums
// of decimal degrees and tenths.
#include "angle.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "shortest.h"
#include "turtle_state.h"

namespace {

constexpr double kPi = 3.14159265358979323846;  // rounds to the double nearest to pi

constexpr std::size_t kMaxDigits = 1000000;  // the most that a sum may need
// The farthest from 0 that a written exponent may be; the sum of any farther non-zero value and a
// tenth would need more than kMaxDigits digits anyway.
constexpr int64_t kMaxExponent = 1000000000000000;
constexpr std::size_t kMaxPlainLength = 40;  // a plain decimal as long is always kept

// digits x 10^exponent, the digits without a leading or a final '0'; no digits for 0.
struct Decimal {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;
};

// d with its leading and final zeros taken off, 0 made positive.
Decimal normalized(Decimal d) {
  const std::size_t first = std::min(d.digits.find_first_not_of('0'), d.digits.size());
  d.digits.erase(0, first);
  const std::size_t last = d.digits.find_last_not_of('0');
  d.exponent += static_cast<int64_t>(d.digits.size() - (last + 1));  // 0 when empty
  d.digits.resize(last + 1);
  if (d.digits.empty()) d = Decimal{};
  return d;
}

// The number that text writes, as -a takes it, or nothing.
std::optional<Decimal> parseDecimal(const std::string& text) {
  Decimal d;
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) d.negative = text[at++] == '-';
  bool point = false;
  int64_t fractionDigits = 0;
  for (; at < text.size(); ++at) {
    if (text[at] >= '0' && text[at] <= '9') {
      d.digits += text[at];
      fractionDigits += point;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (d.digits.empty()) return std::nullopt;
  int64_t exponent = 0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (at == text.size()) return std::nullopt;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
      exponent = std::min(exponent * 10 + (text[at] - '0'), kMaxExponent + 1);
    }
    if (negative) exponent = -exponent;
  }
  if (at != text.size()) return std::nullopt;
  d.exponent = exponent - fractionDigits;
  d = normalized(d);
  if (!d.digits.empty() && (exponent > kMaxExponent || exponent < -kMaxExponent)) {
    return std::nullopt;
  }
  return d;
}

// The digits of d from 10^high down to 10^low, both inclusive, with '0' where it has none.
std::string aligned(const Decimal& d, int64_t high, int64_t low) {
  std::string digits(
      static_cast<std::size_t>(high - (d.exponent + static_cast<int64_t>(d.digits.size()) - 1)),
      '0');
  return digits + d.digits + std::string(static_cast<std::size_t>(d.exponent - low), '0');
}

// a + b, or nothing when the sum would need more than kMaxDigits digits.
std::optional<Decimal> sum(const Decimal& a, const Decimal& b) {
  if (a.digits.empty()) return b;
  if (b.digits.empty()) return a;
  const int64_t low = std::min(a.exponent, b.exponent);
  // One place above both, for a carry.
  const int64_t high = std::max(a.exponent + static_cast<int64_t>(a.digits.size()),
                                b.exponent + static_cast<int64_t>(b.digits.size()));
  if (high - low > static_cast<int64_t>(kMaxDigits)) return std::nullopt;
  std::string x = aligned(a, high, low);
  std::string y = aligned(b, high, low);
  Decimal result{a.negative, "", low};
  if (a.negative != b.negative && x < y) {
    std::swap(x, y);
    result.negative = b.negative;
  }
  const int sign = a.negative == b.negative ? 1 : -1;
  int carry = 0;
  for (std::size_t i = x.size(); i-- > 0;) {
    int digit = (x[i] - '0') + sign * (y[i] - '0') + carry;
    carry = digit < 0 ? -1 : digit / 10;
    digit -= carry * 10;
    x[i] = static_cast<char>('0' + digit);
  }
  result.digits = std::move(x);
  return normalized(result);
}

// The plain decimal when it is short, else the shorter of it and the form with an exponent.
std::string canonicalText(const Decimal& d) {
  if (d.digits.empty()) return "0";
  const int64_t length = static_cast<int64_t>(d.digits.size());
  const int64_t point = length + d.exponent;  // the digits before the point
  const std::string scientific = std::to_string(point - 1);
  const int64_t exponentLength =
      d.negative + length + (length > 1) + 1 + static_cast<int64_t>(scientific.size());
  const int64_t plainLength = d.negative + (d.exponent >= 0 ? length + d.exponent
                                            : point > 0     ? length + 1
                                                            : 2 - point + length);
  std::string text = d.negative ? "-" : "";
  if (plainLength <= static_cast<int64_t>(kMaxPlainLength) || plainLength <= exponentLength) {
    if (d.exponent >= 0)
      return text + d.digits + std::string(static_cast<std::size_t>(d.exponent), '0');
    if (point > 0) {
      const auto whole = static_cast<std::size_t>(point);
      return text + d.digits.substr(0, whole) + "." + d.digits.substr(whole);
    }
    return text + "0." + std::string(static_cast<std::size_t>(-point), '0') + d.digits;
  }
  text += d.digits[0];
  if (length > 1) text += "." + d.digits.substr(1);
  return text + "e" + scientific;
}

}  // namespace

std::optional<float> radiansOfDegrees(double degrees, double offset) {
  const double radians = radiansOf(degrees, offset);
  // Also false for an infinite or NaN value.
  if (!(std::fabs(radians) <= static_cast<double>(FLT_MAX))) return std::nullopt;
  return static_cast<float>(radians);
}

double defaultDegrees() { return 0.5 * 180.0 / kPi; }

std::string shortestDecimal(double value) {
  char text[32];
  return std::string(text, writeShortest(text, value));
}

std::optional<std::string> addDegrees(const std::string& decimalText, int64_t tenths) {
  const std::optional<Decimal> degrees = parseDecimal(decimalText);
  if (!degrees) return std::nullopt;
  // The magnitude as unsigned, since -INT64_MIN is not an int64_t.
  const uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : static_cast<uint64_t>(tenths);
  const std::optional<Decimal> total =
      sum(*degrees, normalized(Decimal{tenths < 0, std::to_string(magnitude), -1}));
  if (!total) return std::nullopt;
  return canonicalText(*total);
}

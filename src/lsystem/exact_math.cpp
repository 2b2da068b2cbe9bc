// Elementary functions in double-double arithmetic, the same bits on every IEEE-754 platform.
#include "exact_math.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// hi + lo with |lo| <= half an ulp of hi: about 106 bits. Every operation below is a sequence
// of correctly rounded + - * /, so none may be contracted into a fused multiply-add (the target
// is compiled with -ffp-contract=off).
struct DD {
  double hi;
  double lo;
};

constexpr DD fastTwoSum(double a, double b) {  // exact when |a| >= |b| or a == 0
  const double s = a + b;
  return {s, b - (s - a)};
}

constexpr DD twoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Dekker's product: a and b split into halves of 26 bits whose products are exact.
constexpr DD split(double a) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  const double hi = c - (c - a);
  return {hi, a - hi};
}

constexpr DD twoProd(double a, double b) {
  const double p = a * b;
  const DD as = split(a);
  const DD bs = split(b);
  return {p, ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo};
}

constexpr DD neg(DD a) { return {-a.hi, -a.lo}; }

constexpr DD add(DD a, DD b) {
  DD s = twoSum(a.hi, b.hi);
  const DD t = twoSum(a.lo, b.lo);
  s = fastTwoSum(s.hi, s.lo + t.hi);
  return fastTwoSum(s.hi, s.lo + t.lo);
}

constexpr DD mul(DD a, DD b) {
  const DD p = twoProd(a.hi, b.hi);
  return fastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DD div(DD a, DD b) {
  const double q1 = a.hi / b.hi;
  DD r = add(a, neg(mul(b, {q1, 0})));
  const double q2 = r.hi / b.hi;
  r = add(r, neg(mul(b, {q2, 0})));
  const double q3 = r.hi / b.hi;
  return add(fastTwoSum(q1, q2), {q3, 0});
}

constexpr DD scale(DD a, double powerOfTwo) { return {a.hi * powerOfTwo, a.lo * powerOfTwo}; }

// The constants to 106 bits, each pair the value's nearest double and the nearest double to
// the rest.
constexpr DD kPi = {3.141592653589793, 1.2246467991473532e-16};
constexpr DD kHalfPi = {1.5707963267948966, 6.123233995736766e-17};
constexpr DD kSixthPi = {0.5235987755982989, -5.360408832255455e-17};
constexpr DD kLn2 = {0.6931471805599453, 2.3190468138462996e-17};
constexpr DD kInvSqrt3 = {0.5773502691896257, 3.3450280739356345e-17};

// Series coefficients: sin's (-1)^k / (2k + 1)!, cos's (-1)^k / (2k)!, 1 / n!, and atanh's and
// atan's 1 / (2k + 1) (atan's alternate in sign).
template <std::size_t N>
constexpr std::array<DD, N> factorialSeries(int first, bool alternate) {
  std::array<DD, N> c{};
  DD inverse = {1, 0};
  for (int n = 2; n <= first; ++n) inverse = div(inverse, {static_cast<double>(n), 0});
  for (std::size_t k = 0; k < N; ++k) {
    c[k] = alternate && k % 2 == 1 ? neg(inverse) : inverse;
    const int n = first + static_cast<int>(k) * (alternate ? 2 : 1);
    inverse = div(inverse, {static_cast<double>(n + 1), 0});
    if (alternate) inverse = div(inverse, {static_cast<double>(n + 2), 0});
  }
  return c;
}

template <std::size_t N>
constexpr std::array<DD, N> oddInverses(bool alternate) {
  std::array<DD, N> c{};
  for (std::size_t k = 0; k < N; ++k) {
    c[k] = div({1, 0}, {static_cast<double>(2 * k + 1), 0});
    if (alternate && k % 2 == 1) c[k] = neg(c[k]);
  }
  return c;
}

// Enough terms that the first one left out is below 2^-80 of the sum on the kernels' ranges.
constexpr auto kSinSeries = factorialSeries<11>(1, true);  // |x| <= pi/4
constexpr auto kCosSeries = factorialSeries<12>(0, true);
constexpr auto kExpSeries = factorialSeries<13>(0, false);  // |x| <= ln 2 / 32
constexpr auto kAtanhSeries = oddInverses<17>(false);       // |s| <= 0.172
constexpr auto kAtanSeries = oddInverses<21>(true);         // |u| <= tan(pi/12)

template <std::size_t N>
DD horner(const std::array<DD, N>& c, DD z) {
  DD sum = c[N - 1];
  for (std::size_t k = N - 1; k-- > 0;) sum = add(mul(sum, z), c[k]);
  return sum;
}

DD sinKernel(DD x) { return mul(x, horner(kSinSeries, mul(x, x))); }
DD cosKernel(DD x) { return horner(kCosSeries, mul(x, x)); }

// 2/pi in bits: 2/pi = sum of kTwoOverPi[k] * 2^(-32(k + 1)), enough for any finite double.
constexpr uint32_t kTwoOverPi[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561,
    0xB7246E3A, 0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484,
    0xE99C7026, 0xB45F7E41, 0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F,
    0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF, 0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B,
    0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08, 0x56033046, 0xFC7B6BAB};

// x = q * pi/2 + r with |r| <= pi/4, for finite x with |x| > pi/4; returns r, and q mod 4.
// The product of x's 53-bit integer mantissa and a 224-bit window of 2/pi is formed exactly in
// integers: the bits of 2/pi above the window only add multiples of 4 quadrants, and those below
// it change the fraction by less than 2^-120, far below how close any double comes to a multiple
// of pi/2.
DD reduce(double x, int& quadrant) {
  int e = 0;
  const double m = std::frexp(std::fabs(x), &e);
  const auto mantissa = static_cast<uint64_t>(std::ldexp(m, 53));
  const int ex = e - 53;  // |x| = mantissa * 2^ex
  constexpr int kWindow = 7;
  const int k0 = ex >= 2 ? (ex - 2) / 32 : 0;
  std::array<uint32_t, kWindow + 3> n{};  // little-endian limbs of the product
  const uint64_t parts[2] = {mantissa & 0xFFFFFFFFu, mantissa >> 32};
  for (int j = 0; j < kWindow; ++j) {
    for (int p = 0; p < 2; ++p) {
      uint64_t carry = parts[p] * kTwoOverPi[k0 + j];
      for (auto at = static_cast<std::size_t>(kWindow - 1 - j + p); carry != 0; ++at) {
        carry += n[at];
        n[at] = static_cast<uint32_t>(carry);
        carry >>= 32;
      }
    }
  }
  // The bit of weight 2^0 (one quadrant) is bit s of the product.
  const int s = 32 * (k0 + kWindow) - ex;
  const auto bit = [&](int b) {
    return static_cast<int>(n[static_cast<std::size_t>(b / 32)] >> (b % 32) & 1u);
  };
  quadrant = bit(s) + 2 * bit(s + 1);
  const bool upper = bit(s - 1) == 1;  // a fraction of 1/2 or more counts from the next quadrant
  for (std::size_t i = 0; i < n.size(); ++i) {
    const int low = 32 * static_cast<int>(i);
    if (low >= s) n[i] = 0;
    if (low < s && s < low + 32) n[i] &= (uint32_t{1} << (s - low)) - 1;
  }
  if (upper) {  // 2^s - fraction, by two's complement, then masked to s bits again
    quadrant = (quadrant + 1) & 3;
    uint64_t carry = 1;
    for (auto& limb : n) {
      carry += static_cast<uint32_t>(~limb);
      limb = static_cast<uint32_t>(carry);
      carry >>= 32;
    }
    for (std::size_t i = 0; i < n.size(); ++i) {
      const int low = 32 * static_cast<int>(i);
      if (low >= s) n[i] = 0;
      if (low < s && s < low + 32) n[i] &= (uint32_t{1} << (s - low)) - 1;
    }
  }
  DD fraction = {0, 0};
  for (std::size_t i = n.size(); i-- > 0;) {
    fraction =
        add(fraction, {std::ldexp(static_cast<double>(n[i]), 32 * static_cast<int>(i) - s), 0});
  }
  DD r = mul(fraction, kHalfPi);
  if (upper) r = neg(r);
  if (x < 0) {
    r = neg(r);
    quadrant = (4 - quadrant) & 3;
  }
  return r;
}

// sin and cos of the reduced argument, and the quadrant, of a finite x.
struct SinCos {
  DD sin;
  DD cos;
};

SinCos sinCos(double x) {
  int quadrant = 0;
  const DD r = std::fabs(x) <= kHalfPi.hi / 2 ? DD{x, 0} : reduce(x, quadrant);
  const DD s = sinKernel(r);
  const DD c = cosKernel(r);
  switch (quadrant) {
    case 0:
      return {s, c};
    case 1:
      return {c, neg(s)};
    case 2:
      return {neg(s), neg(c)};
    default:
      return {neg(c), s};
  }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// e^x for the double-double x, before the scaling by 2^k: returns the mantissa and sets k.
DD expKernel(DD x, int& k) {
  const double n = std::floor(x.hi / kLn2.hi + 0.5);
  k = static_cast<int>(n);
  // r = x - n ln 2, |r| <= ln 2 / 2, taken by 16 so that the series converges fast, and
  // squared four times after.
  const DD r = scale(add(x, neg(mul({n, 0}, kLn2))), 1.0 / 16);
  DD e = horner(kExpSeries, r);
  for (int i = 0; i < 4; ++i) e = mul(e, e);
  return e;
}

double expOf(DD x) {
  if (x.hi > 709.79) return kInf;
  if (x.hi < -745.2) return 0;
  int k = 0;
  const DD e = expKernel(x, k);
  return std::ldexp(e.hi, k);
}

// log x for a positive finite x: x = m 2^e with m in [sqrt(1/2), sqrt(2)), and
// log m = 2 atanh(s) = 2 (s + s^3/3 + s^5/5 + ...) with s = (m - 1) / (m + 1).
DD logOf(double x) {
  int e = 0;
  double m = std::frexp(x, &e);
  if (m < 0.7071067811865476) {
    m *= 2;
    --e;
  }
  const DD s = div({m - 1, 0}, twoSum(m, 1));  // m - 1 is exact for m in [1/2, 2]
  const DD series = mul(scale(s, 2), horner(kAtanhSeries, mul(s, s)));
  return add(mul({static_cast<double>(e), 0}, kLn2), series);
}

// atan of 0 <= t <= 1: beyond tan(pi/12), atan t = pi/6 + atan((t - c) / (1 + t c)) with
// c = 1/sqrt(3) brings the series' argument back to [0, tan(pi/12)].
DD atanReduced(DD t) {
  DD base = {0, 0};
  if (t.hi > 0.2679491924311227) {
    t = div(add(t, neg(kInvSqrt3)), add({1, 0}, mul(t, kInvSqrt3)));
    base = kSixthPi;
  }
  return add(base, mul(t, horner(kAtanSeries, mul(t, t))));
}

// atan of a finite t >= 0.
DD atanPositive(DD t) {
  if (t.hi <= 1) return atanReduced(t);
  return add(kHalfPi, neg(atanReduced(div({1, 0}, t))));
}

bool isInteger(double y) { return std::floor(y) == y; }
bool isOddInteger(double y) { return isInteger(y) && std::fabs(std::fmod(y, 2)) == 1; }

// sqrt(1 - x^2) for 0 <= x < 1, in double-double.
DD sqrtOneMinusSquare(double x) {
  const DD d = mul(twoSum(1, -x), twoSum(1, x));
  const double root = std::sqrt(d.hi);
  const DD rest = add(d, neg(twoProd(root, root)));
  return fastTwoSum(root, rest.hi / (2 * root));
}

}  // namespace

double exactSin(double x) {
  if (std::fabs(x) < 0x1p-27) return x;  // x - x^3/6 rounds to x; keeps the sign of a zero
  if (!std::isfinite(x)) return kNaN;
  return sinCos(x).sin.hi;
}

double exactCos(double x) {
  if (std::fabs(x) < 0x1p-27) return 1;
  if (!std::isfinite(x)) return kNaN;
  return sinCos(x).cos.hi;
}

double exactTan(double x) {
  if (std::fabs(x) < 0x1p-27) return x;
  if (!std::isfinite(x)) return kNaN;
  const SinCos sc = sinCos(x);
  return div(sc.sin, sc.cos).hi;
}

double exactAsin(double x) {
  if (std::fabs(x) < 0x1p-27) return x;
  if (!(std::fabs(x) <= 1)) return kNaN;
  if (std::fabs(x) == 1) return std::copysign(kHalfPi.hi, x);
  const DD angle = atanPositive(div({std::fabs(x), 0}, sqrtOneMinusSquare(std::fabs(x))));
  return std::copysign(angle.hi, x);
}

double exactAcos(double x) {
  if (std::fabs(x) < 0x1p-57) return kHalfPi.hi;
  if (!(std::fabs(x) <= 1)) return kNaN;
  if (x == 1) return 0;
  if (x == -1) return kPi.hi;
  const DD angle = atanPositive(div(sqrtOneMinusSquare(std::fabs(x)), {std::fabs(x), 0}));
  return x > 0 ? angle.hi : add(kPi, neg(angle)).hi;
}

double exactAtan(double x) {
  if (std::fabs(x) < 0x1p-27) return x;
  if (std::isnan(x)) return x;
  // Past 2^60, pi/2 - 1/x rounds to pi/2 (and 1/x must not be formed in double-double).
  if (std::fabs(x) > 0x1p60) return std::copysign(kHalfPi.hi, x);
  return std::copysign(atanPositive({std::fabs(x), 0}).hi, x);
}

double exactAtan2(double y, double x) {
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (y == 0) return std::signbit(x) ? std::copysign(kPi.hi, y) : y;
  if (x == 0) return std::copysign(kHalfPi.hi, y);
  if (std::isinf(x)) {
    if (std::isinf(y)) {
      return std::copysign(x > 0 ? kPi.hi / 4 : add(kHalfPi, scale(kHalfPi, 0.5)).hi, y);
    }
    return std::copysign(x > 0 ? 0 : kPi.hi, y);
  }
  if (std::isinf(y)) return std::copysign(kHalfPi.hi, y);
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  const bool steep = ay > ax;
  const double small = steep ? ax : ay;
  const double large = steep ? ay : ax;
  int eSmall = 0;
  int eLarge = 0;
  std::frexp(small, &eSmall);
  std::frexp(large, &eLarge);
  DD angle;
  if (eSmall - eLarge < -60) {
    angle = {small / large, 0};  // atan t = t (1 - t^2/3) rounds to t
  } else {
    // Both scaled alike to about 1, so that Dekker's splits cannot overflow.
    angle = atanReduced(div({std::ldexp(small, -eLarge), 0}, {std::ldexp(large, -eLarge), 0}));
  }
  if (steep) angle = add(kHalfPi, neg(angle));
  if (x < 0) angle = add(kPi, neg(angle));
  return std::copysign(angle.hi, y);
}

double exactExp(double x) {
  if (std::isnan(x)) return x;
  if (std::fabs(x) < 0x1p-54) return 1 + x;
  return expOf({x, 0});
}

double exactLog(double x) {
  if (std::isnan(x) || x == kInf) return x;
  if (x < 0) return kNaN;
  if (x == 0) return -kInf;
  if (x == 1) return 0;
  return logOf(x).hi;
}

double exactPow(double x, double y) {
  if (y == 0 || x == 1) return 1;
  if (std::isnan(x) || std::isnan(y)) return x + y;
  if (std::isinf(y)) {
    if (x == -1) return 1;
    return (std::fabs(x) < 1) == (y < 0) ? kInf : 0;
  }
  const bool odd = isOddInteger(y);
  if (x == 0) {
    if (y < 0) return odd ? std::copysign(kInf, x) : kInf;
    return odd ? x : 0;
  }
  if (std::isinf(x)) {
    const double magnitude = y < 0 ? 0 : kInf;
    return x < 0 && odd ? -magnitude : magnitude;
  }
  double sign = 1;
  if (x < 0) {
    if (!isInteger(y)) return kNaN;
    if (odd) sign = -1;
  }
  const DD lg = logOf(std::fabs(x));
  // Decided before y log x is formed in double-double, whose splits would overflow.
  const double rough = y * lg.hi;
  if (rough > 720) return sign * kInf;
  if (rough < -760) return sign * 0.0;
  return sign * expOf(mul({y, 0}, lg));
}

// A line's axes, the visible steps of a clipped line and the hit test, in exact integers.
#include "line.h"

namespace {

__extension__ typedef __int128 Wide;  // GCC and clang have it on every target built here

Wide floorDiv(Wide a, Wide b) {
  const Wide q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

Wide ceilDiv(Wide a, Wide b) { return -floorDiv(-a, b); }

Wide absolute(Wide v) { return v < 0 ? -v : v; }

}  // namespace

LineAxes lineAxes(ScreenPoint p0, ScreenPoint p1) {
  const int64_t dx = p1.x - p0.x;
  const int64_t dy = p1.y - p0.y;
  if (std::abs(dx) >= std::abs(dy)) return {p0.x, p0.y, dx < 0 ? -1 : 1, std::abs(dx), dy, true};
  return {p0.y, p0.x, dy < 0 ? -1 : 1, std::abs(dy), dx, false};
}

bool visibleSteps(const LineAxes& line, int32_t brush, int32_t width, int32_t height,
                  LineSteps& steps) {
  const int32_t majorSize = line.xMajor ? width : height;
  const int32_t minorSize = line.xMajor ? height : width;
  // A pixel's brush square reaches [0, size) when the pixel lies in [back - brush + 1,
  // size - 1 + back].
  const int64_t back = (brush - 1) / 2;
  const int64_t low = back - brush + 1;
  Wide first = 0;
  Wide last = line.length;
  if (line.majorStep > 0) {
    first = std::max<Wide>(first, low - line.m0);
    last = std::min<Wide>(last, majorSize - 1 + back - line.m0);
  } else {
    first = std::max<Wide>(first, line.m0 - (majorSize - 1 + back));
    last = std::min<Wide>(last, line.m0 - low);
  }
  // kLow <= floor((2 t minorDelta + length) / (2 length)) <= kHigh, the offsets from n0 of the
  // minor bounds, holds when length (2 kLow - 1) <= 2 minorDelta t <= length (2 kHigh + 1) - 1.
  const Wide length = line.length;
  const Wide atLeast = length * (2 * (Wide{low} - line.n0) - 1);
  const Wide atMost = length * (2 * (Wide{minorSize} - 1 + back - line.n0) + 1) - 1;
  const Wide slope = 2 * Wide{line.minorDelta};
  if (slope > 0) {
    first = std::max(first, ceilDiv(atLeast, slope));
    last = std::min(last, floorDiv(atMost, slope));
  } else if (slope < 0) {
    first = std::max(first, ceilDiv(atMost, slope));
    last = std::min(last, floorDiv(atLeast, slope));
  } else if (atLeast > 0 || atMost < 0) {
    return false;
  }
  if (first > last) return false;
  const Wide numerator = 2 * first * line.minorDelta + length;
  const Wide offset = floorDiv(numerator, 2 * length);
  steps = {static_cast<int64_t>(first), static_cast<int64_t>(last), static_cast<int64_t>(offset),
           static_cast<int64_t>(numerator - offset * 2 * length)};
  return true;
}

bool lineHolds(ScreenPoint p0, ScreenPoint p1, int32_t brush, ScreenPoint pointer) {
  const int64_t px = pointer.x;
  const int64_t py = pointer.y;
  const Wide reach = lineReach(brush);
  // A pointer beyond the reach of the segment's box cannot be near it: most are, and the exact
  // test is left for the few that are not.
  if (px < std::min(p0.x, p1.x) - reach || px > std::max(p0.x, p1.x) + reach ||
      py < std::min(p0.y, p1.y) - reach || py > std::max(p0.y, p1.y) + reach) {
    return false;
  }
  const Wide dx = Wide{p1.x} - p0.x;
  const Wide dy = Wide{p1.y} - p0.y;
  const Wide vx = Wide{px} - p0.x;
  const Wide vy = Wide{py} - p0.y;
  const Wide along = vx * dx + vy * dy;
  const Wide lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0 || along <= 0) return vx * vx + vy * vy <= reach * reach;
  if (along >= lengthSquared) {
    const Wide wx = Wide{px} - p1.x;
    const Wide wy = Wide{py} - p1.y;
    return wx * wx + wy * wy <= reach * reach;
  }
  // The distance is |cross| / |d|, and |d| <= |dx| + |dy|: a larger |cross| is out of reach, and
  // a smaller one squares within 128 bits.
  const Wide cross = vx * dy - vy * dx;
  if (absolute(cross) > reach * (absolute(dx) + absolute(dy))) return false;
  return cross * cross <= reach * reach * lengthSquared;
}

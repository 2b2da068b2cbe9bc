// The figure as SVG, in either style, streamed through a buffer.
#include "svg.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shortest.h"

namespace {

// Text gathered in a buffer and written in large blocks; remembers a failed write.
class SvgOut {
 public:
  SvgOut(std::FILE* file, uint64_t maxBytes) : file_(file), left_(maxBytes) {}

  SvgOut& operator<<(std::string_view text) {
    if (text.empty()) return *this;  // an empty view may hold no pointer for memcpy
    if (kSize - used_ < text.size()) flush();
    if (text.size() > kSize) {
      write(text.data(), text.size());
    } else {
      std::memcpy(buffer_ + used_, text.data(), text.size());
      used_ += text.size();
    }
    return *this;
  }

  SvgOut& operator<<(int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
  }

  // A coordinate of the line style, in its shortest form that reads back as exactly it.
  SvgOut& operator<<(double value) {
    char digits[32];
    const char* end = writeShortest(digits, value);
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
  }

  // Writes what is buffered; false if any write so far has failed.
  bool flush() {
    write(buffer_, used_);
    used_ = 0;
    return ok_;
  }

 private:
  static constexpr std::size_t kSize = std::size_t{1} << 16;

  void write(const char* data, std::size_t size) {
    if (!ok_ || size == 0) return;
    if (size > left_) {  // past the most it may write: a file too large, and nothing more
      ok_ = false;
      errno = EFBIG;
      return;
    }
    left_ -= size;
    ok_ = std::fwrite(data, 1, size, file_) == size;
  }

  std::FILE* file_;
  uint64_t left_;  // bytes it may still write
  char buffer_[kSize];
  std::size_t used_ = 0;
  bool ok_ = true;
};

// "#rrggbb" of a colour.
std::string hexColour(uint32_t rgb) {
  static const char digits[] = "0123456789abcdef";
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += digits[(rgb >> shift) & 15];
  return text;
}

// The end of an element filled with the colour: its fill and the close.
std::string fillEnd(uint32_t rgb) { return "\" fill=\"" + hexColour(rgb) + "\"/>\n"; }

// The svg element over the box and a rect of the background's colour under the figure.
template <class Number>
void writeHeader(SvgOut& svg, Number minX, Number minY, Number width, Number height,
                 uint32_t background) {
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << minX << " " << minY << " "
      << width << " " << height << "\" width=\"" << width << "\" height=\"" << height
      << "\" shape-rendering=\"crispEdges\">\n"
      << "<rect x=\"" << minX << "\" y=\"" << minY << "\" width=\"" << width << "\" height=\""
      << height << fillEnd(background);
}

// The squares' style: a rect a square, its corner the turtle's whole-pixel position; the box the
// squares', or the window when nothing is drawn.
void writeSquares(SvgOut& svg, const Figure& figure, int32_t width, int32_t height,
                  const Style& style) {
  Box box = drawnBox(figure, style);
  if (box.empty()) box = {0, 0, width, height};
  writeHeader(svg, box.minX, box.minY, box.maxX - box.minX, box.maxY - box.minY,
              style.colours.background);
  const std::string budEnd = fillEnd(style.colours.bud);
  const std::string segmentEnd = fillEnd(style.colours.segment);
  for (const Stroke& stroke : figure.strokes()) {
    const int64_t side = stroke.bud ? kBudSide : kSegmentSide;
    svg << "<rect x=\"" << int64_t{TurtleState::truncate(stroke.x1)} << "\" y=\""
        << int64_t{TurtleState::truncate(stroke.y1)} << "\" width=\"" << side << "\" height=\""
        << side << (stroke.bud ? budEnd : segmentEnd);
  }
}

struct Corner {
  double x;
  double y;
};

// The polygon that a W by W square brush sweeps along the segment from its first point to its
// last: the convex hull of the square's corners at both ends, turning the same way for every
// segment, so that overlapping polygons of one path add up under the nonzero rule. A pixel's
// brush square spans [p - back, p - back + W) of a point p, and the pixel of p is the nearest one:
// at one unit a pixel, sampled at pixel centres, the square covers the window's pixels.
std::vector<Corner> sweptPolygon(const Stroke& stroke, int32_t brush) {
  const double back = (brush - 1) / 2;
  const double ahead = brush - back;
  std::vector<Corner> points;
  for (const auto& [x, y] : {std::pair{stroke.x0, stroke.y0}, {stroke.x1, stroke.y1}}) {
    const double px = static_cast<double>(x);
    const double py = static_cast<double>(y);
    points.insert(points.end(), {{px - back, py - back},
                                 {px + ahead, py - back},
                                 {px + ahead, py + ahead},
                                 {px - back, py + ahead}});
  }
  // Andrew's monotone chain: the lower hull, then the upper, without repeated points.
  std::sort(points.begin(), points.end(), [](const Corner& a, const Corner& b) {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
  });
  const auto turn = [](const Corner& o, const Corner& a, const Corner& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
  };
  std::vector<Corner> hull(2 * points.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  return hull;
}

// The line style: each run of segments between two buds one path of at most kPolygonsPerPath
// polygons, each the area the brush sweeps along a segment, so that no attribute grows past what
// XML readers take; a bud is its 20-unit square centred on its point, in word order. Every
// coordinate is a turtle point's float, or that plus whole units, exactly.
void writeLines(SvgOut& svg, const Figure& figure, const Style& style) {
  constexpr int32_t kPolygonsPerPath = 4096;
  const std::string end = fillEnd(style.colours.segment);
  const std::string budEnd = fillEnd(style.colours.bud);
  int32_t polygons = 0;  // in the open path
  for (const Stroke& stroke : figure.strokes()) {
    if (stroke.bud || polygons == kPolygonsPerPath) {
      if (polygons > 0) svg << end;
      polygons = 0;
    }
    if (stroke.bud) {
      constexpr double kHalf = kBudSide / 2;
      svg << "<rect x=\"" << static_cast<double>(stroke.x1) - kHalf << "\" y=\""
          << static_cast<double>(stroke.y1) - kHalf << "\" width=\"" << int64_t{kBudSide}
          << "\" height=\"" << int64_t{kBudSide} << budEnd;
      continue;
    }
    if (polygons == 0) svg << "<path d=\"";
    const std::vector<Corner> polygon = sweptPolygon(stroke, style.width);
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      svg << (i == 0 ? "M" : "L") << polygon[i].x << " " << polygon[i].y;
    }
    svg << "Z";
    ++polygons;
  }
  if (polygons > 0) svg << end;
}

// The viewBox of the line style: the points' box grown by the brush's reach on each side and by
// half a bud where there are buds; the window when nothing is drawn.
void writeLinesHeader(SvgOut& svg, const Figure& figure, int32_t width, int32_t height,
                      const Style& style) {
  const PointBox& points = figure.allPoints();
  double minX = 0;
  double minY = 0;
  double boxWidth = width;
  double boxHeight = height;
  if (!points.empty()) {
    const double bud = figure.budPoints().empty() ? 0 : kBudSide / 2;
    const double back = std::max<double>((style.width - 1) / 2, bud);
    const double ahead = std::max<double>(style.width - (style.width - 1) / 2, bud);
    minX = static_cast<double>(points.minX) - back;
    minY = static_cast<double>(points.minY) - back;
    boxWidth = static_cast<double>(points.maxX) + ahead - minX;
    boxHeight = static_cast<double>(points.maxY) + ahead - minY;
  }
  writeHeader(svg, minX, minY, boxWidth, boxHeight, style.colours.background);
}

}  // namespace

bool writeSvg(std::FILE* out, const Figure& figure, int32_t width, int32_t height,
              const Style& style, uint64_t maxBytes) {
  // The buffer is large; keep it off the stack.
  auto svg = std::make_unique<SvgOut>(out, maxBytes);
  *svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  if (style.lines) {
    writeLinesHeader(*svg, figure, width, height, style);
    writeLines(*svg, figure, style);
  } else {
    writeSquares(*svg, figure, width, height, style);
  }
  *svg << "</svg>\n";
  return svg->flush();
}

// The figure as SVG, in either style, streamed through a buffer.
#include "svg.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

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

// A square's rect, from its top-left corner.
void writeSquare(SvgOut& svg, int64_t x, int64_t y, bool bud) {
  const int64_t side = bud ? kBudSide : kSegmentSide;
  svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << side << "\" height=\"" << side
      << "\" fill=\"" << hexColour(bud ? kBudRgb : kSegmentRgb) << "\"/>\n";
}

// The segments as paths of separate lines, each from the centre of its first pixel's brush square
// to that of its last, with square caps: at scale 1 the stroke covers what the brush paints.
// Each run of segments between two buds is one path of at most kLinesPerPath lines, so that no
// attribute grows past what XML readers take; a bud is its centred square, in word order.
void writeLines(SvgOut& svg, const Figure& figure, int32_t brush) {
  constexpr int32_t kLinesPerPath = 4096;
  // The brush square of pixel x spans [x - floor((brush - 1) / 2), that + brush): its centre is
  // x + 0.5 for an odd brush and x + 1 for an even one.
  const std::string_view start = brush % 2 != 0 ? "<path transform=\"translate(0.5 0.5)\" d=\""
                                                : "<path transform=\"translate(1 1)\" d=\"";
  const std::string end = "\" fill=\"none\" stroke=\"" + hexColour(kSegmentRgb) +
                          "\" stroke-width=\"" + std::to_string(brush) +
                          "\" stroke-linecap=\"square\"/>\n";
  const auto whole = [](float v) { return int64_t{TurtleState::truncate(v)}; };
  int32_t lines = 0;  // in the open path
  for (const Stroke& stroke : figure.strokes()) {
    if (stroke.bud) {
      if (lines > 0) svg << end;
      lines = 0;
      writeSquare(svg, whole(stroke.x1) - kBudSide / 2, whole(stroke.y1) - kBudSide / 2, true);
      continue;
    }
    if (lines == kLinesPerPath) {
      svg << end;
      lines = 0;
    }
    svg << (lines == 0 ? start : std::string_view()) << "M" << whole(stroke.x0) << " "
        << whole(stroke.y0) << "L" << whole(stroke.x1) << " " << whole(stroke.y1);
    ++lines;
  }
  if (lines > 0) svg << end;
}

}  // namespace

bool writeSvg(std::FILE* out, const Figure& figure, int32_t width, int32_t height,
              const Style& style, uint64_t maxBytes) {
  Box box = drawnBox(figure, style);
  if (box.empty()) {
    box = {0, 0, width, height};
  } else if (style.lines) {
    // Room for the brush's square caps, which reach 0.71 brush from a point, and for the buds'
    // squares, which reach 10 pixels.
    const int64_t reach = std::max(style.width, kBudSide / 2);
    box = {box.minX - reach, box.minY - reach, box.maxX + reach, box.maxY + reach};
  }
  const int64_t minX = box.minX;
  const int64_t minY = box.minY;
  const int64_t boxWidth = box.maxX - minX;
  const int64_t boxHeight = box.maxY - minY;

  // The buffer is large; keep it off the stack.
  auto svg = std::make_unique<SvgOut>(out, maxBytes);
  *svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << minX << " " << minY << " "
       << boxWidth << " " << boxHeight << "\" width=\"" << boxWidth << "\" height=\"" << boxHeight
       << "\" shape-rendering=\"crispEdges\">\n"
       << "<rect x=\"" << minX << "\" y=\"" << minY << "\" width=\"" << boxWidth << "\" height=\""
       << boxHeight << "\" fill=\"" << hexColour(kBackgroundRgb) << "\"/>\n";
  if (style.lines) {
    writeLines(*svg, figure, style.width);
  } else {
    for (const Stroke& stroke : figure.strokes()) {
      writeSquare(*svg, TurtleState::truncate(stroke.x1), TurtleState::truncate(stroke.y1),
                  stroke.bud);
    }
  }
  *svg << "</svg>\n";
  return svg->flush();
}

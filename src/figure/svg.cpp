// The figure as SVG, streamed through a buffer.
#include "svg.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string_view>

#include "figure.h"

namespace {

// Text gathered in a buffer and written in large blocks; remembers a failed write.
class SvgOut {
 public:
  explicit SvgOut(std::FILE* file) : file_(file) {}

  SvgOut& operator<<(std::string_view text) {
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
    if (ok_ && size > 0) ok_ = std::fwrite(data, 1, size, file_) == size;
  }

  std::FILE* file_;
  char buffer_[kSize];
  std::size_t used_ = 0;
  bool ok_ = true;
};

}  // namespace

bool writeSvg(std::FILE* out, TurtleCursor& arbre, int32_t width, int32_t height) {
  const int32_t kept = arbre.selected;  // a walk starts with reset, which clears it
  Box box = figureBox(arbre);
  if (box.empty()) box = {0, 0, width, height};
  const int64_t minX = box.minX;
  const int64_t minY = box.minY;
  const int64_t boxWidth = box.maxX - minX;
  const int64_t boxHeight = box.maxY - minY;

  // The buffer is large; keep it off the stack.
  auto svg = std::make_unique<SvgOut>(out);
  *svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << minX << " " << minY << " "
       << boxWidth << " " << boxHeight << "\" width=\"" << boxWidth << "\" height=\"" << boxHeight
       << "\" shape-rendering=\"crispEdges\">\n"
       << "<rect x=\"" << minX << "\" y=\"" << minY << "\" width=\"" << boxWidth << "\" height=\""
       << boxHeight << "\" fill=\"#000000\"/>\n";
  walkDrawable(arbre, [&](int32_t x, int32_t y, char symbol) {
    *svg << "<rect x=\"" << int64_t{x} << "\" y=\"" << int64_t{y}
         << (symbol == 'o' ? "\" width=\"20\" height=\"20\" fill=\"#00ff00\"/>\n"
                           : "\" width=\"7\" height=\"7\" fill=\"#663300\"/>\n");
  });
  *svg << "</svg>\n";
  arbre.selected = kept;
  return svg->flush();
}

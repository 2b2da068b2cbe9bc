// The view's fit to the window and its zoom.
#include "view.h"

#include <algorithm>

View fitView(TurtleCursor& arbre, int32_t width, int32_t height) {
  const Box box = figureBox(arbre);
  if (box.empty()) return View{};

  const int32_t margin = std::min({10, width / 10, height / 10});
  const auto boxWidth = static_cast<double>(box.maxX - box.minX);
  const auto boxHeight = static_cast<double>(box.maxY - box.minY);
  const double s =
      std::min({(width - 2 * margin) / boxWidth, (height - 2 * margin) / boxHeight, 16.0});
  return View{s, (width - s * boxWidth) / 2 - s * static_cast<double>(box.minX),
              (height - s * boxHeight) / 2 - s * static_cast<double>(box.minY)};
}

bool zoomView(View& view, bool in, double px, double py) {
  constexpr double kFactor = 1.25;
  const double s = in ? view.s * kFactor : view.s / kFactor;
  if (s > 64.0 || s < 1.0 / 65536.0) return false;
  view.tx = in ? px - (px - view.tx) * kFactor : px - (px - view.tx) / kFactor;
  view.ty = in ? py - (py - view.ty) * kFactor : py - (py - view.ty) / kFactor;
  view.s = s;
  return true;
}

bool ViewSquares::keep(TurtleCursor& arbre, const View& view, int32_t width, int32_t height) {
  kept_.clear();
  budSide_ = static_cast<int32_t>(viewSide(view, squareSide('o')));
  segmentSide_ = static_cast<int32_t>(viewSide(view, squareSide('a')));
  width_ = width;
  height_ = height;
  bool fits = true;
  walkDrawable(arbre, [&](int32_t x, int32_t y, char symbol) {
    const double side = symbol == 'o' ? budSide_ : segmentSide_;
    const double left = std::floor(view.s * x + view.tx);
    const double top = std::floor(view.s * y + view.ty);
    if (!fits || left >= width || top >= height || left + side <= 0.0 || top + side <= 0.0) {
      return;
    }
    if (kept_.size() == kMaxKept) {
      fits = false;
      return;
    }
    kept_.push_back(
        Kept{static_cast<int32_t>(left), static_cast<int32_t>(top), arbre.index, symbol});
  });
  if (!fits) kept_ = {};
  return fits;
}

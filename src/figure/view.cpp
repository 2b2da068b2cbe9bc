// The view's fit to the window and its zoom.
#include "view.h"

View fitView(const Box& box, int32_t width, int32_t height) {
  if (box.empty()) return View{};
  const int32_t margin = std::min({10, width / 10, height / 10});
  const auto boxWidth = static_cast<double>(box.maxX - box.minX);
  const auto boxHeight = static_cast<double>(box.maxY - box.minY);
  const double s =
      std::max(std::min({(width - 2 * margin) / boxWidth, (height - 2 * margin) / boxHeight, 16.0}),
               kLeastZoom);
  return View{s, (width - s * boxWidth) / 2 - s * static_cast<double>(box.minX),
              (height - s * boxHeight) / 2 - s * static_cast<double>(box.minY)};
}

bool zoomView(View& view, bool in, double px, double py) {
  constexpr double kFactor = 1.25;
  const double s = in ? view.s * kFactor : view.s / kFactor;
  const bool toward = in ? view.s < kLeastZoom : view.s > kMostZoom;
  if ((s > kMostZoom || s < kLeastZoom) && !toward) return false;
  view.tx = in ? px - (px - view.tx) * kFactor : px - (px - view.tx) / kFactor;
  view.ty = in ? py - (py - view.ty) * kFactor : py - (py - view.ty) / kFactor;
  view.s = s;
  return true;
}

#include "app/window_size.h"

#include <algorithm>

namespace parupo {

namespace {

constexpr double kMinComposeHeight = 3315;
constexpr double kMinWidth = 2055;

}  // namespace

ComposeLayout composeLayout(double height, double width, bool composeShown) {
  const double h = composeShown && height < kMinComposeHeight ? kMinComposeHeight : height;
  return composeControls(h, h - 1950 >= 0 && width < kMinWidth ? kMinWidth : width);
}

ComposeLayout composeControls(double height, double width) {
  ComposeLayout fit;
  fit.height = height;
  fit.width = width;
  if (fit.height - 810 < 0) return fit;
  fit.frameHeight = fit.height - 810;
  if (fit.height - 1950 < 0) return fit;
  fit.bodyHeight = fit.height - 1950;
  auto atLeastNone = [](double twips) { return std::max(0.0, twips); };
  fit.widths = ComposeLayout::Widths{atLeastNone(fit.width - 240), atLeastNone(fit.width - 1320),
                                     atLeastNone(fit.width - 1020), atLeastNone(fit.width - 1020)};
  return fit;
}

}  // namespace parupo

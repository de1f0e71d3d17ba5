#include "app/window_size.h"

namespace parupo {

namespace {

constexpr double kMinComposeHeight = 3315;
constexpr double kMinWidth = 2055;

}  // namespace

ComposeLayout composeLayout(double height, double width, bool composeShown) {
  ComposeLayout fit;
  fit.height = composeShown && height < kMinComposeHeight ? kMinComposeHeight : height;
  fit.width = width;
  if (fit.height - 810 < 0) return fit;
  fit.frameHeight = fit.height - 810;
  if (fit.height - 1950 < 0) return fit;
  fit.bodyHeight = fit.height - 1950;
  if (fit.width < kMinWidth) fit.width = kMinWidth;
  fit.widths = ComposeLayout::Widths{fit.width - 240, fit.width - 1320, fit.width - 1020,
                                     fit.width - 1020};
  return fit;
}

}  // namespace parupo

#include "platform/twips.h"

#include <algorithm>
#include <cmath>

namespace parupo {

int twipsToPixels(double twips, double dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

double pixelsToTwips(int pixels, double dpi) { return pixels * 1440.0 / dpi; }

bool usableWindowSize(double twips) {
  constexpr double kLargestSize = 1.0e6;  // larger than any screen
  return std::isfinite(twips) && twips >= 0 && twips <= kLargestSize;
}

}  // namespace parupo

namespace parupo {

ScreenRect keepOnScreen(ScreenRect wanted, const ScreenRect& available) {
  wanted.width = std::min(wanted.width, available.width);
  wanted.height = std::min(wanted.height, available.height);
  wanted.x = std::clamp(wanted.x, available.x, available.right() - wanted.width);
  wanted.y = std::clamp(wanted.y, available.y, available.bottom() - wanted.height);
  return wanted;
}

ScreenRect placeBeside(const ScreenRect& main, int width, int height, const ScreenRect& available) {
  const auto fitsAcross = [&](const ScreenRect& r) { return r.x >= available.x && r.right() <= available.right(); };
  const ScreenRect right{main.right(), main.y, width, height};
  const ScreenRect left{main.x - width, main.y, width, height};
  return keepOnScreen(fitsAcross(right) || !fitsAcross(left) ? right : left, available);
}

}  // namespace parupo

#include "platform/twips.h"

#include <cmath>

namespace parupo {

int twipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

double pixelsToTwips(int pixels, double dpi) { return pixels * 1440.0 / dpi; }

bool usableWindowSize(double twips) {
  constexpr double kLargestSize = 1.0e6;  // larger than any screen
  return std::isfinite(twips) && twips >= 0 && twips <= kLargestSize;
}

}  // namespace parupo

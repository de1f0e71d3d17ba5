// Window geometry is kept in twips (1/1440 inch); 15 twips are one pixel at 96 dpi.
#pragma once

namespace parupo {

int twipsToPixels(double twips, double dpi = 96.0);
double pixelsToTwips(int pixels, double dpi = 96.0);

// Whether a number can be a window's height or width in twips: a size that is negative,
// not finite or larger than any screen is refused.
bool usableWindowSize(double twips);

}  // namespace parupo

namespace parupo {

// A window's outer frame, or a screen's available area, in pixels.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool operator==(const ScreenRect&) const = default;
};

// `wanted` moved just enough to lie wholly on `available`, and made no larger than it.
ScreenRect keepOnScreen(ScreenRect wanted, const ScreenRect& available);

// Where a window of `width` by `height` opens beside `main`, its top level with main's:
// at main's right edge when it fits across `available` there; otherwise at main's left
// edge when it fits there; failing both, at the right edge. Then moved just enough to lie
// on `available` (keepOnScreen), which also settles the top.
ScreenRect placeBeside(const ScreenRect& main, int width, int height, const ScreenRect& available);

}  // namespace parupo

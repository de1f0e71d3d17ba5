// Window geometry is kept in twips (1/1440 inch); 15 twips are one pixel at 96 dpi.
#pragma once

namespace parupo {

int twipsToPixels(double twips, double dpi = 96.0);
double pixelsToTwips(int pixels, double dpi = 96.0);

// Whether a number can be a window's height or width in twips: a size that is negative,
// not finite or larger than any screen is refused.
bool usableWindowSize(double twips);

}  // namespace parupo

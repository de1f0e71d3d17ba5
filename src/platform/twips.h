// Window geometry is kept in twips (1/1440 inch); 15 twips are one pixel at 96 dpi.
#pragma once

namespace parupo {

int twipsToPixels(double twips, double dpi = 96.0);
double pixelsToTwips(int pixels, double dpi = 96.0);

}  // namespace parupo

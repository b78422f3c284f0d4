#include "core/twips.h"

#include <cmath>

namespace brindle {

TwipsPerPixel TwipsPerPixelForDpi(double logicalDpiX, double logicalDpiY) {
    TwipsPerPixel t;
    if (logicalDpiX > 0)
        t.x = 1440.0 / logicalDpiX;
    if (logicalDpiY > 0)
        t.y = 1440.0 / logicalDpiY;
    return t;
}

int TwipsToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

double PixelsToTwips(int pixels, double twipsPerPixel) {
    return pixels * twipsPerPixel;
}

} // namespace brindle

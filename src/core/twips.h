#pragma once

namespace brindle {

// Twips: 1440 per logical inch. At 96 DPI a pixel is 15 twips.
struct TwipsPerPixel {
    double x = 15.0;
    double y = 15.0;
};

TwipsPerPixel TwipsPerPixelForDpi(double logicalDpiX, double logicalDpiY);
int TwipsToPixels(double twips, double twipsPerPixel);
double PixelsToTwips(int pixels, double twipsPerPixel);

} // namespace brindle

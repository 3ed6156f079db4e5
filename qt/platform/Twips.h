#pragma once
// Twips (1/1440 inch) and Qt's logical pixels, through the screen's logical DPI.

namespace platform {

// Twips per logical pixel of the primary screen (15 at 96 DPI).
double TwipsPerPixelX();
double TwipsPerPixelY();

int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);

} // namespace platform

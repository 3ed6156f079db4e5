#pragma once
// Control rectangles in twips, the model the window's logic reads and sets, and the pixel
// rectangles the widgets get from them.

namespace browser {

struct TwipsRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

struct PixelRect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// Edges are converted, not sizes, so that neighbours meet without a gap; a negative size
// becomes 0.
PixelRect ToPixels(const TwipsRect& rect, double twipsPerPixel);

int TwipsToPixels(double twips, double twipsPerPixel);

} // namespace browser

#pragma once

#include <QRect>

// Twips (1/1440 inch) and pixels: the one conversion of the program. The window layouts are
// given in twips, Qt places widgets in device-independent pixels (96 a logical inch, so 15
// twips a pixel at any screen density). A whole number of pixels or twips is the nearest, an
// exact half going to the even neighbour, as the legacy runtime stores a value into an
// integer; a result outside 32 bits is an overflow (PlatformError).
int twipsToPixels(double twips, double twipsPerPixel);
QRect twipsToPixels(const QRect& twips, double twipsPerPixelX, double twipsPerPixelY);
// A margin in twips joins the converted length before the rounding, as a window's outer size
// is the picture's size plus the parts around it.
int pixelsToTwips(double pixels, double twipsPerPixel, int marginTwips = 0);

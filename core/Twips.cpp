#include "core/Twips.h"

#include "core/numbers.h"

int twipsToPixels(double twips, double twipsPerPixel)
{
    return toInt32(twips / twipsPerPixel);
}

QRect twipsToPixels(const QRect& twips, double twipsPerPixelX, double twipsPerPixelY)
{
    return QRect(twipsToPixels(twips.x(), twipsPerPixelX), twipsToPixels(twips.y(), twipsPerPixelY),
                 twipsToPixels(twips.width(), twipsPerPixelX),
                 twipsToPixels(twips.height(), twipsPerPixelY));
}

int pixelsToTwips(double pixels, double twipsPerPixel, int marginTwips)
{
    return toInt32(pixels * twipsPerPixel + marginTwips);
}

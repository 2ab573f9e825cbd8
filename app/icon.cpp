#include "app/icon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The classic 16-colour palette, with transparency in the place of one grey.
QList<QRgb> sixteenColours()
{
    return {qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),
            qRgb(128, 128, 0),   qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),     qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// One drawing for every size; only the 16 and 32 pixel icons keep the hard 16-colour look.
QImage drawIcon(int size, bool smooth)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.scale(size / 32.0, size / 32.0);
    // Canopy.
    QPainterPath canopy;
    canopy.moveTo(2, 15);
    canopy.arcTo(QRectF(2, 3, 28, 24), 180, -180);
    canopy.closeSubpath();
    p.fillPath(canopy, QColor(255, 0, 0));
    p.setPen(QPen(QColor(128, 0, 0), 1));
    p.drawPath(canopy);
    // Shaft and handle.
    p.setPen(QPen(QColor(0, 0, 0), 2));
    p.drawLine(QPointF(16, 15), QPointF(16, 27));
    p.drawArc(QRectF(16, 24, 6, 6), 180 * 16, 180 * 16);
    // The numbers the program hands out.
    p.setPen(QColor(0, 0, 128));
    QFont font;
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(3, 7, 26, 9), Qt::AlignCenter, QStringLiteral("123"));
    p.end();
    return image;
}

} // namespace

QImage programIconImage(int size)
{
    return drawIcon(size, false).convertToFormat(QImage::Format_Indexed8, sixteenColours(),
                                                 Qt::ThresholdDither);
}

QImage programIconArtwork(int size)
{
    return drawIcon(size, true);
}

QIcon programIcon()
{
    // Drawn once, for the denser screens too rather than blown up from 32 pixels; every
    // window asks for it.
    static const QList<QImage> images = [] {
        QList<QImage> drawn;
        for (int size : {16, 24, 32, 48, 64})
            drawn << programIconImage(size);
        return drawn;
    }();
    QIcon icon;
    for (const QImage& image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

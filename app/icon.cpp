#include "app/icon.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

// The classic 16-colour palette, with transparency in the place of one grey.
QList<QRgb> sixteenColours()
{
    return {qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),
            qRgb(128, 128, 0),   qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
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
    return drawIcon(size, false)
        .convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither);
}

QImage programIconArtwork(int size)
{
    return drawIcon(size, true);
}

namespace {

// Draws each size the first time anything asks for it, and keeps it for every window after.
// The window system is offered the icon's two sizes; others are drawn only when asked for.
class ProgramIconEngine : public QIconEngine
{
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMax(1, qMin(size.width(), size.height()));
        // Images, not pixmaps: they may outlive the application object.
        static QHash<int, QImage> drawn;
        auto found = drawn.constFind(side);
        if (found == drawn.constEnd())
            found = drawn.insert(side, programIconImage(side));
        return QPixmap::fromImage(*found);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32)};
    }

    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("ProgramIconEngine"); }
};

} // namespace

QIcon programIcon()
{
    return QIcon(new ProgramIconEngine);
}

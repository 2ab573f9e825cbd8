#include "platform/controls/ImageControl.h"

#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "platform/controls/Accessibility.h"
#include "platform/controls/Events.h"
#include "platform/files/FileRead.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    installAccessibleInterfaces();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

namespace {

// Widget geometry is integral and bounded; the legacy values are neither.
int placed(float value)
{
    const double limit = QWIDGETSIZE_MAX;
    const double rounded = std::nearbyint(double(value));
    return int(std::fmax(-limit, std::fmin(limit, rounded)));
}

void checkSize(float size)
{
    if (!(size >= 0) || !std::isfinite(size))
        throw RuntimeError::invalidPropertyValue(QStringLiteral("Move"));
}

} // namespace

void ImageControl::place()
{
    setGeometry(placed(left_), placed(top_), placed(width_), placed(height_));
}

void ImageControl::setLeftF(float left)
{
    left_ = left;
    place();
}

void ImageControl::setTopF(float top)
{
    top_ = top;
    place();
}

void ImageControl::setWidthF(float width)
{
    checkSize(width);
    width_ = width;
    place();
    update();
}

void ImageControl::setHeightF(float height)
{
    checkSize(height);
    height_ = height;
    place();
    update();
}

void ImageControl::setStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void ImageControl::loadPicture(const QString& path)
{
    QByteArray bytes = readRegularFile(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(1024);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        throw PlatformError(QStringLiteral("LoadPicture"), reader.errorString(), 481);
    // The control works in the picture's pixels, whatever device pixel ratio a reader gives.
    image.setDevicePixelRatio(1.0);
    picture_ = std::move(image);
    pictureBytes_ = std::move(bytes);
    if (!stretch_) {
        width_ = float(picture_.width());
        height_ = float(picture_.height());
    }
    place();
    update();
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    if (picture_.isNull() || width_ <= 0 || height_ <= 0)
        return;
    const double sx = picture_.width() / double(width_);
    const double sy = picture_.height() / double(height_);
    const QRectF target = QRectF(event->rect()).intersected(QRectF(0, 0, width_, height_));
    if (target.isEmpty())
        return;
    const QRectF source(target.x() * sx, target.y() * sy, target.width() * sx,
                        target.height() * sy);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, sx > 1.0 || sy > 1.0);
    painter.drawImage(target, picture_, source);
}

void ImageControl::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    raiseFromQt(onMouseUp, legacyButton(event->button()));
}

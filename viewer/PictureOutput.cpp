#include "viewer/PictureOutput.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

QRect printTarget(QSize picture, const QRect& page)
{
    picture.scale(page.size(), Qt::KeepAspectRatio);
    return QRect(page.x() + (page.width() - picture.width()) / 2,
                 page.y() + (page.height() - picture.height()) / 2, picture.width(),
                 picture.height());
}

void printPicture(QPrinter& printer, const QImage& picture)
{
    if (picture.isNull())
        return;
    QPainter painter(&printer);
    painter.drawImage(printTarget(picture.size(), painter.viewport()), picture);
}

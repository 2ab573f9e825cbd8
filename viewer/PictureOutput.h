#pragma once

#include <QRect>
#include <QSize>

class QImage;
class QPrinter;

// Printing a viewer's picture, apart from any window.

// Where a picture of this size goes on a page: as large as the page allows, its proportions
// kept, centred.
QRect printTarget(QSize picture, const QRect& page);

// Prints the picture as loaded onto the printer's page; a missing picture prints nothing.
void printPicture(QPrinter& printer, const QImage& picture);

#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn here: an umbrella over a row of numbers, 16 colours.
QImage programIconImage(int size);
// The same drawing smooth and in full colour, for the larger sizes a desktop asks for.
QImage programIconArtwork(int size);
QIcon programIcon();

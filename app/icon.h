#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn here: an umbrella over a row of numbers, 16 colours.
QImage programIconImage(int size);
QIcon programIcon();

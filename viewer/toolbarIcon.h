#pragma once

#include <QIcon>
#include <QString>

// A toolbar picture: one kanji, black on light grey, 16 x 16 device-independent pixels.
// It is drawn afresh for every size and device pixel ratio, so it stays sharp at any density.
QIcon kanjiIcon(const QString& kanji);

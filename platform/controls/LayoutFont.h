#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// A text and the width in pixels that it has to fit; and the height its line has, where the
// box clips it (an edit field cuts the descenders of "jpg" off a line taller than itself).
struct Caption
{
    QString text;
    int room;
    int height = 0;
};

// A control of a window and the captions it shows.
struct FittedControl
{
    QWidget* control;
    QList<Caption> captions;
};

// A window laid out in twips has no room to grow: a desktop's own font size (GNOME's 11 pt)
// would cut its captions. Such a window takes the program's fonts at 9 pt, whatever the desktop
// says (DejaVu Sans for Latin letters and digits, Noto Sans CJK JP for Japanese, first for a
// control whose captions are Japanese alone), and a control whose captions would not fit at
// that size (a narrow box, or a system whose stand-in font is wider) the largest size at which
// they do.
void useLayoutFont(QWidget* window, const QList<FittedControl>& controls);

// The largest size, from the font's own down to 6 pt in half points, at which every caption
// fits its room, and its line the height where one is given.
QFont fittingFont(QFont font, const QList<Caption>& captions);

// What a control shows its text in: a label's width, a button's face inside its frame, a
// combo box's edit field for each of its entries, a line edit's inside.
QList<Caption> captionsOf(const QLabel* label);
QList<Caption> captionsOf(const QPushButton* button, const QStringList& texts);
QList<Caption> captionsOf(const QComboBox* combo, const QStringList& entries);
QList<Caption> captionsOf(const QLineEdit* edit, const QStringList& texts);

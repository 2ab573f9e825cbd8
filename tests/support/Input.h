#pragma once

// Real input for the tests: key and mouse events sent to the widgets, as a user gives them.
// No test emits a widget's signal itself; that would skip the very Qt behaviour that breaks
// in use.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

inline void showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Types text into the focused field: keys for ASCII, the input method's commit for the rest
// (full-width digits, "∀"), as a Japanese input method sends them.
inline void type(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(field, QString(c));
        } else {
            QInputMethodEvent event;
            event.setCommitString(QString(c));
            QApplication::sendEvent(field, &event);
        }
    }
}

// Replaces the text of a line edit or an editable combo box by typing over it.
inline void typeOver(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        type(field, text);
}

inline void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = QPoint())
{
    QTest::mouseClick(widget, button, Qt::NoModifier, at);
}

// Opens a combo box's list with a click on its arrow.
inline void openListByMouse(QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxArrow, combo);
    click(combo, Qt::LeftButton, arrow.center());
    QTRY_VERIFY(combo->view()->isVisible());
}

// Chooses an entry as a user does with the mouse: the arrow opens the list, a click picks.
inline void chooseByMouse(QComboBox* combo, int index)
{
    openListByMouse(combo);
    QAbstractItemView* list = combo->view();
    const QPoint at = list->visualRect(list->model()->index(index, 0)).center();
    QTest::mouseMove(list->viewport(), at);
    click(list->viewport(), Qt::LeftButton, at);
    QTRY_VERIFY(!list->isVisible());
}

// Chooses an entry from the keyboard: F4 opens the list, the arrow keys move, Enter takes.
inline void chooseByKeys(QComboBox* combo, int index)
{
    QTest::keyClick(combo, Qt::Key_F4);
    QTRY_VERIFY(combo->view()->isVisible());
    QAbstractItemView* list = combo->view();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
}

// Turns the mouse wheel over a widget; 120 is one notch, positive away from the user. Qt
// delivers a wheel turn to the widget under the pointer and then up its parents while they
// ignore it; an event sent from a test is not passed on, so the walk is done here.
inline void wheel(QWidget* widget, QPoint angleDelta,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF global = widget->mapToGlobal(QRectF(widget->rect()).center());
    for (QWidget* target = widget; target; target = target->parentWidget()) {
        QWheelEvent event(target->mapFromGlobal(global), global, QPoint(), angleDelta, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        if (event.isAccepted() || target->isWindow())
            return;
    }
}

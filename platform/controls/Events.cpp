#include "platform/controls/Events.h"

#include <QKeyEvent>

int legacyButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

bool isMenuKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Menu && mods == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

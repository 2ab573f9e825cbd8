#include "platform/controls/PictureBox.h"

#include "platform/controls/Accessibility.h"
#include "platform/controls/Events.h"

#include <QMouseEvent>
#include <QWheelEvent>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    installAccessibleInterfaces();
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    raiseFromQt(onMouseUp, legacyButton(event->button()));
}

void PictureBox::wheelEvent(QWheelEvent* event)
{
    if (!onWheel) {
        event->ignore();
        return;
    }
    event->accept();
    raiseFromQt(onWheel, event);
}

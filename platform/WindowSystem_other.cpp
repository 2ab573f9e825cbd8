#include "platform/WindowSystem.h"

#include <QWidget>
#include <QWindow>

// Without X11 Qt knows the frame it draws itself, or none is known before the window is shown.
std::optional<QMargins> askFrameExtents(QWidget* window)
{
    if (QWindow* handle = window->windowHandle())
        return handle->frameMargins();
    return std::nullopt;
}

void showEmptyCaption(QWidget*) {}

#pragma once

#include <QMargins>
#include <optional>

class QWidget;

// The frame (borders and title bar) that the window manager puts around a top-level window,
// in device-independent pixels. An outer size includes it, yet Qt learns it only once the
// window is shown; this asks the window manager before, so that an outer size can be applied
// without a visible jump. Zero where no window manager runs; nothing where the window manager
// does not answer before the window is shown.
std::optional<QMargins> askFrameExtents(QWidget* window);

// Qt's X11 backend puts the application's name in place of an empty title. This gives the
// window its empty caption back; call it when the native window exists and its title is empty.
void showEmptyCaption(QWidget* window);

// Keeps a window without a task-bar button, as a tool window has, while letting it stack as an
// ordinary window: window managers keep a tool window above every other window of its program.
// Call it before the window is first shown.
void keepOffTaskbar(QWidget* window);

#pragma once

#include <QMargins>
#include <optional>

class QWidget;

// The frame (borders and title bar) that the window manager puts around a top-level window,
// in device-independent pixels. An outer size includes it, yet Qt learns it only once the
// window is shown; this asks the window manager before, so that an outer size can be applied
// without a visible jump. Zero where no window manager runs. A window manager that does not
// answer before the window is shown (kwin) has framed our other windows alike: the frame of a
// shown window of the same kind, or else of any, stands in. Nothing where none is known.
std::optional<QMargins> askFrameExtents(QWidget* window);

// Qt's X11 backend puts the application's name in place of an empty title. This gives the
// window its empty caption back; call it when the native window exists and its title is empty.
void showEmptyCaption(QWidget* window);

// Keeps a window without a task-bar button, as a tool window has, while letting it stack as an
// ordinary window: window managers keep a tool window above every other window of its program.
// Call it before the window is first shown.
void keepOffTaskbar(QWidget* window);

// Keeps a window without a task-bar button within reach once the user has minimised it anyway
// (kwin and openbox offer it despite the hints, and so does Qt's own title bar on Wayland): on
// X11 it has a task-bar button while it is minimised; on Wayland, where the compositor may have
// no task bar at all (weston), it comes back at once. Call it on every change of the state of
// its native window.
void keepMinimisedReachable(QWidget* window);

// Whether the window is maximised in either direction. Qt calls a window maximised only when
// it is so both ways, yet a window manager may maximise it in height alone (kwin).
bool maximisedAnyWay(QWidget* window);

// Asks the window manager to take back a maximise in both directions.
void unmaximise(QWidget* window);

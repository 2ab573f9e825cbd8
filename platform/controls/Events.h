#pragma once

#include "core/DroppedFailures.h"

#include <Qt>

class QKeyEvent;

// How a control raises a legacy event. There are two ways, and which one a call is must be
// plain to see, since they treat a failure differently.

// A setter raises its control's event (assigning Path runs Change): the handler runs before
// the assignment returns, and a failure in it reaches whoever made the assignment, which may
// be another handler's error trap.
template <class Event, class... Args>
void raiseInSetter(const Event& event, Args&&... args)
{
    if (event)
        event(std::forward<Args>(args)...);
}

// Qt calls in (a signal, a mouse or key event): the handler runs, and whatever it lets pass
// stops here, since no exception may cross into Qt.
template <class Event, class... Args>
void raiseFromQt(const Event& event, Args&&... args) noexcept
{
    guarded([&] {
        if (event)
            event(std::forward<Args>(args)...);
    });
}

// The legacy number of a mouse button: 1 left, 2 right, 4 middle, 0 any other.
int legacyButton(Qt::MouseButton button);

// The keys that open a pop-up menu from the keyboard: the menu key, or Shift+F10.
bool isMenuKey(const QKeyEvent* event);

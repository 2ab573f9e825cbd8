#pragma once

#include <QLoggingCategory>

// A handler whose error trap ends it silently still leaves a trace, so that a bug report can say
// what failed and why. Nothing is written by default; QT_LOGGING_RULES="numbrella.failures=true"
// writes each such failure to the standard error.
Q_DECLARE_LOGGING_CATEGORY(lcDroppedFailures)

// Call only inside a catch block: writes the failure being handled and where it was dropped.
void noteDroppedFailure(const char* where) noexcept;

// Where a Qt signal or event enters one of our handlers: whatever the handler let pass is
// dropped here, so that no exception ever crosses into Qt.
template <class F>
void guarded(F&& body) noexcept
{
    try {
        body();
    } catch (...) {
        noteDroppedFailure("an event from Qt");
    }
}

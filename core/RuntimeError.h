#pragma once

#include "core/PlatformError.h"

// The legacy runtime's own failures, each with its one number and Japanese text, so that every
// control and conversion fails alike. "what" names the property or operation that failed.
namespace RuntimeError {
// A property given a value it cannot hold: a negative size, a page step below 1.
PlatformError invalidPropertyValue(const QString& what);
// A list read at a position it does not have.
PlatformError indexOutOfRange(const QString& what);
// A number too large for the integer it is stored into.
PlatformError overflow(const QString& what);
// A text read as a number that is none.
PlatformError typeMismatch(const QString& what);
} // namespace RuntimeError

#pragma once

#include <QString>
#include <cstdint>

// Nearest integer, an exact half going to the even neighbour.
double roundHalfEven(double value);
// A floating-point value stored into an integer: rounded half to even; outside the range
// (or not a number) it is an overflow, thrown as PlatformError.
std::int32_t toInt32(double value);
std::int16_t toInt16(double value);
// Shortest decimal digits, a minus sign only when negative.
QString numberText(long long value);
// Reads a decimal number; throws PlatformError when the text is not one.
long long readNumber(const QString& text);

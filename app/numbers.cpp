#include "app/numbers.h"

#include "platform/PlatformError.h"

#include <cmath>
#include <limits>

double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5)
        return floor + 1.0;
    if (diff < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

template <class Int>
Int toInteger(double value)
{
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        throw PlatformError(QStringLiteral("convert"), QStringLiteral("オーバーフローしました。"), 6);
    return Int(rounded);
}

} // namespace

std::int32_t toInt32(double value)
{
    return toInteger<std::int32_t>(value);
}

std::int16_t toInt16(double value)
{
    return toInteger<std::int16_t>(value);
}

QString numberText(long long value)
{
    return QString::number(value);
}

long long readNumber(const QString& text)
{
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        throw PlatformError(QStringLiteral("convert"), QStringLiteral("型が一致しません。"), 13);
    return value;
}

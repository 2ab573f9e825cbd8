#include "core/numbers.h"

#include "core/PlatformError.h"
#include "core/RuntimeError.h"

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
        throw RuntimeError::overflow(QStringLiteral("convert"));
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
    // The renaming run writes its counter twice a file: digits by hand, not through the locale.
    char16_t digits[24];
    char16_t* end = digits + 24;
    char16_t* p = end;
    unsigned long long magnitude = value < 0 ? 0ULL - (unsigned long long)value : value;
    do {
        *--p = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = u'-';
    return QString(reinterpret_cast<const QChar*>(p), end - p);
}

long long readNumber(const QString& text)
{
    // Plain digits, as the run's own counter always is, are read directly.
    const qsizetype size = text.size();
    if (size > 0 && size <= 18) {
        long long value = 0;
        qsizetype i = 0;
        for (; i < size; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                break;
            value = value * 10 + (c - u'0');
        }
        if (i == size)
            return value;
    }
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        throw RuntimeError::typeMismatch(QStringLiteral("convert"));
    return value;
}

#include "rename/renaming.h"

#include <QStringList>

QString zeroPrefix(int width, long long n)
{
    // The tests run from the smallest bound upward; the first that holds decides.
    long long bound = 10;
    for (int digits = 1; digits < 6; ++digits, bound *= 10) {
        if (n < bound)
            return QString(qMax(0, width - digits), QLatin1Char('0'));
    }
    return {};
}

QString filterPattern(int position)
{
    static const QStringList patterns = {
        QStringLiteral("*.jpg;*.jpeg"), QStringLiteral("*.gif"),        QStringLiteral("*.bmp"),
        QStringLiteral("*.ico"),        QStringLiteral("*.txt"),        QStringLiteral("*.rm"),
        QStringLiteral("*.ram"),        QStringLiteral("*.mpg;*.mpeg"), QStringLiteral("*.avi"),
        QStringLiteral("*.mp3"),        QStringLiteral("*.htm;*.html"), QStringLiteral("*.*"),
    };
    return patterns.value(position);
}

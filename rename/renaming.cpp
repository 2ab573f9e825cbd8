#include "rename/renaming.h"

#include "core/join.h"
#include "core/numbers.h"

#include <QStringBuilder>

QStringList filterLabels()
{
    QStringList labels;
    for (const FilterEntry& entry : kFilterEntries)
        labels << QString::fromUtf16(entry.label);
    return labels;
}

QStringList digitLabels()
{
    QStringList labels;
    for (const char16_t* entry : kDigitEntries)
        labels << QString::fromUtf16(entry);
    return labels;
}

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

QList<RenameStep> planRenames(const QString& folder, const QStringList& names, const QString& base,
                              const QStringList& widthEntries, const QString& widthText,
                              const QString& extension)
{
    const qsizetype position = widthEntries.indexOf(widthText);
    const int width = position < 0 ? 0 : int(position) + 1;
    const QString& separator = folderSeparator(folder);
    QList<RenameStep> plan;
    plan.reserve(names.size());
    for (qsizetype i = 1; i <= names.size(); ++i) {
        const QString number = numberText(i);
        // Each path built in one piece rather than through a temporary per part.
        plan.append({folder % separator % names[i - 1],
                     folder % separator % base % zeroPrefix(width, i) % number % QLatin1Char('.')
                         % extension});
    }
    return plan;
}

#pragma once

// Names that meet every path of the file list's matching and natural order, and those two
// written the plain way, a call per character, as the fast paths must agree with them.

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// The order and match as first written, a call per character: the fast paths must agree.
inline int generalNaturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    const auto digit = [](QChar c) { return c.unicode() < 128 && c.isDigit(); };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            qsizetype si = i, sj = j;
            while (si < a.size() && a[si] == u'0')
                ++si;
            while (sj < b.size() && b[sj] == u'0')
                ++sj;
            qsizetype ei = si, ej = sj;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            if (const int c =
                    QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj)))
                return c;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i].toCaseFolded() != b[j].toCaseFolded())
            return a[i].toCaseFolded() < b[j].toCaseFolded() ? -1 : 1;
        ++i;
        ++j;
    }
    return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

inline bool generalNaturalLess(const QString& a, const QString& b)
{
    const int c = generalNaturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

inline bool generalMatch(const QString& pattern, const QString& name)
{
    if (pattern == u"*.*")
        return true;
    if (pattern.isEmpty())
        return name.isEmpty();
    if (pattern[0] == u'*')
        return generalMatch(pattern.mid(1), name)
            || (!name.isEmpty() && generalMatch(pattern, name.mid(1)));
    return !name.isEmpty()
        && (pattern[0] == u'?' || pattern[0].toCaseFolded() == name[0].toCaseFolded())
        && generalMatch(pattern.mid(1), name.mid(1));
}

// Names built from pieces that meet every path: ASCII letters in both cases, digit runs with
// and without leading zeros, letters that fold to ASCII ones (Kelvin sign, long s), accented
// and Japanese letters, full-width digits, a character outside the BMP.
inline QStringList mixedNames(int count)
{
    const QStringList pieces = {
        "a",          "A",    "b",    "Z",     "_",
        ".",          "-",    " ",    "0",     "00",
        "7",          "07",   "10",   "9",     "123456789012345678901234567890",
        "K",          "k",    "K",    "ſ",     "s",
        "é",          "É",    "写真", "１",    "２",
        "\U0001F600", ".jpg", ".JPG", ".jpeg", ".Jpeg",
        ".txt",       "~"};
    QRandomGenerator random(12);
    QStringList names;
    for (int n = 0; n < count; ++n) {
        QString name;
        const int parts = 1 + int(random.bounded(6));
        for (int k = 0; k < parts; ++k)
            name += pieces[int(random.bounded(pieces.size()))];
        names << name;
    }
    return names;
}

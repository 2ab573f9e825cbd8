#pragma once

// Names that meet every path of the file list's matching and order, and the matching written
// the plain way, a call per character, as the fast paths must agree with it.

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// The match as first written, a call per character: the fast paths must agree.
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

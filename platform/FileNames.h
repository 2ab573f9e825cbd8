#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// File names as the file list treats them: matched against its patterns and put in natural
// order, the same whatever the locale. Pure functions over the names.

// Wildcard match with * and ?, without regard to letter case. "*.*" matches every name.
bool wildcardMatch(QStringView pattern, QStringView name);

// The ";"-joined patterns of the file list, ready to match many names: an ASCII name is
// matched on its bytes against an ASCII pattern, without making text of it.
class NamePatterns
{
public:
    explicit NamePatterns(const QString& patterns);
    bool matches(QStringView name) const;
    bool matchesAscii(const char* name, qsizetype size) const;

private:
    // Both forms of a pattern: the bytes stand for it only when it is ASCII, since a non-ASCII
    // pattern letter may fold to an ASCII one (the Kelvin sign to k).
    struct Pattern
    {
        QString text;
        QByteArray ascii;
        bool isAscii;
        bool all;
    };
    QList<Pattern> patterns_;
};

bool isAscii(const char* text);

// Runs of digits compare by value, other characters without regard to letter case, ties by
// the exact name; independent of the locale.
bool naturalLess(const QString& a, const QString& b);
// Sorts names by naturalLess.
void sortNatural(QStringList& names);

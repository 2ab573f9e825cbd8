#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// File names as the file and folder lists treat them: held faithfully whatever their bytes,
// shown readably, matched against the patterns and put in the order people's file managers
// show, the same whatever the locale. Pure functions over the names.

// A name as the system holds it is bytes. A name that is valid UTF-8 is held as its text, a
// leading U+FEFF kept. Each byte that is not part of valid UTF-8 (a Shift_JIS or Latin-1 name
// from another system) is held as the lone surrogate U+DC80 + (byte - 0x80), which no text
// holds: every name has a QString, and the QString gives back the name's exact bytes.
QString nameFromBytes(QByteArrayView bytes);
// The exact bytes of a name or path made by nameFromBytes; UTF-8 for every other text.
QByteArray nameBytes(QStringView name);
// Whether the name holds bytes that are not text.
bool holdsRawBytes(QStringView name);
// A name or path as people read it. Each part between "/" that holds bytes that are not text
// is decoded as Shift_JIS (Windows' code page 932) where it decodes, and otherwise shows each
// such byte as \xHH. A name of text is shown as it is.
QString shownName(const QString& name);

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

// The order of Japanese file managers, whatever the system's locale: Japanese collation with
// runs of digits (ASCII or full-width) by value, and letter case, width forms (ａ and a, ｶ and
// カ) and normal forms (a Mac's decomposed names) alike; a name that is not UTF-8 by the text it
// is shown as; ties by the exact name, so that the order is total.
bool naturalLess(const QString& a, const QString& b);
// Sorts names by naturalLess.
void sortNatural(QStringList& names);

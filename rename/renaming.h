#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// The renaming window's rule, apart from its widgets: its two tables of entries, and the new
// names of a run.

// An entry of the extension filter and the pattern that choosing it gives the file list.
struct FilterEntry
{
    const char16_t* label;
    const char16_t* pattern;
};
// In the order the box lists them.
inline constexpr std::array<FilterEntry, 12> kFilterEntries = {{
    {u"jpg", u"*.jpg;*.jpeg"},
    {u"gif", u"*.gif"},
    {u"bmp", u"*.bmp"},
    {u"ico", u"*.ico"},
    {u"txt", u"*.txt"},
    {u"rm", u"*.rm"},
    {u"ram", u"*.ram"},
    {u"mpg", u"*.mpg;*.mpeg"},
    {u"avi", u"*.avi"},
    {u"mp3", u"*.mp3"},
    {u"htm", u"*.htm;*.html"},
    {u"\u2200", u"*.*"}, // every file
}};

// The digit widths, in the order the box lists them: the entry at position k is k + 1 digits.
inline constexpr std::array<const char16_t*, 6> kDigitEntries = {
    u"１桁", u"２桁", u"３桁", u"４桁", u"５桁", u"６桁",
};

// The entries' texts, in the order the boxes list them.
QStringList filterLabels();
QStringList digitLabels();

// The run of zeros that brings n to width digits; a longer number gets none.
QString zeroPrefix(int width, long long n);

// One rename of a run: the listed file's path and its new path.
struct RenameStep
{
    QString from;
    QString to;
};

// The run's renames, one for each listed name in list order: name i (counting from 1) becomes
// base + zero prefix + i + "." + extension in the same folder, both paths made by the
// folder-and-name join. The width is that of the first of widthEntries (the digit box's entries
// as it holds them; the one at position k is k + 1 digits) that equals widthText exactly;
// none equal, and no number gets zeros.
QList<RenameStep> planRenames(const QString& folder, const QStringList& names, const QString& base,
                              const QStringList& widthEntries, const QString& widthText,
                              const QString& extension);

#pragma once

#include <QString>
#include <QStringList>

// The names of the regular files (and links to them) of folder that match one of the
// ";"-joined patterns, without hidden dot-files, in natural order. Throws PlatformError when
// the folder cannot be read.
QStringList readMatchingFiles(const QString& folder, const QString& patterns);

// The names of folder's subfolders (and links to folders), without hidden ones, unsorted.
// Throws PlatformError when the folder cannot be read.
QStringList readSubfolders(const QString& folder);

// Wildcard match with * and ?, without regard to letter case. "*.*" matches every name.
bool wildcardMatch(QStringView pattern, QStringView name);
bool matchesAny(const QStringList& patterns, QStringView name);

// Runs of digits compare by value, other characters without regard to letter case, ties by
// the exact name; independent of the locale.
bool naturalLess(const QString& a, const QString& b);
// Sorts names by naturalLess.
void sortNatural(QStringList& names);

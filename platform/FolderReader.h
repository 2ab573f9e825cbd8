#pragma once

#include <QString>
#include <QStringList>

// Reading a folder as the folder and file lists show it, straight from the system: a
// synchronous snapshot, unlike Qt's self-updating models.

// The names of the regular files (and links to them) of folder that match one of the
// ";"-joined patterns, without hidden dot-files, in natural order. Names that are not valid
// UTF-8 are left out, so that such a file is never renamed to a mangled name. Throws
// PlatformError when the folder cannot be read.
QStringList readMatchingFiles(const QString& folder, const QString& patterns);

// The names of folder's subfolders (and links to folders), without hidden ones, unsorted.
// Throws PlatformError when the folder cannot be read.
QStringList readSubfolders(const QString& folder);

// Throws PlatformError with the true reason when folder cannot be listed and searched.
void requireListable(const QString& folder);

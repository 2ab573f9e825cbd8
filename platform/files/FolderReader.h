#pragma once

#include <QString>
#include <QStringList>

// Reading a folder as the folder and file lists show it, straight from the system: a
// synchronous snapshot, unlike Qt's self-updating models. Names and paths are held as
// nameFromBytes makes them, so that a name that is not UTF-8 is listed and acted on by its
// exact bytes.

// The names of the regular files (and links to them) of folder that match one of the
// ";"-joined patterns, without hidden dot-files, in natural order. Throws PlatformError when the
// folder cannot be read.
QStringList readMatchingFiles(const QString& folder, const QString& patterns);

// The names of folder's subfolders (and links to folders), without hidden ones, unsorted.
// Throws PlatformError when the folder cannot be read.
QStringList readSubfolders(const QString& folder);

// The process's current folder, also when its name is not UTF-8, which Qt's own loses.
QString currentFolder();

// Throws PlatformError with the true reason when folder cannot be listed and searched.
void requireListable(const QString& folder);

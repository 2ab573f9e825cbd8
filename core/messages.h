#pragma once

#include <QString>

// The texts that tell the user of a refused rename, a failed save or a folder that cannot be
// opened. Joined piece by piece, so
// that a "%1" in a folder or file name stays text; names are shown as people read them
// (shownName).
QString renameStopMessage(const QString& oldPath, const QString& newPath, const QString& reason,
                          int count, int done);
QString saveFailureMessage(const QString& path, const QString& reason);
QString folderFailureMessage(const QString& folder, const QString& reason);
// How many of a run's files were renamed.
QString renamedCount(int count, int done);
// A drive that cannot be shown: the fixed message, then the drive and the reason below it.
QString driveNotReadyMessage(const QString& drive, const QString& reason);
// The question before a save replaces a file, naming its whole path.
QString replaceQuestion(const QString& path);

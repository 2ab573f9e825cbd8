#pragma once

#include <QDir>
#include <QString>

// The folder-and-name join, the one rule by which the renaming run and the viewer make a path:
// the name follows one of the ten drive roots "a:\" to "i:\" and "q:\" directly (compared
// exactly, letter case counting), any other folder after one separator. So any other root,
// "/" among them, gets a second separator ("//a.jpg"), as it always has.

bool isListedDriveRoot(const QString& folder);

// What goes between folder and a name: nothing or the platform's separator. For building a
// path in one piece.
const QString& folderSeparator(const QString& folder);

QString joinFolderAndName(const QString& folder, const QString& name,
                          QChar separator = QDir::separator());

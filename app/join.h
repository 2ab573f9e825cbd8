#pragma once

#include <QDir>
#include <QString>

// True for the ten drive roots "a:\" to "i:\" and "q:\", compared exactly.
bool isListedDriveRoot(const QString& folder);
// The name follows a listed drive root directly and any other folder after one separator.
QString joinFolderAndName(const QString& folder, const QString& name,
                          QChar separator = QDir::separator());

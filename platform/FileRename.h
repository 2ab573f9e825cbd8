#pragma once

#include <QString>

// Renames a file within its folder and never replaces, moves or copies anything. Throws
// PlatformError with a Japanese reason on refusal. A rename to the very same path succeeds
// without doing anything.
void renameFileNoReplace(const QString& oldPath, const QString& newPath);

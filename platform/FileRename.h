#pragma once

#include <QString>

// Renames a file within its folder and never replaces, moves or copies anything. The paths are
// held as nameFromBytes holds them, so the old name's exact bytes are renamed; the new name
// must be text. Throws
// PlatformError with a Japanese reason on refusal. A rename to the very same path succeeds
// without doing anything.
void renameFileNoReplace(const QString& oldPath, const QString& newPath);

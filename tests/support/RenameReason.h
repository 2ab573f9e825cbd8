#pragma once

#include "core/PlatformError.h"
#include "platform/files/FileRename.h"

#include <QString>

// The reason a rename was refused with; empty when it succeeded.
inline QString reasonOf(const QString& from, const QString& to, RenameRun& run)
{
    try {
        renameFileNoReplace(from, to, run);
    } catch (const PlatformError& e) {
        return e.reason();
    }
    return {};
}

inline QString reasonOf(const QString& from, const QString& to)
{
    RenameRun run;
    return reasonOf(from, to, run);
}

#pragma once

#include "platform/FileRename.h"
#include "platform/PlatformError.h"

#include <QString>

// The reason a rename was refused with; empty when it succeeded.
inline QString reasonOf(const QString& from, const QString& to)
{
    try {
        renameFileNoReplace(from, to);
    } catch (const PlatformError& e) {
        return e.reason();
    }
    return {};
}

#pragma once

#include <functional>

// The system calls behind renameFileNoReplace, held in a table so that a test can make any of
// them fail with the error of its choice. Each returns 0, or -1 with errno set.
struct RenameCalls
{
    // renameat2 with RENAME_NOREPLACE.
    std::function<int(const char* from, const char* to)> renameNoReplace;
    std::function<int(const char* from, const char* to)> link;
    std::function<int(const char* path)> unlink;
    // Creates an empty file under a name that must not exist yet (O_CREAT | O_EXCL).
    std::function<int(const char* path)> createExclusive;
    // A plain rename, which replaces its target.
    std::function<int(const char* from, const char* to)> rename;

    static RenameCalls system();
};

// The table in use: the system's calls unless a test has replaced some.
RenameCalls& renameCalls();

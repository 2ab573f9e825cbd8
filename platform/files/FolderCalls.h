#pragma once

#include <dirent.h>
#include <functional>

// The call that lists a folder, held in a table so that a test can make a listing fail midway,
// as a share does with an I/O error. Returns the next entry, or null at the end or with errno
// set on a failure.
struct FolderCalls
{
    std::function<dirent*(DIR* dir)> readEntry;

    static FolderCalls system();
};

// The table in use: the system's call unless a test has replaced it.
FolderCalls& folderCalls();

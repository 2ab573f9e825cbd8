#pragma once

#include <functional>

// The system calls that end a save, held in a table so that a test can make one fail the way a
// network share does: the write is taken, and the error comes only when the data is flushed or
// the file closed. Each returns 0, or -1 with errno set.
struct SaveFlushCalls
{
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;

    static SaveFlushCalls system();
};

// The table in use: the system's calls unless a test has replaced some.
SaveFlushCalls& saveFlushCalls();

#!/usr/bin/python3
"""memory_drive.py MOUNTPOINT [--never-replaces]: a flat drive held in memory, mounted through
FUSE for the tests. Like FAT through FUSE it has no hard links and no RENAME_NOREPLACE; with
--never-replaces its rename refuses a taken name, as fusefat's does. While the hidden file
.fail-listing holds a number n, every listing fails with an I/O error once n more renames
have been made."""
import errno
import stat
import sys
import time

try:
    from fusepy import FUSE, FuseOSError, Operations  # Debian's name for it
except ImportError:
    from fuse import FUSE, FuseOSError, Operations

CONTROL = "/.fail-listing"


class MemoryDrive(Operations):
    def __init__(self, never_replaces):
        self.never_replaces = never_replaces
        self.files = {}
        self.renames_before_failing = None
        self.time = time.time()

    def file(self, path):
        if path not in self.files:
            raise FuseOSError(errno.ENOENT)
        return self.files[path]

    def getattr(self, path, fh=None):
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_mtime=self.time)
        return dict(st_mode=stat.S_IFREG | 0o644, st_nlink=1, st_size=len(self.file(path)),
                    st_mtime=self.time)

    def readdir(self, path, fh):
        if self.renames_before_failing == 0:
            raise FuseOSError(errno.EIO)
        return [".", ".."] + [name[1:] for name in self.files]

    def create(self, path, mode, fi=None):
        self.files[path] = bytearray()
        return 0

    def open(self, path, flags):
        self.file(path)
        return 0

    def read(self, path, size, offset, fh):
        return bytes(self.file(path)[offset:offset + size])

    def write(self, path, buf, offset, fh):
        self.file(path)[offset:offset + len(buf)] = buf
        if path == CONTROL:
            self.renames_before_failing = int(bytes(self.files[path]))
        return len(buf)

    def truncate(self, path, length, fh=None):
        del self.file(path)[length:]

    def unlink(self, path):
        self.file(path)
        del self.files[path]
        if path == CONTROL:
            self.renames_before_failing = None

    def link(self, target, source):
        raise FuseOSError(errno.EPERM)

    def rename(self, old, new):
        self.file(old)
        if new in self.files and self.never_replaces:
            raise FuseOSError(errno.EEXIST)
        self.files[new] = self.files.pop(old)
        if self.renames_before_failing:
            self.renames_before_failing -= 1


if __name__ == "__main__":
    FUSE(MemoryDrive("--never-replaces" in sys.argv[2:]), sys.argv[1], foreground=False,
         nothreads=True)

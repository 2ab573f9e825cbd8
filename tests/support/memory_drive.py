#!/usr/bin/python3
"""A drive held in memory and mounted through FUSE, for the tests: it has no hard links and
no RENAME_NOREPLACE, as FAT through FUSE has not, and fails on demand.

    memory_drive.py MOUNTPOINT [--never-replaces]

--never-replaces: a rename onto a taken name is refused (EEXIST), as fusefat 0.3 does;
without it a rename replaces its target.

The hidden file .fail-listing steers the failures: while it holds a number n, every listing
fails with an I/O error once n more renames have been made (0: at once); removing it ends that.
Mounts and returns; the drive runs until it is unmounted.
"""
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
        self.nodes = {"/": self.node(stat.S_IFDIR | 0o755)}
        self.data = {}
        self.renames_before_failing = None

    @staticmethod
    def node(mode):
        now = time.time()
        return dict(st_mode=mode, st_nlink=1, st_atime=now, st_mtime=now, st_ctime=now)

    def existing(self, path):
        if path not in self.nodes:
            raise FuseOSError(errno.ENOENT)
        return self.nodes[path]

    def children(self, path):
        prefix = path.rstrip("/") + "/"
        return [p for p in self.nodes if p != "/" and p.startswith(prefix)
                and "/" not in p[len(prefix):]]

    def steer(self, path):
        if path == CONTROL:
            text = bytes(self.data[path]).strip()
            self.renames_before_failing = int(text) if text.isdigit() else None

    def getattr(self, path, fh=None):
        attributes = dict(self.existing(path))
        if path in self.data:
            attributes["st_size"] = len(self.data[path])
        return attributes

    def readdir(self, path, fh):
        self.existing(path)
        if self.renames_before_failing == 0:
            raise FuseOSError(errno.EIO)
        return [".", ".."] + [p.rsplit("/", 1)[1] for p in self.children(path)]

    def mkdir(self, path, mode):
        self.nodes[path] = self.node(stat.S_IFDIR | mode)

    def rmdir(self, path):
        if self.children(path):
            raise FuseOSError(errno.ENOTEMPTY)
        self.existing(path)
        del self.nodes[path]

    def create(self, path, mode, fi=None):
        self.nodes[path] = self.node(stat.S_IFREG | mode)
        self.data[path] = bytearray()
        return 0

    def open(self, path, flags):
        self.existing(path)
        return 0

    def read(self, path, size, offset, fh):
        return bytes(self.data[path][offset:offset + size])

    def write(self, path, buf, offset, fh):
        content = self.data[path]
        if len(content) < offset:
            content.extend(bytes(offset - len(content)))
        content[offset:offset + len(buf)] = buf
        self.steer(path)
        return len(buf)

    def truncate(self, path, length, fh=None):
        content = self.data[path]
        del content[length:]
        content.extend(bytes(length - len(content)))
        self.steer(path)

    def unlink(self, path):
        self.existing(path)
        del self.nodes[path], self.data[path]
        if path == CONTROL:
            self.renames_before_failing = None

    def link(self, target, source):
        raise FuseOSError(errno.EPERM)

    def rename(self, old, new):
        self.existing(old)
        if new in self.nodes:
            if self.never_replaces:
                raise FuseOSError(errno.EEXIST)
            self.nodes.pop(new)
            self.data.pop(new, None)
        self.nodes[new] = self.nodes.pop(old)
        if old in self.data:
            self.data[new] = self.data.pop(old)
        if self.renames_before_failing:
            self.renames_before_failing -= 1

    def chmod(self, path, mode):
        node = self.existing(path)
        node["st_mode"] = stat.S_IFMT(node["st_mode"]) | (mode & 0o7777)

    def chown(self, path, uid, gid):
        self.existing(path)

    def utimens(self, path, times=None):
        node = self.existing(path)
        node["st_atime"], node["st_mtime"] = times or (time.time(), time.time())

    def statfs(self, path):
        return dict(f_bsize=4096, f_frsize=4096, f_blocks=4096, f_bfree=4096, f_bavail=4096,
                    f_files=4096, f_ffree=4096, f_namemax=255)


if __name__ == "__main__":
    FUSE(MemoryDrive("--never-replaces" in sys.argv[2:]), sys.argv[1], foreground=False,
         nothreads=True)

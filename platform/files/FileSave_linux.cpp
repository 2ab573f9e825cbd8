#include "platform/files/FileSave.h"

#include "core/ErrorReason.h"
#include "core/PlatformError.h"
#include "platform/files/SaveFlushCalls.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

[[noreturn]] void failSave(int err)
{
    throw PlatformError(QStringLiteral("SavePicture"), errorReason(err), err);
}

// The folder part of a native path, "." for a bare name.
QByteArray folderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Writes every byte; on a failure, left says how many were not written.
int writeAll(int fd, const QByteArray& bytes, qsizetype& left)
{
    const char* data = bytes.constData();
    left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        // A write that takes nothing would loop for ever; a full drive is what it means.
        if (n == 0)
            return ENOSPC;
        data += n;
        left -= n;
    }
    return 0;
}

// FAT through FUSE refuses a write onto a full drive as not permitted (fusefat on Debian 12) or
// as an I/O error (on Debian 13): the drive's free space tells the true cause.
int trueWriteError(int err, const QByteArray& folder, qsizetype left)
{
    struct statvfs drive = {};
    if ((err == EPERM || err == EIO) && ::statvfs(folder.constData(), &drive) == 0
        && qint64(drive.f_bavail) * qint64(drive.f_frsize) < std::max<qint64>(left, 1))
        return ENOSPC;
    return err;
}

// The mode a new file gets from open(): what the user's umask leaves of rw-rw-rw-.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The name of a save's temporary file: a prefix of our own and six letters or digits, as
// mkostemp makes them.
constexpr char kTemporaryPrefix[] = ".numbrella-save-";
constexpr int kTemporaryLetters = 6;

bool isTemporaryName(const char* name)
{
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    if (std::strncmp(name, kTemporaryPrefix, prefix) != 0
        || std::strlen(name) != prefix + kTemporaryLetters)
        return false;
    for (const char* c = name + prefix; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// A temporary file that a save no longer writes: none has touched it for this long, and no
// process holds the lock that a save keeps on it while it writes.
constexpr int kLeftoverSeconds = 10 * 60;

// Removes what saves killed midway left in folder: this program's own temporary files of this
// user, and nothing else.
void removeLeftovers(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        struct stat st = {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != ::geteuid() || now - st.st_mtime < kLeftoverSeconds)
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Gives an unnamed file a hidden name of its own beside the target, for the rename over it.
int nameTemporary(int fd, const QByteArray& folder, QByteArray& named)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        QByteArray letters;
        for (int i = 0; i < kTemporaryLetters; ++i)
            letters += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                [QRandomGenerator::global()->bounded(62)];
        named = folder + '/' + kTemporaryPrefix + letters;
        const int linked =
            ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, named.constData(), AT_SYMLINK_FOLLOW);
        err = linked == 0 ? 0 : errno;
    }
    if (err != 0)
        named.clear();
    return err;
}

// Writes bytes into a temporary file in the target's folder, so that the final rename stays on
// one drive, and renames it over the target once whole. Where the drive can (unnamed), the file
// has no name until it is whole (O_TMPFILE), so a save killed midway leaves nothing behind;
// elsewhere it is a hidden file that the save locks while it writes. False when the drive has
// unnamed files but this system cannot name one (no /proc): nothing is changed then.
bool saveThroughTemporary(const QByteArray& folder, const QByteArray& target,
                          const QByteArray& bytes, mode_t mode, bool unnamed)
{
    QByteArray temporary;
    int fd = unnamed ? ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode) : -1;
    if (fd < 0) {
        unnamed = false;
        temporary = folder + '/' + kTemporaryPrefix + QByteArray(kTemporaryLetters, 'X');
        fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0)
            failSave(trueWriteError(errno, folder, 0));
        ::flock(fd, LOCK_EX | LOCK_NB);
    }
    const SaveFlushCalls& sys = saveFlushCalls();
    auto abandon = [&](int err, bool open, qsizetype left = 0) {
        // Asked while the temporary file still takes its room on the drive.
        const int told = trueWriteError(err, folder, left);
        if (open)
            sys.close(fd);
        if (!temporary.isEmpty())
            ::unlink(temporary.constData());
        failSave(told);
    };
    // Every step is checked by hand: a buffered writer that reports success after a failed
    // flush would rename an empty file over the one the user agreed to replace. The new file
    // keeps the old one's permissions, or gets a new file's; a drive that knows no permissions
    // (FAT) refuses this harmlessly.
    ::fchmod(fd, mode);
    qsizetype left = 0;
    if (const int err = writeAll(fd, bytes, left))
        abandon(err, true, left);
    // A share or a full drive may take the write and refuse only the flush or the close.
    if (sys.fsync(fd) != 0 && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        abandon(errno, true);
    if (unnamed) {
        if (const int err = nameTemporary(fd, folder, temporary)) {
            if (err != ENOENT)
                abandon(err, true);
            sys.close(fd);
            return false;
        }
    }
    if (sys.close(fd) != 0 && errno != EINTR)
        abandon(errno, false);
    if (::rename(temporary.constData(), target.constData()) != 0)
        abandon(errno, false);
    return true;
}

} // namespace

void writeFileReplacing(const QString& path, const QByteArray& bytes)
{
    QByteArray target = QFile::encodeName(path);
    struct stat st = {};
    mode_t mode = newFileMode();
    if (::lstat(target.constData(), &st) == 0) {
        // Saving over a link replaces the file it points to, not the link.
        if (S_ISLNK(st.st_mode)) {
            if (char* real = ::realpath(target.constData(), nullptr)) {
                target = real;
                std::free(real);
            }
        }
        if (::stat(target.constData(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                failSave(EISDIR);
            mode = st.st_mode & 07777;
        }
    }
    const QByteArray folder = folderOf(target);
    removeLeftovers(folder);
    if (!saveThroughTemporary(folder, target, bytes, mode, true))
        saveThroughTemporary(folder, target, bytes, mode, false);
    // The rename itself is made lasting; a folder that cannot be synced loses nothing.
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

SaveFlushCalls SaveFlushCalls::system()
{
    SaveFlushCalls calls;
    calls.fsync = [](int fd) { return ::fsync(fd); };
    calls.close = [](int fd) { return ::close(fd); };
    return calls;
}

SaveFlushCalls& saveFlushCalls()
{
    static SaveFlushCalls calls = SaveFlushCalls::system();
    return calls;
}

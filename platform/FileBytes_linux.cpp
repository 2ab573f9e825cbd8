#include "platform/FileBytes.h"

#include "platform/ErrorReason.h"
#include "platform/FileNames.h"
#include "platform/PlatformError.h"
#include "platform/SaveCalls.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No picture file is larger; a larger one would only exhaust memory before the decoder's own
// allocation limit refused it.
constexpr qint64 kMaxFileSize = qint64(1) << 30;

[[noreturn]] void failRead(int err)
{
    throw PlatformError(QStringLiteral("LoadPicture"), errorReason(err), err);
}

// A FIFO, socket or device is refused before it is opened at all: opening some devices has
// effects of its own.
int notRegularError(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return 0;
    return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

QByteArray readRegularFile(const QString& path)
{
    const QByteArray native = nameBytes(path);
    struct stat st = {};
    if (::stat(native.constData(), &st) != 0)
        failRead(errno);
    if (const int err = notRegularError(st))
        failRead(err);
    // Non-blocking, in case the name has become a FIFO since: fstat below tells.
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        failRead(errno);
    if (::fstat(fd.get(), &st) != 0)
        failRead(errno);
    if (const int err = notRegularError(st))
        failRead(err);
    if (st.st_size > kMaxFileSize)
        failRead(EFBIG);
    QByteArray bytes;
    bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failRead(errno);
        if (n == 0)
            break;
        if (bytes.size() + n > kMaxFileSize)
            failRead(EFBIG);
        bytes.append(buffer, qsizetype(n));
    }
    return bytes;
}

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

int writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
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

// The mode a new file gets from open(): what the user's umask leaves of rw-rw-rw-.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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
    // Every step is checked by hand: a buffered writer that reports success after a failed
    // flush would rename an empty file over the one the user agreed to replace. The temporary
    // file lies in the target's folder, so that the final rename stays on one drive.
    QByteArray temporary = folderOf(target) + "/.numbrella-save-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        failSave(errno);
    const SaveCalls& sys = saveCalls();
    auto abandon = [&](int err, bool open) {
        if (open)
            sys.close(fd);
        ::unlink(temporary.constData());
        failSave(err);
    };
    // The new file keeps the old one's permissions, or gets a new file's; a drive that knows
    // no permissions (FAT) refuses this harmlessly.
    ::fchmod(fd, mode);
    if (const int err = writeAll(fd, bytes))
        abandon(err, true);
    // A share or a full drive may take the write and refuse only the flush or the close.
    if (sys.fsync(fd) != 0 && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        abandon(errno, true);
    if (sys.close(fd) != 0 && errno != EINTR)
        abandon(errno, false);
    if (::rename(temporary.constData(), target.constData()) != 0)
        abandon(errno, false);
    // The rename itself is made lasting; a folder that cannot be synced loses nothing.
    const int folder = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

SaveCalls SaveCalls::system()
{
    SaveCalls calls;
    calls.fsync = [](int fd) { return ::fsync(fd); };
    calls.close = [](int fd) { return ::close(fd); };
    return calls;
}

SaveCalls& saveCalls()
{
    static SaveCalls calls = SaveCalls::system();
    return calls;
}

#include "platform/files/FileRead.h"

#include "core/ErrorReason.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"

#include <cerrno>
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

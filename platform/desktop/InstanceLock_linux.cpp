#include "platform/desktop/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QtGlobal>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A real folder (not a symbolic link) of this user that nobody else can write, opened so that
// it cannot be swapped for another between the check and the use.
int openPrivateFolder(const QString& path)
{
    if (!QDir::isAbsolutePath(path))
        return -1;
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()
        || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Where this user's instances meet: the runtime folder, else the cache folder of the home.
QString cacheRoot()
{
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    return QDir::isAbsolutePath(cache) ? cache : QDir::homePath() + QStringLiteral("/.cache");
}

int lockFolder()
{
    const int runtime = openPrivateFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (runtime >= 0)
        return runtime;
    const QString cache = cacheRoot();
    const QString own = cache + QStringLiteral("/numbrella");
    ::mkdir(QFile::encodeName(cache).constData(), 0700);
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return openPrivateFolder(own);
}

int openLockFile()
{
    const int folder = lockFolder();
    if (folder < 0)
        return -1;
    const int fd =
        ::openat(folder, "numbrella.lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    ::close(folder);
    return fd;
}

// The abstract socket name of this user's instances in this session: the user and the folder
// the lock file belongs in, so that sessions with runtime folders of their own (a test's) stay
// apart, as their lock files do.
sockaddr_un socketAddress(socklen_t& length)
{
    QString scope = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(scope))
        scope = cacheRoot();
    const QByteArray name = "invalid.numbrella.instance/" + QByteArray::number(::geteuid()) + '/'
        + QCryptographicHash::hash(QFile::encodeName(scope), QCryptographicHash::Sha1).toHex();
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    // The leading NUL puts the name in the abstract namespace: no file, gone with the process.
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
    return address;
}

// Whether an instance of this user listens on the name. Anyone may take a name there: one that
// another user holds is no instance of ours, and must not stop the start.
bool heldByThisUser(const sockaddr_un& address, socklen_t length)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ucred peer = {};
    socklen_t size = sizeof peer;
    const bool ours = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0
        && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
    ::close(fd);
    return ours;
}

} // namespace

InstanceLock::InstanceLock() = default;

InstanceLock::~InstanceLock()
{
    notifier_.reset();
    if (socket_ >= 0)
        ::close(socket_);
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceLock::take()
{
    // An flock dies with its process, so a crashed instance never leaves the lock stuck.
    if (fd_ >= 0 || socket_ >= 0)
        return true;
    const int fd = openLockFile();
    if (fd >= 0) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
        } else {
            const int err = errno;
            ::close(fd);
            if (err == EWOULDBLOCK)
                return false;
        }
    }
    // The name, also where the file was locked: an instance that could not lock the file
    // holds only the name.
    socklen_t length = 0;
    const sockaddr_un address = socketAddress(length);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listening < 0)
        return true;
    if (::bind(listening, reinterpret_cast<const sockaddr*>(&address), length) != 0
        || ::listen(listening, SOMAXCONN) != 0) {
        const int err = errno;
        ::close(listening);
        if (err == EADDRINUSE && heldByThisUser(address, length)) {
            if (fd_ >= 0)
                ::close(fd_);
            fd_ = -1;
            return false;
        }
        return true;
    }
    socket_ = listening;
    notifier_ = std::make_unique<QSocketNotifier>(socket_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        const int connection = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            ::close(connection);
    });
    return true;
}

#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

int lockFolder()
{
    const int runtime = openPrivateFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (runtime >= 0)
        return runtime;
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
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

} // namespace

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceLock::take()
{
    // An flock dies with its process, so a crashed instance never leaves the lock stuck.
    if (fd_ >= 0)
        return true;
    const int fd = openLockFile();
    if (fd < 0)
        return true; // a lock that cannot be made does not stop the start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err != EWOULDBLOCK;
    }
    fd_ = fd;
    return true;
}

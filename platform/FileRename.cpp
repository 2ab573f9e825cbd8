#include "platform/FileRename.h"

#include "platform/PlatformError.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kOperation = QStringLiteral("rename");

QString reasonFor(int err)
{
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません。");
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名に使えない文字が含まれています。");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("アクセスが拒否されました。");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

[[noreturn]] void refuse(int err)
{
    throw PlatformError(kOperation, reasonFor(err), err);
}

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
#else
    return c == QLatin1Char('/');
#endif
}

qsizetype lastSeparator(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]))
            return i;
    return -1;
}

// The new name must stay in the old file's folder: the two paths share the folder text up to
// the last separator exactly, and the new name holds no NUL.
bool staysInFolder(const QString& oldPath, const QString& newPath)
{
    if (newPath.contains(QChar(0)) || oldPath.contains(QChar(0)))
        return false;
    const qsizetype o = lastSeparator(oldPath);
    const qsizetype n = lastSeparator(newPath);
    if (o < 0 || n != o || newPath.size() == n + 1)
        return false;
    return QStringView(oldPath).left(o) == QStringView(newPath).left(n);
}

int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
    // The file system lacks RENAME_NOREPLACE: link refuses an existing target just as well.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) != 0) {
        const int unlinkErr = errno;
        ::unlink(to.constData());
        return unlinkErr;
    }
    return 0;
}

bool sameFile(const QByteArray& a, const QByteArray& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// On a file system that ignores letter case the target of a case-only rename is the file
// itself; go through a unique temporary name, both steps refusing to replace.
void renameThroughTemporary(const QByteArray& from, const QByteArray& to)
{
    static int serial = 0;
    QByteArray temporary;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        temporary = from + ".numbrella-" + QByteArray::number(::getpid()) + "-"
            + QByteArray::number(++serial);
        err = renameNoReplace(from, temporary);
    }
    if (err != 0)
        refuse(err);
    err = renameNoReplace(temporary, to);
    if (err != 0) {
        renameNoReplace(temporary, from);
        refuse(err);
    }
}

} // namespace

void renameFileNoReplace(const QString& oldPath, const QString& newPath)
{
    if (!staysInFolder(oldPath, newPath))
        refuse(EINVAL);
    const QByteArray from = QFile::encodeName(oldPath);
    const QByteArray to = QFile::encodeName(newPath);
    if (oldPath == newPath) {
        struct stat st {};
        if (::lstat(from.constData(), &st) != 0)
            refuse(errno);
        return;
    }
    const int err = renameNoReplace(from, to);
    if (err == 0)
        return;
    const QString oldName = oldPath.mid(lastSeparator(oldPath) + 1);
    const QString newName = newPath.mid(lastSeparator(newPath) + 1);
    if (err == EEXIST && oldName.compare(newName, Qt::CaseInsensitive) == 0 && sameFile(from, to)) {
        renameThroughTemporary(from, to);
        return;
    }
    refuse(err);
}

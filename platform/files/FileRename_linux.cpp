#include "platform/files/FileRename.h"

#include "core/ErrorReason.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "platform/files/RenameCalls.h"

#include <QCoreApplication>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kOperation = QStringLiteral("rename");

// Linux 6.8's mount number that is never reused; older headers lack the name, older systems
// ignore the request and answer with the plain number.
#ifdef STATX_MNT_ID_UNIQUE
constexpr unsigned kMountIdUnique = STATX_MNT_ID_UNIQUE;
#else
constexpr unsigned kMountIdUnique = 0x4000U;
#endif

[[noreturn]] void refuse(int err)
{
    throw PlatformError(kOperation, errorReason(err), err);
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/');
}

qsizetype lastSeparator(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isSeparator(path[i]))
            return i;
    return -1;
}

// The new name must stay in the old file's folder: the two paths share the folder text up to
// the last separator exactly, and the new name holds no NUL. It is text, never bytes that would
// make a mangled name.
bool staysInFolder(const QString& oldPath, const QString& newPath)
{
    if (newPath.contains(QChar(0)) || oldPath.contains(QChar(0)))
        return false;
    const qsizetype o = lastSeparator(oldPath);
    const qsizetype n = lastSeparator(newPath);
    if (o < 0 || n != o || newPath.size() == n + 1
        || !QStringView(newPath).mid(n + 1).isValidUtf16())
        return false;
    return QStringView(oldPath).left(o) == QStringView(newPath).left(n);
}

// A path's exact bytes, as nameBytes gives them. An ASCII path, the usual case, is copied into
// the object itself: a renaming run encodes two paths a file.
class NativePath
{
public:
    explicit NativePath(const QString& path)
    {
        const qsizetype size = path.size();
        if (size < qsizetype(sizeof small_)) {
            const auto* units = reinterpret_cast<const char16_t*>(path.utf16());
            // One pass without an early exit, which the compiler can vectorise.
            char16_t all = 0;
            for (qsizetype i = 0; i < size; ++i) {
                all |= units[i];
                small_[i] = char(units[i]);
            }
            if (all < 128) {
                small_[size] = '\0';
                data_ = small_;
                return;
            }
        }
        large_ = nameBytes(path);
        data_ = large_.constData();
    }
    NativePath(const NativePath&) = delete;
    NativePath& operator=(const NativePath&) = delete;

    const char* data() const { return data_; }
    QByteArray bytes() const { return QByteArray(data_); }

private:
    char small_[1024];
    QByteArray large_;
    const char* data_ = nullptr;
};

using Method = RenameMethod;

// A refused hard link says nothing about the rename: a share may refuse links altogether
// (FAT, exFAT), for files of another owner (sshfs), or across its own parts.
bool linkRefused(int err)
{
    return err == EPERM || err == EACCES || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK
        || err == EXDEV;
}

// Starts at method and moves it on to the method the file system takes.
int renameNoReplace(const char* from, const char* to, Method& method)
{
    const RenameCalls& sys = renameCalls();
    int err = 0;
    if (method == Method::NoReplace) {
        if (sys.renameNoReplace(from, to) == 0)
            return 0;
        err = errno;
        if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
            return err;
        method = Method::Link;
    }
    if (method == Method::Link) {
        // The file system lacks RENAME_NOREPLACE: link refuses an existing target just as well.
        // A crash between link and unlink leaves the file under both names, never under none.
        if (sys.link(from, to) == 0) {
            if (sys.unlink(from) == 0)
                return 0;
            err = errno;
            sys.unlink(to);
            return err;
        }
        err = errno;
        if (!linkRefused(err))
            return err;
        method = Method::Placeholder;
    }
    if (method == Method::RenameRefuses)
        return sys.rename(from, to) == 0 ? 0 : errno;
    // No hard links either. Taking the new name with an empty file of our own keeps the
    // refusal atomic: the rename then replaces only that file. A crash between the steps
    // leaves the empty file beside the old one. Only a refusal here stops the run.
    if (sys.createExclusive(to) != 0)
        return errno;
    if (sys.rename(from, to) == 0)
        return 0;
    err = errno;
    sys.unlink(to);
    // A file system whose rename never replaces (fusefat since 0.3) refuses even our own
    // placeholder: there the plain rename refuses a taken name by itself.
    if (err == EEXIST) {
        method = Method::RenameRefuses;
        return sys.rename(from, to) == 0 ? 0 : errno;
    }
    return err;
}

// The identity of the drive that holds folder: its device and its mount, whose number the
// system never reuses where it can tell one (Linux 6.8 on); nothing when it cannot be told.
bool driveIdentity(const QString& folder, std::uint64_t& device, std::uint64_t& mount)
{
    const NativePath path(folder.isEmpty() ? QStringLiteral("/") : folder);
    struct statx st = {};
    // Asked without a round trip to a share: the device and the mount are the client's own.
    if (::statx(AT_FDCWD, path.data(), AT_STATX_DONT_SYNC | AT_NO_AUTOMOUNT,
                STATX_MNT_ID | kMountIdUnique, &st)
        != 0)
        return false;
    device = (std::uint64_t(st.stx_dev_major) << 32) | st.stx_dev_minor;
    mount = (st.stx_mask & (STATX_MNT_ID | kMountIdUnique)) != 0 ? st.stx_mnt_id : 0;
    return true;
}

int renameInFolder(const QString& folder, const char* from, const char* to, RenameRun& run)
{
    // Only a method past the first skips anything, and only on the drive it was learnt on. A
    // run that has learnt none asks for no identity: on most drives the first method serves.
    std::uint64_t device = 0;
    std::uint64_t mount = 0;
    const bool sameDrive = run.known && driveIdentity(folder, device, mount) && device == run.device
        && mount == run.mount;
    Method method = sameDrive ? run.method : Method::NoReplace;
    const int err = renameNoReplace(from, to, method);
    if (err != 0 || method == Method::NoReplace)
        return err;
    if (sameDrive)
        run.method = method;
    else if (driveIdentity(folder, device, mount))
        run = {true, device, mount, method};
    return err;
}

bool sameFile(const QByteArray& a, const QByteArray& b)
{
    struct stat sa = {};
    struct stat sb = {};
    return ::lstat(a.constData(), &sa) == 0 && ::lstat(b.constData(), &sb) == 0
        && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Whether the folder lists an entry of exactly this name. Through FUSE a case variant of a name
// looks up as a file of its own inode number; only the listing shows that it is no other file.
bool listsEntry(const QByteArray& folder, const QByteArray& name)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "/" : folder.constData());
    if (!dir)
        return true;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// On a file system that ignores letter case the target of a case-only rename is the file
// itself; go through a unique temporary name, both steps refusing to replace.
void renameThroughTemporary(const QString& folder, const QByteArray& from, const QByteArray& to,
                            RenameRun& run)
{
    static int serial = 0;
    QByteArray temporary;
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        temporary = from + ".numbrella-" + QByteArray::number(::getpid()) + "-"
            + QByteArray::number(++serial);
        err = renameInFolder(folder, from.constData(), temporary.constData(), run);
    }
    if (err != 0)
        refuse(err);
    err = renameInFolder(folder, temporary.constData(), to.constData(), run);
    if (err != 0) {
        renameInFolder(folder, temporary.constData(), from.constData(), run);
        refuse(err);
    }
}

} // namespace

void renameFileNoReplace(const QString& oldPath, const QString& newPath, RenameRun& run)
{
    if (!staysInFolder(oldPath, newPath))
        refuse(EINVAL);
    const NativePath fromPath(oldPath);
    const NativePath toPath(newPath);
    if (oldPath == newPath) {
        struct stat st = {};
        if (::lstat(fromPath.data(), &st) != 0)
            refuse(errno);
        return;
    }
    const qsizetype separator = lastSeparator(oldPath);
    const QString folder = oldPath.left(separator);
    const int err = renameInFolder(folder, fromPath.data(), toPath.data(), run);
    if (err == 0)
        return;
    const QByteArray from = fromPath.bytes();
    const QByteArray to = toPath.bytes();
    const QString oldName = oldPath.mid(separator + 1);
    const QString newName = newPath.mid(separator + 1);
    if (err == EEXIST && oldName.compare(newName, Qt::CaseInsensitive) == 0
        && (sameFile(from, to) || !listsEntry(nameBytes(folder), nameBytes(newName)))) {
        renameThroughTemporary(folder, from, to, run);
        return;
    }
    refuse(err);
}

void renameFileNoReplace(const QString& oldPath, const QString& newPath)
{
    RenameRun run;
    renameFileNoReplace(oldPath, newPath, run);
}

RenameCalls RenameCalls::system()
{
    RenameCalls calls;
    calls.renameNoReplace = [](const char* from, const char* to) {
        return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
    };
    calls.link = [](const char* from, const char* to) { return ::link(from, to); };
    calls.unlink = [](const char* path) { return ::unlink(path); };
    calls.createExclusive = [](const char* path) {
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        return fd < 0 ? -1 : ::close(fd);
    };
    calls.rename = [](const char* from, const char* to) { return ::rename(from, to); };
    return calls;
}

RenameCalls& renameCalls()
{
    static RenameCalls calls = RenameCalls::system();
    return calls;
}

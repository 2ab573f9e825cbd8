#include "platform/files/FolderReader.h"

#include "core/ErrorReason.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "platform/files/FolderCalls.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether a directory entry is a regular file, or a folder, following a link; d_type answers
// without a call where the file system gives it.
bool entryIs(int dirFd, const dirent* entry, unsigned char type, mode_t mode)
{
    if (entry->d_type == type)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st = {};
    return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && (st.st_mode & S_IFMT) == mode;
}

[[noreturn]] void failRead(int err)
{
    throw PlatformError(QStringLiteral("read folder"), errorReason(err), err);
}

// An open folder, closed however the reading ends.
class Folder
{
public:
    explicit Folder(const QString& folder) : dir_(::opendir(nameBytes(folder).constData()))
    {
        if (!dir_)
            failRead(errno);
        // A folder that may be read but not searched lists names that nothing can be done with.
        if (::faccessat(::dirfd(dir_), ".", X_OK, AT_EACCESS) != 0) {
            const int err = errno;
            ::closedir(dir_);
            failRead(err);
        }
    }
    ~Folder() { ::closedir(dir_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd() const { return ::dirfd(dir_); }

    // The next entry, or null at the end. A share that fails in the middle of the listing
    // (an I/O error from smbnetfs) is a failure, never a shorter or empty list.
    const dirent* next()
    {
        errno = 0;
        const dirent* entry = folderCalls().readEntry(dir_);
        if (!entry && errno != 0)
            failRead(errno);
        return entry;
    }

private:
    DIR* dir_;
};

} // namespace

QStringList readMatchingFiles(const QString& folder, const QString& patterns)
{
    const NamePatterns patternList(patterns);
    Folder dir(folder);
    const int dirFd = dir.fd();
    QStringList names;
    while (const dirent* entry = dir.next()) {
        const char* raw = entry->d_name;
        if (raw[0] == '.')
            continue;
        const qsizetype size = qsizetype(std::strlen(raw));
        QString name;
        if (isAscii(raw)) {
            // ASCII is valid UTF-8 as it stands: matched on the bytes, made text only if listed.
            if (!patternList.matchesAscii(raw, size))
                continue;
            name = QString::fromLatin1(raw, size);
        } else {
            // Held so that it gives back its exact bytes, whatever system named it.
            name = nameFromBytes(QByteArrayView(raw, size));
            if (!patternList.matches(name))
                continue;
        }
        if (entryIs(dirFd, entry, DT_REG, S_IFREG))
            names << name;
    }
    sortNatural(names);
    return names;
}

QStringList readSubfolders(const QString& folder)
{
    Folder dir(folder);
    const int dirFd = dir.fd();
    QStringList names;
    while (const dirent* entry = dir.next()) {
        // Hidden folders, "." and ".." are not listed.
        if (entry->d_name[0] == '.')
            continue;
        if (entryIs(dirFd, entry, DT_DIR, S_IFDIR))
            names << nameFromBytes(entry->d_name);
    }
    return names;
}

QString currentFolder()
{
    const std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? nameFromBytes(path.get()) : QString();
}

void requireListable(const QString& folder)
{
    const Folder dir(folder);
}

FolderCalls FolderCalls::system()
{
    FolderCalls calls;
    calls.readEntry = [](DIR* dir) { return ::readdir(dir); };
    return calls;
}

FolderCalls& folderCalls()
{
    static FolderCalls calls = FolderCalls::system();
    return calls;
}

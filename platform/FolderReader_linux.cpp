#include "platform/FolderReader.h"

#include "platform/ErrorReason.h"
#include "platform/FileNames.h"
#include "platform/PlatformError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

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

DIR* openFolder(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        const int err = errno;
        throw PlatformError(QStringLiteral("read folder"), errorReason(err), err);
    }
    return dir;
}

} // namespace

QStringList readMatchingFiles(const QString& folder, const QString& patterns)
{
    const NamePatterns patternList(patterns);
    DIR* dir = openFolder(folder);
    const int dirFd = ::dirfd(dir);
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
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
            // A name that is not valid text cannot be held faithfully: leave that file alone.
            const QByteArray bytes(raw, size);
            name = QString::fromUtf8(bytes);
            if (name.toUtf8() != bytes)
                continue;
            if (!patternList.matches(name))
                continue;
        }
        if (entryIs(dirFd, entry, DT_REG, S_IFREG))
            names << name;
    }
    ::closedir(dir);
    sortNatural(names);
    return names;
}

QStringList readSubfolders(const QString& folder)
{
    DIR* dir = openFolder(folder);
    const int dirFd = ::dirfd(dir);
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        // Hidden folders, "." and ".." are not listed.
        if (entry->d_name[0] == '.')
            continue;
        if (entryIs(dirFd, entry, DT_DIR, S_IFDIR))
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <unistd.h>

namespace {

const QByteArray kGvfsType = "fuse.gvfsd-fuse";

// File systems that hold no files of a user's: the kernel's views, memory, software images,
// and the desktop's own helpers.
bool isPseudo(const QByteArray& type)
{
    static const QSet<QByteArray> pseudo = {
        "proc",        "sysfs",    "devtmpfs",    "devpts",     "tmpfs",         "ramfs",
        "securityfs",  "cgroup",   "cgroup2",     "pstore",     "bpf",           "debugfs",
        "tracefs",     "mqueue",   "hugetlbfs",   "configfs",   "fusectl",       "autofs",
        "binfmt_misc", "efivarfs", "rpc_pipefs",  "nfsd",       "nsfs",          "selinuxfs",
        "squashfs",    "overlay",  "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", kGvfsType,
    };
    return pseudo.contains(type);
}

// Where the system, not the user, keeps things. /run holds the desktop's removable disks and
// gvfs's shares, which are the user's.
bool isSystemPlace(const QStringList& parts)
{
    static const QSet<QString> system = {
        QStringLiteral("boot"),  QStringLiteral("efi"),        QStringLiteral("usr"),
        QStringLiteral("var"),   QStringLiteral("opt"),        QStringLiteral("proc"),
        QStringLiteral("sys"),   QStringLiteral("dev"),        QStringLiteral("run"),
        QStringLiteral("tmp"),   QStringLiteral("etc"),        QStringLiteral("lib"),
        QStringLiteral("lib32"), QStringLiteral("lib64"),      QStringLiteral("libx32"),
        QStringLiteral("bin"),   QStringLiteral("sbin"),       QStringLiteral("snap"),
        QStringLiteral("root"),  QStringLiteral("lost+found"),
    };
    if (parts.isEmpty())
        return true;
    if (parts[0] == QLatin1String("run"))
        return !(parts.size() >= 3 && parts[1] == QLatin1String("media"))
            && !(parts.size() >= 5 && parts[1] == QLatin1String("user")
                 && parts[3] == QLatin1String("gvfs"));
    // Hidden folders belong to programs (a desktop portal in ~/.cache, a sandbox's runtime).
    for (const QString& part : parts)
        if (part.startsWith(QLatin1Char('.')))
            return true;
    return system.contains(parts[0]);
}

} // namespace

QStringList drivesFromMounts(const QList<Mount>& mounts)
{
    QStringList roots;
    for (const Mount& mount : mounts) {
        const QString root = QDir::cleanPath(mount.root);
        if (!mount.isFolder || !mount.readable || !root.startsWith(QLatin1Char('/'))
            || root == QLatin1String("/") || isPseudo(mount.type))
            continue;
        if (!isSystemPlace(root.split(QLatin1Char('/'), Qt::SkipEmptyParts))
            && !roots.contains(root))
            roots << root;
    }
    std::sort(roots.begin(), roots.end());
    roots.prepend(QStringLiteral("/"));
    return roots;
}

QList<Mount> systemMounts()
{
    QList<Mount> mounts;
    auto add = [&mounts](const QString& root, const QByteArray& device, const QByteArray& type) {
        Mount mount;
        mount.root = root;
        mount.device = device;
        mount.type = type;
        mount.isFolder = QFileInfo(root).isDir();
        mount.readable = ::access(QFile::encodeName(root).constData(), R_OK | X_OK) == 0;
        mounts << mount;
    };
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        add(volume.rootPath(), volume.device(), volume.fileSystemType());
        // gvfs mounts once for the session; each share is a folder inside.
        if (volume.fileSystemType() == kGvfsType) {
            const QDir gvfs(volume.rootPath());
            for (const QString& share : gvfs.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                add(gvfs.filePath(share), "gvfs", "gvfs");
        }
    }
    return mounts;
}

QStringList mountedDrives()
{
    return drivesFromMounts(systemMounts());
}

QString driveHolding(const QStringList& drives, const QString& path)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString best;
    for (const QString& drive : drives) {
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(drive));
        const bool holds = clean.compare(root, Qt::CaseSensitive) == 0
            || clean.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && (best.isEmpty() || root.size() > QDir::cleanPath(best).size()))
            best = drive;
    }
    return best;
}

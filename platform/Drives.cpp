#include "platform/Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

namespace {

bool isNetworkShare(const QByteArray& type)
{
    static const QSet<QByteArray> network = {
        "nfs",   "nfs4",        "cifs",        "smb3",      "smbfs",          "ncpfs",
        "afs",   "ceph",        "9p",          "glusterfs", "fuse.glusterfs", "fuse.sshfs",
        "davfs", "fuse.davfs2", "fuse.rclone", "fuse.s3fs",
    };
    return network.contains(type);
}

bool isRealDevice(const Mount& mount)
{
    // squashfs images are software (snaps), never a user's disk.
    return mount.device.startsWith("/dev/") && mount.type != "squashfs";
}

// Where desktops and people mount disks for files.
bool isPlaceForFiles(const QString& root)
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
    const QStringList parts = root.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    const QString& top = parts.first();
    if (top == QLatin1String("home"))
        return parts.size() <= 2;
    if (top == QLatin1String("media") || top == QLatin1String("mnt"))
        return parts.size() == 2 || parts.size() == 3;
    if (top == QLatin1String("run"))
        return parts.size() >= 3 && parts.size() <= 4 && parts[1] == QLatin1String("media");
    return parts.size() == 1 && !system.contains(top);
}

} // namespace

QStringList drivesFromMounts(const QList<Mount>& mounts)
{
    QStringList roots;
    for (const Mount& mount : mounts) {
        const QString root = QDir::cleanPath(mount.root);
        if (!mount.isFolder || !root.startsWith(QLatin1Char('/')) || root == QLatin1String("/"))
            continue;
        if ((isRealDevice(mount) || isNetworkShare(mount.type)) && isPlaceForFiles(root)
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
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        Mount mount;
        mount.root = volume.rootPath();
        mount.device = volume.device();
        mount.type = volume.fileSystemType();
        mount.isFolder = QFileInfo(mount.root).isDir();
        mounts << mount;
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

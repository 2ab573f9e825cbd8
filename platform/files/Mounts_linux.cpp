#include "platform/files/Mounts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <unistd.h>

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
        if (volume.fileSystemType() == kGvfsMountType) {
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

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The type of gvfs's one mount for a desktop session, which holds its network shares.
inline constexpr char kGvfsMountType[] = "fuse.gvfsd-fuse";

// One mounted file system, as the mount table tells it.
struct Mount
{
    QString root;         // where it is mounted
    QByteArray device;    // what is mounted: /dev/sdb1, server:/share, ...
    QByteArray type;      // ext4, vfat, nfs4, fuse.sshfs, ...
    bool isFolder = true; // a single file can be bind-mounted as well
    bool readable = true; // the user may list it
};

// The drives a user chooses from: the root file system, always (in a chroot or container "/"
// need not be in the mount table), and every other mount the user can read that holds files:
// disks, network shares and FUSE drives wherever they are mounted (/home and mounts inside it,
// /media, /mnt, /run/media, /srv, /data, ...), and the shares of the desktop's gvfs. System
// places, pseudo and memory file systems, hidden folders and bind-mounted files are left out.
// "/" comes first.
QStringList drivesFromMounts(const QList<Mount>& mounts);

// The drive of drives that holds path: the longest root that is path or a folder above it.
QString driveHolding(const QStringList& drives, const QString& path);

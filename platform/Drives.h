#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One mounted file system, as the mount table tells it.
struct Mount
{
    QString root;         // where it is mounted
    QByteArray device;    // what is mounted: /dev/sdb1, server:/share, ...
    QByteArray type;      // ext4, vfat, nfs4, fuse.sshfs, ...
    bool isFolder = true; // a single file can be bind-mounted as well
};

// The drives a user chooses from, as a file manager offers them: the root file system,
// always (in a chroot or container "/" need not be in the mount table), and the folders where a
// real device or a network share is mounted for people's files: /home, /media/..., /mnt/...,
// /run/media/..., or a folder of its own at the top such as /data. System mounts, pseudo file
// systems, mounts deep in the tree and bind-mounted files are left out. "/" comes first.
QStringList drivesFromMounts(const QList<Mount>& mounts);

// The mounts of this system.
QList<Mount> systemMounts();

// The drives of this system: drivesFromMounts(systemMounts()).
QStringList mountedDrives();

// The drive of drives that holds path: the longest root that is path or a folder above it.
QString driveHolding(const QStringList& drives, const QString& path);

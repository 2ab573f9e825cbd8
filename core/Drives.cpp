#include "core/Drives.h"

#include <QDir>
#include <QSet>

namespace {

// File systems that hold no files of a user's: the kernel's views, memory, software images,
// and the desktop's own helpers.
bool isPseudo(const QByteArray& type)
{
    static const QSet<QByteArray> pseudo = {
        "proc",        "sysfs",    "devtmpfs",    "devpts",     "tmpfs",         "ramfs",
        "securityfs",  "cgroup",   "cgroup2",     "pstore",     "bpf",           "debugfs",
        "tracefs",     "mqueue",   "hugetlbfs",   "configfs",   "fusectl",       "autofs",
        "binfmt_misc", "efivarfs", "rpc_pipefs",  "nfsd",       "nsfs",          "selinuxfs",
        "squashfs",    "overlay",  "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", kGvfsMountType,
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

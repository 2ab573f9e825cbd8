#include "platform/Drives.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {

bool isPseudoFileSystem(const QByteArray& type)
{
    static const QSet<QByteArray> pseudo = {
        "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "securityfs",
        "pstore", "debugfs", "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "bpf",
        "binfmt_misc", "autofs", "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs", "ramfs",
        "squashfs", "fuse.gvfsd-fuse", "fuse.portal", "nfsd",
    };
    return pseudo.contains(type);
}

// /proc/mounts writes blanks and some other bytes as \ooo.
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

} // namespace

QStringList mountedDrives()
{
    QStringList roots;
#ifdef Q_OS_LINUX
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (mounts.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = mounts.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() < 3 || isPseudoFileSystem(fields[2]))
                continue;
            const QString root = unescapeMountField(fields[1]);
            if (root.startsWith(QLatin1Char('/')) && !root.startsWith(QStringLiteral("/proc"))
                && !root.startsWith(QStringLiteral("/sys")) && !root.startsWith(QStringLiteral("/dev"))
                && !root.startsWith(QStringLiteral("/run"))
                && !roots.contains(root))
                roots << root;
        }
    }
#endif
    if (roots.isEmpty()) {
        for (const QFileInfo& info : QDir::drives())
            roots << QDir::toNativeSeparators(info.absoluteFilePath());
    }
    std::sort(roots.begin(), roots.end());
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

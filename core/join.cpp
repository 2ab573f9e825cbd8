#include "core/join.h"

#include <QStringList>

bool isListedDriveRoot(const QString& folder)
{
    static const QStringList roots = {
        QStringLiteral("a:\\"), QStringLiteral("b:\\"), QStringLiteral("c:\\"),
        QStringLiteral("d:\\"), QStringLiteral("e:\\"), QStringLiteral("f:\\"),
        QStringLiteral("g:\\"), QStringLiteral("h:\\"), QStringLiteral("i:\\"),
        QStringLiteral("q:\\"),
    };
    return roots.contains(folder, Qt::CaseSensitive);
}

const QString& folderSeparator(const QString& folder)
{
    static const QString none;
    static const QString separator(QDir::separator());
    return isListedDriveRoot(folder) ? none : separator;
}

QString joinFolderAndName(const QString& folder, const QString& name, QChar separator)
{
    if (isListedDriveRoot(folder))
        return folder + name;
    return folder + separator + name;
}

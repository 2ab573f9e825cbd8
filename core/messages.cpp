#include "core/messages.h"

#include "core/FileNames.h"

QString renameStopMessage(const QString& oldPath, const QString& newPath, const QString& reason,
                          int count, int done)
{
    return shownName(oldPath) + QStringLiteral(" の名前を ") + shownName(newPath)
        + QStringLiteral(" に変更できませんでした。\n") + reason + QLatin1Char('\n')
        + renamedCount(count, done);
}

QString renamedCount(int count, int done)
{
    return QString::number(count) + QStringLiteral(" 個中 ") + QString::number(done)
        + QStringLiteral(" 個のファイルの名前を変更しました。");
}

QString driveNotReadyMessage(const QString& drive, const QString& reason)
{
    QString text = QStringLiteral("ドライブの準備ができていません。\n") + drive;
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

QString saveFailureMessage(const QString& path, const QString& reason)
{
    return shownName(path) + QStringLiteral(" に保存できませんでした。\n") + reason;
}

QString folderFailureMessage(const QString& folder, const QString& reason)
{
    return shownName(folder) + QStringLiteral(" を開けませんでした。\n") + reason;
}

QString replaceQuestion(const QString& path)
{
    return path + QStringLiteral(" はすでにあります。\n置き換えますか？");
}

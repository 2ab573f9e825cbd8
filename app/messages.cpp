#include "app/messages.h"

QString renameStopMessage(const QString& oldPath, const QString& newPath, const QString& reason,
                          int count, int done)
{
    return oldPath + QStringLiteral(" の名前を ") + newPath
        + QStringLiteral(" に変更できませんでした。\n") + reason + QLatin1Char('\n')
        + QString::number(count) + QStringLiteral(" 個中 ") + QString::number(done)
        + QStringLiteral(" 個のファイルの名前を変更しました。");
}

QString saveFailureMessage(const QString& path, const QString& reason)
{
    return path + QStringLiteral(" に保存できませんでした。\n") + reason;
}

QString folderFailureMessage(const QString& folder, const QString& reason)
{
    return folder + QStringLiteral(" を開けませんでした。\n") + reason;
}

QString replaceQuestion(const QString& path)
{
    return path + QStringLiteral(" はすでにあります。\n置き換えますか？");
}

#include "core/ErrorReason.h"

#include <cerrno>
#include <cstring>

QString errorReason(int err)
{
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case ENOENT:
        return QStringLiteral("ファイルまたはフォルダーが見つかりません。");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("ファイル名に使えない文字が含まれています。");
    case ENAMETOOLONG:
        return QStringLiteral("ファイル名が長すぎます。");
    case EACCES:
    case EPERM:
        return QStringLiteral("アクセスが拒否されました。");
    case EROFS:
        return QStringLiteral("ドライブが読み取り専用です。");
    case ENOSPC:
        return QStringLiteral("ドライブの空き容量が足りません。");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限（クォータ）に達しています。");
#endif
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます。");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルまたはフォルダーが使用中です。");
    case EXDEV:
        return QStringLiteral("別のドライブへは名前の変更で移せません。");
    case EIO:
        return QStringLiteral("ドライブの読み書きでエラーが起きました。");
    case ENOTDIR:
        return QStringLiteral("パスの途中にフォルダーでないものがあります。");
    case EISDIR:
        return QStringLiteral("その名前はフォルダーです。");
    case EMLINK:
        return QStringLiteral("ファイルのリンクが多すぎます。");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しているか、多すぎます。");
    case ENOMEM:
        return QStringLiteral("メモリが足りません。");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます。");
    case EAGAIN:
        return QStringLiteral("ファイルが一時的に使えません。しばらくしてからやり直してください。");
    case EINTR:
        return QStringLiteral("操作が中断されました。");
    case ENXIO:
    case ENODEV:
#ifdef ENOMEDIUM
    case ENOMEDIUM:
#endif
        return QStringLiteral("ドライブの準備ができていません。");
    case ENOTCONN:
    case ETIMEDOUT:
#ifdef ESTALE
    case ESTALE:
    case EHOSTDOWN:
#endif
        return QStringLiteral("ドライブとの接続が切れています。");
    case EOPNOTSUPP:
    case ENOSYS:
        return QStringLiteral("このドライブではこの操作ができません。");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

#include "core/RuntimeError.h"

namespace RuntimeError {

PlatformError invalidPropertyValue(const QString& what)
{
    return PlatformError(what, QStringLiteral("プロパティの値が不正です。"), 380);
}

PlatformError indexOutOfRange(const QString& what)
{
    return PlatformError(what, QStringLiteral("インデックスが有効範囲にありません。"), 381);
}

PlatformError overflow(const QString& what)
{
    return PlatformError(what, QStringLiteral("オーバーフローしました。"), 6);
}

PlatformError typeMismatch(const QString& what)
{
    return PlatformError(what, QStringLiteral("型が一致しません。"), 13);
}

} // namespace RuntimeError

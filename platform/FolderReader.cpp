#include "platform/FolderReader.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <algorithm>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

bool wildcardMatch(QStringView pattern, QStringView name)
{
    if (pattern == u"*.*")
        return true;
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size()
            && (pattern[p] == u'?'
                || (pattern[p] != u'*' && pattern[p].toCaseFolded() == name[n].toCaseFolded()))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool matchesAny(const QStringList& patterns, QStringView name)
{
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const QString& pattern) { return wildcardMatch(pattern, name); });
}

namespace {

int naturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit() && a[i].unicode() < 128 && b[j].unicode() < 128) {
            qsizetype si = i, sj = j;
            while (si < a.size() && a[si] == u'0')
                ++si;
            while (sj < b.size() && b[sj] == u'0')
                ++sj;
            qsizetype ei = si, ej = sj;
            while (ei < a.size() && a[ei].unicode() < 128 && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].unicode() < 128 && b[ej].isDigit())
                ++ej;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            for (qsizetype k = 0; k < ei - si; ++k)
                if (a[si + k] != b[sj + k])
                    return a[si + k] < b[sj + k] ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const char16_t ca = a[i].toCaseFolded().unicode();
        const char16_t cb = b[j].toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return 0;
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

QStringList readMatchingFiles(const QString& folder, const QString& patterns)
{
    const QStringList patternList = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QByteArray folderBytes = QFile::encodeName(folder);
    DIR* dir = ::opendir(folderBytes.constData());
    if (!dir) {
        const int err = errno;
        throw PlatformError(QStringLiteral("read folder"),
                            QString::fromLocal8Bit(std::strerror(err)), err);
    }
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (raw[0] == '.')
            continue;
        // A name that is not valid text cannot be held faithfully: leave that file alone.
        const QByteArray bytes(raw);
        const QString name = QString::fromUtf8(bytes);
        if (name.toUtf8() != bytes)
            continue;
        if (!matchesAny(patternList, name))
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular = ::stat((folderBytes + '/' + bytes).constData(), &st) == 0
                && S_ISREG(st.st_mode);
        }
        if (regular)
            names << name;
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

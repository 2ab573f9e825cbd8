#include "platform/FileNames.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// QChar::toCaseFolded, without its out-of-line call for the ASCII letters.
inline char16_t folded(char16_t c)
{
    if (c < 128)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    return QChar::toCaseFolded(c);
}

inline char asciiFolded(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool isAscii(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 128)
            return false;
    return true;
}

// Both match with * and ?, without regard to letter case; T is a code unit of either.
template <class Char, class Fold>
bool wildcardMatchUnits(const Char* pattern, qsizetype patternSize, const Char* name,
                        qsizetype nameSize, Fold fold)
{
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < nameSize) {
        if (p < patternSize
            && (pattern[p] == Char('?')
                || (pattern[p] != Char('*') && fold(pattern[p]) == fold(name[n])))) {
            ++p;
            ++n;
        } else if (p < patternSize && pattern[p] == Char('*')) {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == Char('*'))
        ++p;
    return p == patternSize;
}

} // namespace

bool isAscii(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 128)
            return false;
    return true;
}

NamePatterns::NamePatterns(const QString& patterns)
{
    for (const QString& text : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        patterns_.append({text, text.toLatin1(), isAscii(text), text == u"*.*"});
}

bool NamePatterns::matches(QStringView name) const
{
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const Pattern& p) { return p.all || wildcardMatch(p.text, name); });
}

bool NamePatterns::matchesAscii(const char* name, qsizetype size) const
{
    std::optional<QString> wide;
    for (const Pattern& pattern : patterns_) {
        if (pattern.all)
            return true;
        if (pattern.isAscii) {
            if (wildcardMatchUnits(pattern.ascii.constData(), pattern.ascii.size(), name, size,
                                   asciiFolded))
                return true;
        } else {
            if (!wide)
                wide = QString::fromLatin1(name, size);
            if (wildcardMatch(pattern.text, *wide))
                return true;
        }
    }
    return false;
}

bool wildcardMatch(QStringView pattern, QStringView name)
{
    if (pattern == u"*.*")
        return true;
    return wildcardMatchUnits(pattern.utf16(), pattern.size(), name.utf16(), name.size(), folded);
}

namespace {

inline bool isAsciiDigit(char16_t c)
{
    return char16_t(c - u'0') < 10;
}

// Runs of ASCII digits compare by value (leading zeros skipped), every other code unit by its
// case fold. On the raw units, so that sorting calls nothing per character for ASCII names.
inline int naturalCompare(QStringView left, QStringView right)
{
    const char16_t* a = left.utf16();
    const char16_t* b = right.utf16();
    const qsizetype na = left.size(), nb = right.size();
    qsizetype i = 0, j = 0;
    while (i < na && j < nb) {
        if (isAsciiDigit(a[i]) && isAsciiDigit(b[j])) {
            qsizetype si = i, sj = j;
            while (si < na && a[si] == u'0')
                ++si;
            while (sj < nb && b[sj] == u'0')
                ++sj;
            qsizetype ei = si, ej = sj;
            while (ei < na && isAsciiDigit(a[ei]))
                ++ei;
            while (ej < nb && isAsciiDigit(b[ej]))
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
        const char16_t ca = folded(a[i]);
        const char16_t cb = folded(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < na || j < nb)
        return i < na ? 1 : -1;
    return 0;
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    const int c = naturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

namespace {

// A name's sort key: compared as bytes, keys order names as naturalCompare does. Each code unit
// becomes its case fold, a run of ASCII digits becomes "0", the count of its digits without
// the leading zeros, then those digits; all as big-endian 16-bit values. No case fold is an
// ASCII digit, so "0" against any other unit decides as the run's first digit would.
void appendKey(std::vector<unsigned char>& keys, QStringView name)
{
    const auto put = [&keys](char16_t c) {
        keys.push_back(static_cast<unsigned char>(c >> 8));
        keys.push_back(static_cast<unsigned char>(c & 0xff));
    };
    const char16_t* u = name.utf16();
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n;) {
        if (!isAsciiDigit(u[i])) {
            put(folded(u[i]));
            ++i;
            continue;
        }
        while (i < n && u[i] == u'0')
            ++i;
        qsizetype end = i;
        while (end < n && isAsciiDigit(u[end]))
            ++end;
        put(u'0');
        put(char16_t(end - i));
        for (; i < end; ++i)
            put(u[i]);
    }
}

} // namespace

void sortNatural(QStringList& names)
{
    // Keys made once, then compared with memcmp: the comparison runs about n log n times.
    struct Entry
    {
        size_t offset;
        size_t length;
        qsizetype index;
    };
    std::vector<unsigned char> keys;
    std::vector<Entry> entries;
    entries.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const size_t offset = keys.size();
        appendKey(keys, names[i]);
        entries.push_back({offset, keys.size() - offset, i});
    }
    const unsigned char* base = keys.data();
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const int c = std::memcmp(base + a.offset, base + b.offset, std::min(a.length, b.length));
        if (c != 0)
            return c < 0;
        if (a.length != b.length)
            return a.length < b.length;
        return names[a.index] < names[b.index];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& e : entries)
        sorted.append(std::move(names[e.index]));
    names = std::move(sorted);
}

#include "core/FileNames.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include <unicode/ucnv.h>
#include <unicode/ucol.h>

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

constexpr char16_t kFirstRawByte = 0xdc80;
constexpr char16_t kLastRawByte = 0xdcff;

// The length of the valid UTF-8 sequence at text[i], or 0 where none starts there. Strict (no
// overlong forms, no surrogates, nothing past U+10FFFF), so that every character read gives
// back the very bytes it was read from.
qsizetype utf8Length(const unsigned char* text, qsizetype i, qsizetype size, char32_t& code)
{
    const unsigned char lead = text[i];
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0f;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (qsizetype k = 1; k < length; ++k) {
        const unsigned char c = text[i + k];
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xbf))
            return 0;
        code = (code << 6) | (c & 0x3f);
    }
    return length;
}

bool isRawByte(QStringView name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= kFirstRawByte && c <= kLastRawByte && (i == 0 || !name[i - 1].isHighSurrogate());
}

} // namespace

QString nameFromBytes(QByteArrayView bytes)
{
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    QString name(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(name.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < size;) {
        if (text[i] < 0x80) {
            out[n++] = text[i++];
            continue;
        }
        char32_t code = 0;
        if (const qsizetype length = utf8Length(text, i, size, code)) {
            if (code > 0xffff) {
                out[n++] = QChar::highSurrogate(code);
                out[n++] = QChar::lowSurrogate(code);
            } else {
                out[n++] = char16_t(code);
            }
            i += length;
        } else {
            out[n++] = char16_t(kFirstRawByte + text[i++] - 0x80);
        }
    }
    name.truncate(n);
    return name;
}

bool holdsRawBytes(QStringView name)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        if (isRawByte(name, i))
            return true;
    return false;
}

QByteArray nameBytes(QStringView name)
{
    if (!holdsRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isRawByte(name, i))
            continue;
        bytes += name.mid(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kFirstRawByte + 0x80);
        start = i + 1;
    }
    return bytes;
}

namespace {

// Windows' Japanese code page, in which Windows archives name their files; null where the
// bytes do not decode.
std::optional<QString> fromCodePage932(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-31j", &status);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    // One byte or two make one character: the bytes' count is room enough.
    QString text(bytes.size() + 1, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()),
                                         int32_t(text.size()), bytes.constData(),
                                         int32_t(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return std::nullopt;
    text.truncate(length);
    return text;
}

QString shownPart(QStringView part)
{
    if (!holdsRawBytes(part))
        return part.toString();
    if (std::optional<QString> decoded = fromCodePage932(nameBytes(part)))
        return *decoded;
    QString shown;
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (isRawByte(part, i))
            shown += QStringLiteral("\\x")
                + QString::number(part[i].unicode() - kFirstRawByte + 0x80, 16).toUpper();
        else
            shown += part[i];
    }
    return shown;
}

} // namespace

QString shownName(const QString& name)
{
    if (!holdsRawBytes(name))
        return name;
    QStringList parts;
    for (QStringView part : QStringView(name).split(u'/'))
        parts << shownPart(part);
    return parts.join(u'/');
}

namespace {

// The Japanese collator: numbers by value; at the second strength letter case and width
// forms are alike, and canonically equivalent texts (NFC, NFD) are alike at every strength.
struct Collator
{
    Collator()
    {
        UErrorCode status = U_ZERO_ERROR;
        collator = ucol_open("ja", &status);
        ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_SECONDARY, &status);
        if (U_FAILURE(status)) {
            // Without ICU's data the names still get a total order: the exact names'.
            ucol_close(collator);
            collator = nullptr;
        }
    }
    ~Collator() { ucol_close(collator); }
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;
    UCollator* collator;
};

const UCollator* nameCollator()
{
    static const Collator collator;
    return collator.collator;
}

const UChar* units(QStringView name)
{
    return reinterpret_cast<const UChar*>(name.utf16());
}

// What a name is collated by: its text, or for a name that is not UTF-8 the text it is shown
// as, so that it stands among the names people read like it.
QString collated(const QString& name)
{
    return holdsRawBytes(name) ? shownName(name) : name;
}

// A name's sort key: the collator's key, its closing zero kept, then the name's code units,
// big-endian. Compared as bytes, keys order names as naturalLess does: the collator's key holds
// no other zero byte, so a tie there goes on to the exact names.
void appendKey(std::vector<unsigned char>& keys, const QString& name)
{
    const size_t offset = keys.size();
    if (const UCollator* collator = nameCollator()) {
        const QString text = collated(name);
        const auto size = int32_t(text.size());
        size_t room = 16 + 4 * size_t(size);
        keys.resize(offset + room);
        auto length = size_t(
            ucol_getSortKey(collator, units(text), size, keys.data() + offset, int32_t(room)));
        if (length > room) {
            keys.resize(offset + length);
            ucol_getSortKey(collator, units(text), size, keys.data() + offset, int32_t(length));
        }
        keys.resize(offset + length);
    }
    for (const QChar c : name) {
        keys.push_back(static_cast<unsigned char>(c.unicode() >> 8));
        keys.push_back(static_cast<unsigned char>(c.unicode() & 0xff));
    }
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    if (const UCollator* collator = nameCollator()) {
        const QString x = collated(a);
        const QString y = collated(b);
        const UCollationResult c =
            ucol_strcoll(collator, units(x), int32_t(x.size()), units(y), int32_t(y.size()));
        if (c != UCOL_EQUAL)
            return c == UCOL_LESS;
    }
    return a < b;
}

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
        return c != 0 ? c < 0 : a.length < b.length;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& e : entries)
        sorted.append(std::move(names[e.index]));
    names = std::move(sorted);
}

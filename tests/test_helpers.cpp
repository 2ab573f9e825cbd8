#include "app/join.h"
#include "app/messages.h"
#include "app/numbers.h"
#include "platform/FolderReader.h"
#include "platform/PlatformError.h"
#include "rename/renaming.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The order and match as first written, a call per character: the fast paths must agree.
int generalNaturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    const auto digit = [](QChar c) { return c.unicode() < 128 && c.isDigit(); };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            qsizetype si = i, sj = j;
            while (si < a.size() && a[si] == u'0')
                ++si;
            while (sj < b.size() && b[sj] == u'0')
                ++sj;
            qsizetype ei = si, ej = sj;
            while (ei < a.size() && digit(a[ei]))
                ++ei;
            while (ej < b.size() && digit(b[ej]))
                ++ej;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            if (const int c = QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj)))
                return c;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i].toCaseFolded() != b[j].toCaseFolded())
            return a[i].toCaseFolded() < b[j].toCaseFolded() ? -1 : 1;
        ++i;
        ++j;
    }
    return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

bool generalNaturalLess(const QString& a, const QString& b)
{
    const int c = generalNaturalCompare(a, b);
    return c != 0 ? c < 0 : a < b;
}

bool generalMatch(const QString& pattern, const QString& name)
{
    if (pattern == u"*.*")
        return true;
    if (pattern.isEmpty())
        return name.isEmpty();
    if (pattern[0] == u'*')
        return generalMatch(pattern.mid(1), name) || (!name.isEmpty() && generalMatch(pattern, name.mid(1)));
    return !name.isEmpty()
        && (pattern[0] == u'?' || pattern[0].toCaseFolded() == name[0].toCaseFolded())
        && generalMatch(pattern.mid(1), name.mid(1));
}

// Names built from pieces that meet every path: ASCII letters in both cases, digit runs with
// and without leading zeros, letters that fold to ASCII ones (Kelvin sign, long s), accented
// and Japanese letters, full-width digits, a character outside the BMP.
QStringList mixedNames(int count)
{
    const QStringList pieces = {"a", "A", "b", "Z", "_", ".", "-", " ", "0", "00", "7", "07",
                                "10", "9", "123456789012345678901234567890", "K", "k", "K",
                                "ſ", "s", "é", "É", "写真", "１", "２",
                                "😀", ".jpg", ".JPG", ".jpeg", ".Jpeg", ".txt", "~"};
    QRandomGenerator random(12);
    QStringList names;
    for (int n = 0; n < count; ++n) {
        QString name;
        const int parts = 1 + int(random.bounded(6));
        for (int k = 0; k < parts; ++k)
            name += pieces[int(random.bounded(pieces.size()))];
        names << name;
    }
    return names;
}

} // namespace

class HelpersTest : public QObject
{
    Q_OBJECT
private slots:
    void joinFollowsOnlyTheTenRootsDirectly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        for (const char* root : {"a:\\", "b:\\", "c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\",
                                 "i:\\", "q:\\"})
            QTest::newRow(root) << QString::fromLatin1(root) << QString::fromLatin1(root) + "a.jpg";
        QTest::newRow("j:\\ gets a second backslash") << "j:\\" << "j:\\\\a.jpg";
        QTest::newRow("C:\\ counts letter case") << "C:\\" << "C:\\\\a.jpg";
        QTest::newRow("plain folder") << "c:\\photos" << "c:\\photos\\a.jpg";
    }
    void joinFollowsOnlyTheTenRootsDirectly()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(joinFolderAndName(folder, "a.jpg", QLatin1Char('\\')), expected);
    }

    void joinUsesThePlatformSeparator()
    {
        QCOMPARE(joinFolderAndName("/home/u/photos", "a.jpg", QLatin1Char('/')),
                 QString("/home/u/photos/a.jpg"));
        QCOMPARE(joinFolderAndName("/", "a.jpg", QLatin1Char('/')), QString("//a.jpg"));
    }

    void roundingGoesHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("0.5") << 0.5 << 0.0;
        QTest::newRow("1.5") << 1.5 << 2.0;
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("-1.5") << -1.5 << -2.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0;
        QTest::newRow("90909.09") << 100000 / 1.1 << 90909.0;
    }
    void roundingGoesHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(roundHalfEven(value), expected);
    }

    void integerRangesOverflow()
    {
        QCOMPARE(toInt16(32767.4), qint16(32767));
        QCOMPARE(toInt16(-32768.0), qint16(-32768));
        QVERIFY_THROWS_EXCEPTION(PlatformError, toInt16(32767.5 + 0.5));
        QVERIFY_THROWS_EXCEPTION(PlatformError, toInt16(-32769.0));
        QCOMPARE(toInt32(2147483647.0), 2147483647);
        QVERIFY_THROWS_EXCEPTION(PlatformError, toInt32(2147483648.0));
        QVERIFY_THROWS_EXCEPTION(PlatformError, toInt32(std::numeric_limits<double>::quiet_NaN()));
    }

    void numberTextsReadAndWrite()
    {
        QCOMPARE(numberText(-1), QString("-1"));
        QCOMPARE(numberText(0), QString("0"));
        QCOMPARE(numberText(40000), QString("40000"));
        QCOMPARE(readNumber("41"), 41LL);
        QVERIFY_THROWS_EXCEPTION(PlatformError, readNumber("x"));
    }

    void zeroPrefixAtEveryBoundary_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        const long long bounds[] = {1, 9, 10, 99, 100, 999, 1000, 9999, 10000, 99999, 100000, 1234567};
        for (int width = 1; width <= 6; ++width) {
            for (long long n : bounds) {
                const int digits = int(QString::number(n).size());
                const QString expected(qMax(0, width - digits), QLatin1Char('0'));
                QTest::addRow("width %d, %lld", width, n) << width << int(n) << expected;
            }
        }
    }
    void zeroPrefixAtEveryBoundary()
    {
        QFETCH(int, width);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(zeroPrefix(width, n), expected);
    }

    void filterEntriesGiveTheirPatterns()
    {
        QCOMPARE(filterPattern(0), QString("*.jpg;*.jpeg"));
        QCOMPARE(filterPattern(7), QString("*.mpg;*.mpeg"));
        QCOMPARE(filterPattern(10), QString("*.htm;*.html"));
        QCOMPARE(filterPattern(11), QString("*.*"));
        QCOMPARE(filterPattern(12), QString());
    }

    void wildcardsIgnoreLetterCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("upper-case extension") << "*.jpg" << "DSC0001.JPG" << true;
        QTest::newRow("other extension") << "*.jpg" << "a.jpeg" << false;
        QTest::newRow("all, no dot") << "*.*" << "README" << true;
        QTest::newRow("question mark") << "a?.txt" << "ab.txt" << true;
        QTest::newRow("question mark needs one") << "a?.txt" << "a.txt" << false;
        QTest::newRow("star in the middle") << "img*1.jpg" << "img0001.jpg" << true;
        QTest::newRow("suffix only") << "*.jpg" << "a.jpg.txt" << false;
    }
    void wildcardsIgnoreLetterCase()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(wildcardMatch(pattern, name), matches);
    }

    void messagesKeepPercentSignsInNames_data()
    {
        QTest::addColumn<QString>("oldPath");
        QTest::addColumn<QString>("newPath");
        QTest::newRow("plain") << "/p/a.jpg" << "/p/img001.jpg";
        QTest::newRow("%1 in a file name") << "/p/50%1.jpg" << "/p/img001.jpg";
        QTest::newRow("%2 in the base name") << "/p/a.jpg" << "/p/%2x001.jpg";
        QTest::newRow("%1 and %9 in the folder") << "/%1 %9/a.jpg" << "/%1 %9/b001.%3";
        QTest::newRow("%% and a lone %") << "/p/%%.jpg" << "/p/100%001.j%pg";
    }
    void messagesKeepPercentSignsInNames()
    {
        QFETCH(QString, oldPath);
        QFETCH(QString, newPath);
        QCOMPARE(renameStopMessage(oldPath, newPath, "%1 reason", 12, 3),
                 oldPath + " の名前を " + newPath
                     + " に変更できませんでした。\n%1 reason\n12 個中 3 個のファイルの名前を変更しました。");
        QCOMPARE(saveFailureMessage(newPath, "%2"), newPath + " に保存できませんでした。\n%2");
    }

    void naturalSortAgreesWithTheGeneralOrderOnMixedNames()
    {
        QStringList names = mixedNames(3000);
        names << "a" << "a0" << "a00" << "a000b" << "a0b" << "A" << "" << "0" << "00";
        QStringList expected = names;
        std::stable_sort(expected.begin(), expected.end(), generalNaturalLess);
        QStringList byComparison = names;
        std::sort(byComparison.begin(), byComparison.end(), naturalLess);
        QCOMPARE(byComparison, expected);
        QStringList byKeys = names;
        sortNatural(byKeys);
        QCOMPARE(byKeys, expected);
    }

    void theFileListMatchesAsTheGeneralMatchDoes_data()
    {
        QTest::addColumn<QString>("patterns");
        QTest::newRow("jpg") << "*.jpg;*.jpeg";
        QTest::newRow("question marks") << "?.j?g";
        QTest::newRow("all") << "*.*";
        QTest::newRow("Kelvin sign folds to k") << "*K*";
        QTest::newRow("long s folds to s") << "*ſ";
        QTest::newRow("accented pattern") << "*É*;*.txt";
        QTest::newRow("stars around a digit") << "*0*";
    }
    void theFileListMatchesAsTheGeneralMatchDoes()
    {
        QFETCH(QString, patterns);
        QTemporaryDir dir;
        QStringList names = mixedNames(600);
        names.removeAll(QString());
        names.removeDuplicates();
        QStringList expected;
        for (const QString& name : std::as_const(names)) {
            if (name.startsWith(u'.'))
                continue;
            QFile file(dir.filePath(name));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
            const QStringList list = patterns.split(u';');
            if (std::any_of(list.begin(), list.end(),
                            [&](const QString& p) { return generalMatch(p, name); }))
                expected << name;
        }
        // A name that is not valid UTF-8 is never listed.
        const QByteArray raw = QFile::encodeName(dir.path()) + "/bad\xff.jpg";
        ::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644));
        std::sort(expected.begin(), expected.end(), generalNaturalLess);
        QCOMPARE(readMatchingFiles(dir.path(), patterns), expected);
    }

    void counterTextsAgreeWithTheGeneralConversion_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"0", "1", "41", "0012", "999999999999999999", "9223372036854775807",
                                 "-3", "+5", " 12 ", "1 2", "", "x", "１２", "99999999999999999999"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void counterTextsAgreeWithTheGeneralConversion()
    {
        QFETCH(QString, text);
        bool ok = false;
        const long long value = text.trimmed().toLongLong(&ok);
        if (ok)
            QCOMPARE(readNumber(text), value);
        else
            QVERIFY_THROWS_EXCEPTION(PlatformError, readNumber(text));
        for (long long n : {0LL, 7LL, -1LL, 100000LL, LLONG_MAX, LLONG_MIN})
            QCOMPARE(numberText(n), QString::number(n));
    }

    void naturalOrderComparesDigitRunsByValue()
    {
        QStringList names = {"a10.jpg", "a2.jpg", "B1.jpg", "a1.jpg", "A1.jpg", "a02.jpg"};
        std::sort(names.begin(), names.end(), naturalLess);
        QCOMPARE(names, QStringList({"A1.jpg", "a1.jpg", "a02.jpg", "a2.jpg", "a10.jpg", "B1.jpg"}));
    }
};

QTEST_APPLESS_MAIN(HelpersTest)
#include "test_helpers.moc"

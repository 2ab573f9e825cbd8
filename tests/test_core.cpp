#include "core/Drives.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "core/join.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "rename/renaming.h"
#include "support/NameSamples.h"
#include "viewer/zoom.h"

#include <QCollator>
#include <QTest>
#include <climits>

// The pure functions of the program, without a window or a file.
class CoreTest : public QObject
{
    Q_OBJECT
private slots:
    // A table: one row a line, as it reads.
    // clang-format off
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
    // clang-format on
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
        // The run builds its paths in one piece with the same rule.
        QCOMPARE(folderSeparator("c:\\"), QString());
        QCOMPARE(folderSeparator("/"), QString(QDir::separator()));
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
        // One digit never gets zeros; a number as long as the width or longer gets none.
        QTest::newRow("1 digit, 1") << 1 << 1 << "";
        QTest::newRow("1 digit, 123456") << 1 << 123456 << "";
        QTest::newRow("2 digits, 9") << 2 << 9 << "0";
        QTest::newRow("2 digits, 10") << 2 << 10 << "";
        QTest::newRow("3 digits, 1") << 3 << 1 << "00";
        QTest::newRow("3 digits, 9") << 3 << 9 << "00";
        QTest::newRow("3 digits, 10") << 3 << 10 << "0";
        QTest::newRow("3 digits, 99") << 3 << 99 << "0";
        QTest::newRow("3 digits, 100") << 3 << 100 << "";
        QTest::newRow("3 digits, 1000") << 3 << 1000 << "";
        QTest::newRow("4 digits, 9") << 4 << 9 << "000";
        QTest::newRow("4 digits, 99") << 4 << 99 << "00";
        QTest::newRow("4 digits, 999") << 4 << 999 << "0";
        QTest::newRow("4 digits, 1000") << 4 << 1000 << "";
        QTest::newRow("5 digits, 9999") << 5 << 9999 << "0";
        QTest::newRow("5 digits, 10000") << 5 << 10000 << "";
        QTest::newRow("6 digits, 1") << 6 << 1 << "00000";
        QTest::newRow("6 digits, 99999") << 6 << 99999 << "0";
        QTest::newRow("6 digits, 100000") << 6 << 100000 << "";
        QTest::newRow("6 digits, 1234567: written in full") << 6 << 1234567 << "";
    }
    void zeroPrefixAtEveryBoundary()
    {
        QFETCH(int, width);
        QFETCH(int, n);
        QFETCH(QString, expected);
        QCOMPARE(zeroPrefix(width, n), expected);
    }

    // A table: one row a line, as it reads.
    // clang-format off
    void aRunsNewNamesFollowWidthBaseAndExtension_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("one digit, twelve files") << "/p" << 12 << "１桁" << "p" << "jpg" << "/p/p1.jpg" << "/p/p12.jpg";
        QTest::newRow("two digits, 120 files") << "/p" << 120 << "２桁" << "p" << "jpg" << "/p/p01.jpg" << "/p/p120.jpg";
        QTest::newRow("six digits") << "/p" << 2 << "６桁" << "p" << "jpg" << "/p/p000001.jpg" << "/p/p000002.jpg";
        QTest::newRow("typed 3: no zeros") << "/p" << 10 << "3" << "img" << "jpg" << "/p/img1.jpg" << "/p/img10.jpg";
        QTest::newRow("half-width 3桁: no zeros") << "/p" << 2 << "3桁" << "img" << "jpg" << "/p/img1.jpg" << "/p/img2.jpg";
        QTest::newRow("empty base name") << "/p" << 2 << "３桁" << "" << "jpg" << "/p/001.jpg" << "/p/002.jpg";
        QTest::newRow("typed extension") << "/p" << 2 << "３桁" << "x" << "png" << "/p/x001.png" << "/p/x002.png";
        QTest::newRow("capitals after the switch") << "/p" << 2 << "３桁" << "x" << "JPG" << "/p/x001.JPG" << "/p/x002.JPG";
        QTest::newRow("all sign") << "/p" << 2 << "３桁" << "x" << "\u2200" << "/p/x001.\u2200" << "/p/x002.\u2200";
        QTest::newRow("more than 16 bits of files") << "/p" << 40000 << "３桁" << "n" << "jpg" << "/p/n001.jpg" << "/p/n40000.jpg";
        QTest::newRow("a root that is no listed drive gets the separator") << "/" << 1 << "３桁" << "n" << "jpg" << "//n001.jpg" << "//n001.jpg";
    }
    // clang-format on
    void aRunsNewNamesFollowWidthBaseAndExtension()
    {
        QFETCH(QString, folder);
        QFETCH(int, files);
        QFETCH(QString, width);
        QFETCH(QString, base);
        QFETCH(QString, extension);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QStringList names;
        for (int i = 0; i < files; ++i)
            names << QString("src%1.jpg").arg(i);
        const QList<RenameStep> plan =
            planRenames(folder, names, base, digitLabels(), width, extension);
        QCOMPARE(plan.size(), files);
        QCOMPARE(plan.first().from, folder + "/src0.jpg");
        QCOMPARE(plan.first().to, first);
        QCOMPARE(plan.last().from, folder + "/" + names.last());
        QCOMPARE(plan.last().to, last);
    }

    // A table: one row a line, as it reads.
    // clang-format off
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
    // clang-format on
    void wildcardsIgnoreLetterCase()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(wildcardMatch(pattern, name), matches);
    }

    // A table: one row a line, as it reads.
    // clang-format off
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
    // clang-format on
    void messagesKeepPercentSignsInNames()
    {
        QFETCH(QString, oldPath);
        QFETCH(QString, newPath);
        QCOMPARE(renameStopMessage(oldPath, newPath, "%1 reason", 12, 3),
                 oldPath + " の名前を " + newPath
                     + " に変更できませんでした。\n%1 reason\n12 個中 3 "
                       "個のファイルの名前を変更しました。");
        QCOMPARE(saveFailureMessage(newPath, "%2"), newPath + " に保存できませんでした。\n%2");
    }

    void sortKeysAgreeWithTheComparisonAndQtsCollatorOnMixedNames()
    {
        QStringList names = mixedNames(3000);
        names += QStringList{"a", "a0", "a00", "a000b", "a0b", "A", "", "0", "00", "ａ", "Ａ"};
        // The order of Qt's collator as a Japanese file manager sets it up.
        QCollator peer{QLocale(QLocale::Japanese)};
        peer.setNumericMode(true);
        peer.setCaseSensitivity(Qt::CaseInsensitive);
        QStringList byPeer = names;
        std::sort(byPeer.begin(), byPeer.end(), [&](const QString& a, const QString& b) {
            const int c = peer.compare(a, b);
            return c != 0 ? c < 0 : a < b;
        });
        QStringList ours = names;
        sortNatural(ours);
        QCOMPARE(ours, byPeer);
        names << nameFromBytes(QByteArray("\x8e\xca\x90\x5e") + "1") << nameFromBytes("caf\xe9");
        QStringList byComparison = names;
        std::sort(byComparison.begin(), byComparison.end(), naturalLess);
        QStringList byKeys = names;
        sortNatural(byKeys);
        QCOMPARE(byKeys, byComparison);
        // A total order: only the very same name is neither before nor after another.
        for (qsizetype i = 1; i < byKeys.size(); ++i)
            QVERIFY(naturalLess(byKeys[i - 1], byKeys[i]) || byKeys[i - 1] == byKeys[i]);
    }

    // Names from other systems keep their exact bytes and are shown readably.
    void namesKeepTheirBytesAndShowReadably_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("写真 1.jpg") << "写真 1.jpg";
        QTest::newRow("leading byte-order mark")
            << QByteArray("\xef\xbb\xbf") + "a.jpg" << QStringLiteral("\ufeffa.jpg");
        QTest::newRow("outside the BMP") << QByteArray("\xf0\x9f\x98\x80.jpg") << "😀.jpg";
        QTest::newRow("Shift_JIS, a trail byte like \\")
            << QByteArray("\x95\x5c\x8e\x86.jpg") << "表紙.jpg";
        QTest::newRow("Latin-1, not Shift_JIS") << QByteArray("caf\xe9") << R"(caf\xE9)";
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xb2\x80") << R"(\xED\xB2\x80)";
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf") << "aﾀｯ";
        const QByteArray path = QByteArray("/home/写真/\x8e\xca\x90\x5e") + "1/caf\xe9";
        QTest::newRow("path: each folder on its own") << path << R"(/home/写真/写真1/caf\xE9)";
    }
    void namesKeepTheirBytesAndShowReadably()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString name = nameFromBytes(bytes);
        QCOMPARE(nameBytes(name), bytes);
        QCOMPARE(shownName(name), shown);
        QCOMPARE(holdsRawBytes(name), name != shown);
    }

    void zoomCountSteps_data()
    {
        QTest::addColumn<bool>("in");
        QTest::addColumn<QList<int>>("milli");
        QTest::addColumn<QList<int>>("percent");
        QTest::newRow("in") << true << QList<int>{110000, 121000, 133100, 146410,
                                                  161051, 177156, 194872, 214359}
                            << QList<int>{110, 121, 133, 146, 161, 177, 195, 214};
        QTest::newRow("out") << false
                             << QList<int>{90909, 82645, 75132, 68302, 62093, 56448, 51316, 46651}
                             << QList<int>{91, 83, 75, 68, 62, 56, 51, 47};
    }

    void zoomCountSteps()
    {
        QFETCH(bool, in);
        QFETCH(QList<int>, milli);
        QFETCH(QList<int>, percent);
        std::int32_t count = 100000;
        for (int k = 0; k < milli.size(); ++k) {
            count = in ? zoomMilliIn(count) : zoomMilliOut(count);
            QCOMPARE(count, milli[k]);
            QCOMPARE(zoomPercent(count), percent[k]);
        }
    }

    void zoomCountLimits()
    {
        QCOMPARE(zoomMilliOut(zoomMilliIn(100000)), 100000);
        QCOMPARE(zoomMilliIn(zoomMilliOut(100000)), 100000);
        std::int32_t count = 100000;
        for (int k = 0; k < 102; ++k)
            count = zoomMilliOut(count);
        QCOMPARE(count, 5);
        QCOMPARE(zoomMilliOut(count), 5);
        QCOMPARE(zoomPercent(count), 0);
        count = 100000;
        for (int k = 0; k < 104; ++k)
            count = zoomMilliIn(count);
        QCOMPARE(count, 2017621813);
        QVERIFY_THROWS_EXCEPTION(PlatformError, zoomMilliIn(count));
        QCOMPARE(zoomedSize(0.0f, true), 0.0f);
        QVERIFY_THROWS_EXCEPTION(PlatformError, zoomedSize(3.3e38f, true));
    }

    // The opening adds 185 x 880 twips, the fit 187 x 892, or what a thicker frame needs for
    // the whole picture to show; both limit each direction on its own to one pixel less than the
    // work area (15360 x 10800 twips here), which window managers would take for a maximise.
    void windowSizesAreThePictureLimitedByTheWorkArea_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QSize>("opening");
        QTest::addColumn<QSize>("fit");
        const QSize thin(2, 22);
        QTest::newRow("fits") << QSize(640, 480) << thin << QSize(9785, 8080) << QSize(9787, 8092);
        QTest::newRow("fits, a thick frame")
            << QSize(640, 480) << QSize(20, 80) << QSize(9900, 8805) << QSize(9900, 8805);
        QTest::newRow("both too large")
            << QSize(1600, 1200) << thin << QSize(15345, 10785) << QSize(15345, 10785);
        QTest::newRow("only too wide")
            << QSize(1600, 400) << thin << QSize(15345, 6880) << QSize(15345, 6892);
        QTest::newRow("zoomed far past the screen")
            << QSize(271554, 181036) << thin << QSize(15345, 10785) << QSize(15345, 10785);
    }
    void windowSizesAreThePictureLimitedByTheWorkArea()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, opening);
        QFETCH(QSize, frame);
        QFETCH(QSize, fit);
        const QSize workArea(15360, 10800);
        QCOMPARE(openingSizeTwips(picture.width(), picture.height(), 15, 15, workArea, frame),
                 opening);
        QCOMPARE(fitSizeTwips(picture.width(), picture.height(), 15, 15, workArea, frame), fit);
    }

    void theDriveListOffersWhatAFileManagerOffers()
    {
        const QList<Mount> table = {
            {"/", "/dev/sda1", "ext4", true},
            {"/proc", "proc", "proc", true},
            {"/sys/fs/cgroup", "cgroup2", "cgroup2", true},
            {"/dev/shm", "tmpfs", "tmpfs", true},
            {"/run/user/1000", "tmpfs", "tmpfs", true},
            {"/tmp", "tmpfs", "tmpfs", true},
            {"/boot/efi", "/dev/sda2", "vfat", true},
            {"/var/lib/docker", "/dev/sda1", "ext4", true},
            {"/snap/core/1", "/dev/loop3", "squashfs", true},
            {"/etc/hosts", "/dev/sda1", "ext4", false},
            {"/home", "/dev/sda3", "ext4", true},
            {"/media/ann/USB STICK", "/dev/sdb1", "vfat", true},
            {"/run/media/ann/CARD", "/dev/sdc1", "exfat", true},
            {"/mnt/nas", "nas:/photos", "nfs4", true},
            {"/mnt/sandbox/env/v1/python", "none", "tmpfs", true},
            {"/mnt/deep/in/the/tree", "/dev/sdd1", "ext4", true},
            {"/data", "/dev/sde1", "xfs", true},
            {"/home/ann/.cache/doc", "portal", "fuse.portal", true},
            {"/mnt/server", "ann@host:", "fuse.sshfs", true},
            // Shares where people keep photos: gvfs's (one folder a share), FUSE in the home
            // folder, FAT through FUSE, disks of their own under /srv; one the user cannot read.
            {"/run/user/1000/gvfs", "gvfsd-fuse", "fuse.gvfsd-fuse", true},
            {"/run/user/1000/gvfs/smb-share:server=nas,share=photos", "gvfs", "gvfs", true},
            {"/home/ann/nas", "ann@nas:", "fuse.sshfs", true},
            {"/home/ann/smb", "smbnetfs", "fuse.smbnetfs", true},
            {"/media/ann/CAMERA", "/home/ann/card.img", "fuse.fusefat", true},
            {"/srv/photos", "/dev/sdf1", "btrfs", true},
            {"/mnt/locked", "/dev/sdg1", "ext4", true, false},
        };
        QCOMPARE(
            drivesFromMounts(table),
            QStringList({"/", "/data", "/home", "/home/ann/nas", "/home/ann/smb",
                         "/media/ann/CAMERA", "/media/ann/USB STICK", "/mnt/deep/in/the/tree",
                         "/mnt/nas", "/mnt/server", "/run/media/ann/CARD",
                         "/run/user/1000/gvfs/smb-share:server=nas,share=photos", "/srv/photos"}));
        // In a chroot or container "/" need not be in the table at all.
        QCOMPARE(drivesFromMounts({}), QStringList({"/"}));
        QCOMPARE(drivesFromMounts({{"/", "overlay", "overlay", true}}), QStringList({"/"}));
    }

    void counterTextsAgreeWithTheGeneralConversion_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text :
             {"0", "1", "41", "0012", "999999999999999999", "9223372036854775807", "-3", "+5",
              " 12 ", "1 2", "", "x", "１２", "99999999999999999999"})
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
        QCOMPARE(names,
                 QStringList({"A1.jpg", "a1.jpg", "a02.jpg", "a2.jpg", "a10.jpg", "B1.jpg"}));
    }
};

QTEST_GUILESS_MAIN(CoreTest)
#include "test_core.moc"

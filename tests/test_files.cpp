#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "platform/files/FileRename.h"
#include "platform/files/FileSave.h"
#include "platform/files/FolderReader.h"
#include "platform/files/RenameCalls.h"
#include "platform/files/SaveFlushCalls.h"
#include "support/NameSamples.h"
#include "support/RenameReason.h"
#include "support/ScopedCalls.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

auto failing2(int err)
{
    return [err](const char*, const char*) {
        errno = err;
        return -1;
    };
}

auto failing1(int err)
{
    return [err](const char*) {
        errno = err;
        return -1;
    };
}

// A file system without RENAME_NOREPLACE and, where noLinks, without hard links either.
void withoutNoReplace(RenameCalls& calls, bool noLinks)
{
    calls.renameNoReplace = failing2(EINVAL);
    if (noLinks)
        calls.link = failing2(EPERM);
}

} // namespace

class FilesTest : public QObject
{
    Q_OBJECT
private slots:
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
        std::sort(expected.begin(), expected.end(), naturalLess);
        QCOMPARE(readMatchingFiles(dir.path(), patterns), expected);
    }

    // The order of Japanese file managers, whatever system named the files: each row's names
    // as the folder lists them.
    void theFolderIsListedInTheOrderOfFileManagers_data()
    {
        const auto decomposed = [](const char* name) {
            return QString::fromUtf8(name).normalized(QString::NormalizationForm_D);
        };
        QTest::addColumn<QStringList>("names");
        QTest::newRow("full-width digits are numbers")
            << QStringList{"写真１", "写真2", "写真３", "写真９", "写真１０", "写真11", "写真２０"};
        QTest::newRow("a Mac's decomposed names among composed ones")
            << QStringList{"がぞう 1.jpg", decomposed("がぞう 2.jpg"), "がぞう 3.jpg",
                           decomposed("がぞう 12.jpg"), "ござ.jpg"};
        QTest::newRow("width forms with their ordinary forms")
            << QStringList{"a1", "ａ2", "a3", "Ａ4", "カメラ 1", "ｶﾒﾗ 2", "カメラ 3", "キ"};
        QTest::newRow("kanji in Japanese order")
            << QStringList{"昭和64年", "平成30年", "平成31年", "令和1年", "令和2年"};
        QTest::newRow("letter case alike, numbers by value, ties by the exact name")
            << QStringList{"IMG_2.jpg", "img_10.JPG",  "IMG_11.jpg", "scan 2",
                           "Scan 11",   "Scan 11.pdf", "scan 11.pdf"};
    }
    void theFolderIsListedInTheOrderOfFileManagers()
    {
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        // Made in reverse, so that the folder's own order is not the expected one.
        for (qsizetype i = names.size() - 1; i >= 0; --i)
            writeFile(dir.filePath(names[i]));
        QCOMPARE(readMatchingFiles(dir.path(), "*.*"), names);
    }

    void renamesWithinTheFolder()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.jpg"), "A");
        renameFileNoReplace(dir.filePath("a.jpg"), dir.filePath("img001.jpg"));
        QCOMPARE(readFile(dir.filePath("img001.jpg")), QByteArray("A"));
        QVERIFY(!QFile::exists(dir.filePath("a.jpg")));
    }

    void neverReplacesAnExistingFile()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.jpg"), "A");
        writeFile(dir.filePath("img001.jpg"), "KEEP");
        QCOMPARE(reasonOf(dir.filePath("a.jpg"), dir.filePath("img001.jpg")),
                 QString("同じ名前のファイルがすでにあります。"));
        QCOMPARE(readFile(dir.filePath("img001.jpg")), QByteArray("KEEP"));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    void eachErrorIsToldByItsTrueCause_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("words");
        QTest::newRow("taken") << EEXIST << "同じ名前のファイルがすでに";
        QTest::newRow("taken, folder not empty") << ENOTEMPTY << "同じ名前のファイルがすでに";
        QTest::newRow("missing") << ENOENT << "見つかりません";
        QTest::newRow("invalid name") << EINVAL << "使えない文字";
        QTest::newRow("not in the drive's encoding") << EILSEQ << "使えない文字";
        QTest::newRow("too long") << ENAMETOOLONG << "長すぎます";
        QTest::newRow("access") << EACCES << "拒否";
        QTest::newRow("not permitted") << EPERM << "拒否";
        QTest::newRow("read-only drive") << EROFS << "読み取り専用";
        QTest::newRow("full disk") << ENOSPC << "空き容量";
        QTest::newRow("quota") << EDQUOT << "クォータ";
        QTest::newRow("busy") << EBUSY << "使用中";
        QTest::newRow("text busy") << ETXTBSY << "使用中";
        QTest::newRow("another drive") << EXDEV << "別のドライブ";
        QTest::newRow("input/output") << EIO << "読み書きでエラー";
        QTest::newRow("not a folder") << ENOTDIR << "フォルダーでない";
        QTest::newRow("is a folder") << EISDIR << "フォルダーです";
        QTest::newRow("too many links") << EMLINK << "リンクが多すぎ";
        QTest::newRow("loop of links") << ELOOP << "循環";
        QTest::newRow("no memory") << ENOMEM << "メモリが足りません";
        QTest::newRow("too many open files") << EMFILE << "開いているファイルが多すぎ";
        QTest::newRow("too many open files, system-wide") << ENFILE << "開いているファイルが多すぎ";
        QTest::newRow("drive gone") << ENOTCONN << "接続が切れて";
        QTest::newRow("no medium") << ENOMEDIUM << "準備ができていません";
        QTest::newRow("unsupported") << EOPNOTSUPP << "この操作ができません";
        QTest::newRow("anything else: the system's text")
            << EDOM << QString::fromLocal8Bit(std::strerror(EDOM));
    }
    void eachErrorIsToldByItsTrueCause()
    {
        QFETCH(int, err);
        QFETCH(QString, words);
        QTemporaryDir dir;
        writeFile(dir.filePath("a.jpg"), "A");
        QString reason;
        {
            // Every call fails alike, so the fallbacks cannot hide the error either.
            ScopedCalls override(renameCalls());
            override.calls().renameNoReplace = failing2(err);
            override.calls().link = failing2(err);
            override.calls().createExclusive = failing1(err);
            reason = reasonOf(dir.filePath("a.jpg"), dir.filePath("b.jpg"));
        }
        QVERIFY2(reason.contains(words), qPrintable(reason));
        if (err != EDOM)
            QVERIFY(reason != QString::fromLocal8Bit(std::strerror(err)));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    void aNameOverTheLimitIsTooLong()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.jpg"), "A");
        QCOMPARE(reasonOf(dir.filePath("a.jpg"), dir.filePath(QString(252, 'x') + ".jpg")),
                 QString("ファイル名が長すぎます。"));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    void withoutNoReplaceTheFallbacksStillRefuseATakenName_data()
    {
        QTest::addColumn<bool>("noLinks");
        QTest::addColumn<bool>("neverReplaces");
        QTest::newRow("link and unlink") << false << false;
        QTest::newRow("no links: onto an exclusive placeholder") << true << false;
        QTest::newRow("no links, and a rename that never replaces, not even the placeholder")
            << true << true;
    }
    void withoutNoReplaceTheFallbacksStillRefuseATakenName()
    {
        QFETCH(bool, noLinks);
        QFETCH(bool, neverReplaces);
        QTemporaryDir dir;
        writeFile(dir.filePath("a.jpg"), "A");
        writeFile(dir.filePath("taken.jpg"), "KEEP");
        ScopedCalls override(renameCalls());
        withoutNoReplace(override.calls(), noLinks);
        int placeholders = 0;
        if (neverReplaces) {
            // Learnt once, the run's later renames on that drive need no placeholder.
            override.calls().createExclusive = [&placeholders](const char* path) {
                ++placeholders;
                return RenameCalls::system().createExclusive(path);
            };
            override.calls().rename = [](const char* from, const char* to) {
                if (QFileInfo::exists(QFile::decodeName(to))) {
                    errno = EEXIST;
                    return -1;
                }
                return ::rename(from, to);
            };
        }
        RenameRun run;
        renameFileNoReplace(dir.filePath("a.jpg"), dir.filePath("img001.jpg"), run);
        QCOMPARE(reasonOf(dir.filePath("img001.jpg"), dir.filePath("taken.jpg"), run),
                 QString("同じ名前のファイルがすでにあります。"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"img001.jpg", "taken.jpg"}));
        QCOMPARE(placeholders, neverReplaces ? 1 : 0);
        QCOMPARE(readFile(dir.filePath("img001.jpg")), QByteArray("A"));
        QCOMPARE(readFile(dir.filePath("taken.jpg")), QByteArray("KEEP"));
    }

    void aFallbackThatFailsHalfwayLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("noLinks");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the old name cannot be unlinked") << false << "アクセスが拒否されました。";
        QTest::newRow("the rename onto the placeholder fails")
            << true << "ドライブの読み書きでエラーが起きました。";
    }
    void aFallbackThatFailsHalfwayLeavesTheFileAsItWas()
    {
        QFETCH(bool, noLinks);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QByteArray from = QFile::encodeName(dir.filePath("a.jpg"));
        writeFile(dir.filePath("a.jpg"), "A");
        ScopedCalls override(renameCalls());
        withoutNoReplace(override.calls(), noLinks);
        override.calls().unlink = [from](const char* path) {
            if (from == path) {
                errno = EACCES;
                return -1;
            }
            return ::unlink(path);
        };
        override.calls().rename = failing2(EIO);
        QCOMPARE(reasonOf(dir.filePath("a.jpg"), dir.filePath("b.jpg")), reason);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"a.jpg"}));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    // A refused hard link (sshfs refuses links to another owner's files) is no refusal of the
    // rename: it goes on to the placeholder. The run's later files go straight there.
    void aRefusedLinkGoesOnToThePlaceholderAndIsRemembered_data()
    {
        QTest::addColumn<int>("err");
        QTest::newRow("not permitted") << EPERM;
        QTest::newRow("access") << EACCES;
        QTest::newRow("unsupported") << EOPNOTSUPP;
        QTest::newRow("across the share") << EXDEV;
        QTest::newRow("too many links") << EMLINK;
    }
    void aRefusedLinkGoesOnToThePlaceholderAndIsRemembered()
    {
        QFETCH(int, err);
        QTemporaryDir dir;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            writeFile(dir.filePath(name), name);
        int tries = 0;
        ScopedCalls override(renameCalls());
        override.calls().renameNoReplace = [&](const char*, const char*) {
            ++tries;
            errno = EINVAL;
            return -1;
        };
        override.calls().link = [&](const char*, const char*) {
            ++tries;
            errno = err;
            return -1;
        };
        RenameRun run;
        renameFileNoReplace(dir.filePath("a.jpg"), dir.filePath("img1.jpg"), run);
        renameFileNoReplace(dir.filePath("b.jpg"), dir.filePath("img2.jpg"), run);
        renameFileNoReplace(dir.filePath("c.jpg"), dir.filePath("img3.jpg"), run);
        QCOMPARE(tries, 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList({"img1.jpg", "img2.jpg", "img3.jpg"}));
        QCOMPARE(readFile(dir.filePath("img3.jpg")), QByteArray("c.jpg"));
    }

    // A share may take every write and refuse only the flush or the close (sshfs with the
    // server's disk full): the old file stays as it was and no temporary file is left.
    void aSaveRefusedAtTheFlushOrTheCloseKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("atClose");
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("reason");
        QTest::newRow("flush, full") << false << ENOSPC << "ドライブの空き容量が足りません。";
        QTest::newRow("flush, I/O") << false << EIO << "ドライブの読み書きでエラーが起きました。";
        QTest::newRow("close, I/O") << true << EIO << "ドライブの読み書きでエラーが起きました。";
        QTest::newRow("close, quota")
            << true << EDQUOT << "ディスクの使用量の上限（クォータ）に達しています。";
    }
    void aSaveRefusedAtTheFlushOrTheCloseKeepsTheOldFile()
    {
        QFETCH(bool, atClose);
        QFETCH(int, err);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        writeFile(dir.filePath("keep.jpg"), "KEEP");
        ScopedCalls save(saveFlushCalls());
        auto failing = [err, atClose](bool close) {
            return [err, close, atClose](int fd) {
                if (close)
                    ::close(fd);
                if (close != atClose)
                    return 0;
                errno = err;
                return -1;
            };
        };
        save->fsync = failing(false);
        save->close = failing(true);
        QString told;
        try {
            writeFileReplacing(dir.filePath("keep.jpg"), QByteArray(6000, 'p'));
        } catch (const PlatformError& e) {
            told = e.reason();
        }
        QCOMPARE(told, reason);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"keep.jpg"}));
        QCOMPARE(readFile(dir.filePath("keep.jpg")), QByteArray("KEEP"));
    }

    // Saving over a link replaces the file it points to; the file keeps its permissions.
    void aSaveKeepsTheLinkAndThePermissions()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("photo.jpg"), "OLD");
        QFile::setPermissions(dir.filePath("photo.jpg"), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(QFile::link(dir.filePath("photo.jpg"), dir.filePath("link.jpg")));
        writeFileReplacing(dir.filePath("link.jpg"), "NEW");
        QVERIFY(QFileInfo(dir.filePath("link.jpg")).isSymLink());
        QCOMPARE(readFile(dir.filePath("photo.jpg")), QByteArray("NEW"));
        QCOMPARE(QFile::permissions(dir.filePath("photo.jpg")),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }

    // A new name never leaves the folder, and is always text.
    void refusesNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::newRow("into a subfolder") << "sub/x001.jpg";
        QTest::newRow("to the parent") << "../x001.jpg";
        QTest::newRow("through a subfolder and back") << "sub/../x001.jpg";
        QTest::newRow("NUL") << QString("x") + QChar(0) + "001.jpg";
        QTest::newRow("bytes that are not text") << nameFromBytes(QByteArray("x\xff") + "001.jpg");
    }
    void refusesNamesThatLeaveTheFolder()
    {
        QFETCH(QString, newName);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("sub");
        writeFile(dir.filePath("a.jpg"), "A");
        QCOMPARE(reasonOf(dir.filePath("a.jpg"), dir.path() + "/" + newName),
                 QString("ファイル名に使えない文字が含まれています。"));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
        QCOMPARE(QDir(dir.filePath("sub")).entryList(QDir::Files), QStringList());
        QVERIFY(!QFile::exists(QDir(dir.path()).absoluteFilePath("../x001.jpg")));
    }

    void renameToTheSameNameSucceedsAndChangesNothing()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("img001.jpg"), "A");
        renameFileNoReplace(dir.filePath("img001.jpg"), dir.filePath("img001.jpg"));
        QCOMPARE(readFile(dir.filePath("img001.jpg")), QByteArray("A"));
        QCOMPARE(reasonOf(dir.filePath("gone.jpg"), dir.filePath("gone.jpg")),
                 QString("ファイルまたはフォルダーが見つかりません。"));
    }

    void missingFileAndReadOnlyFolderAreRefused()
    {
        QTemporaryDir dir;
        QCOMPARE(reasonOf(dir.filePath("gone.jpg"), dir.filePath("x.jpg")),
                 QString("ファイルまたはフォルダーが見つかりません。"));
        writeFile(dir.filePath("a.jpg"), "A");
        // Root ignores permission bits, but not an immutable folder.
        const bool root = ::geteuid() == 0;
        if (root && QProcess::execute("chattr", {"+i", dir.path()}) != 0)
            QSKIP("root ignores folder permissions and chattr is not available");
        if (!root)
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const QString reason = reasonOf(dir.filePath("a.jpg"), dir.filePath("x.jpg"));
        if (root)
            QProcess::execute("chattr", {"-i", dir.path()});
        else
            QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(reason, QString("アクセスが拒否されました。"));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    void caseOnlyRenameOnACaseInsensitiveFileSystem()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath("fat.img");
        const QString mountPoint = dir.filePath("mnt");
        QDir(dir.path()).mkdir("mnt");
        if (QProcess::execute("sh",
                              {"-c",
                               QString("truncate -s 8M '%1' && mkfs.vfat '%1' "
                                       ">/dev/null 2>&1 && mount -o loop '%1' '%2' "
                                       "2>/dev/null")
                                   .arg(image, mountPoint)})
            != 0)
            QSKIP("cannot make and mount a vfat image on this machine");
        writeFile(mountPoint + "/a.jpg", "A");
        renameFileNoReplace(mountPoint + "/a.jpg", mountPoint + "/A.JPG");
        const QStringList names = QDir(mountPoint).entryList(QDir::Files);
        QProcess::execute("umount", {mountPoint});
        QCOMPARE(names, QStringList({"A.JPG"}));
    }

    void listingSkipsHiddenFilesAndFoldersAndKeepsEveryOtherName()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("b.jpg"), "");
        writeFile(dir.filePath(".hidden.jpg"), "");
        writeFile(dir.filePath("noext"), "");
        QDir(dir.path()).mkdir("folder.jpg");
        QFile::link(dir.filePath("b.jpg"), dir.filePath("link.jpg"));
        const MangledFile mangled(dir.path());
        QVERIFY(mangled.exists());
        const QString bad = nameFromBytes("bad\xff.jpg");
        const QStringList jpegs = readMatchingFiles(dir.path(), "*.jpg;*.jpeg");
        const QStringList all = readMatchingFiles(dir.path(), "*.*");
        QCOMPARE(jpegs, QStringList({"b.jpg", bad, "link.jpg"}));
        QCOMPARE(all, QStringList({"b.jpg", bad, "link.jpg", "noext"}));
        QVERIFY_THROWS_EXCEPTION(PlatformError, readMatchingFiles(dir.filePath("none"), "*.*"));
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "test_files.moc"

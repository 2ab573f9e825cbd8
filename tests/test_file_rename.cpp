#include "platform/FileRename.h"
#include "platform/FolderReader.h"
#include "platform/PlatformError.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QString reasonOf(const QString& from, const QString& to)
{
    try {
        renameFileNoReplace(from, to);
    } catch (const PlatformError& e) {
        return e.reason();
    }
    return {};
}

} // namespace

class FileRenameTest : public QObject
{
    Q_OBJECT
private slots:
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

    void refusesNamesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("newName");
        QTest::newRow("into a subfolder") << "sub/x001.jpg";
        QTest::newRow("to the parent") << "../x001.jpg";
        QTest::newRow("through a subfolder and back") << "sub/../x001.jpg";
        QTest::newRow("NUL") << QString("x") + QChar(0) + "001.jpg";
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
                 QString("ファイルが見つかりません。"));
    }

    void missingFileAndReadOnlyFolderAreRefused()
    {
        QTemporaryDir dir;
        QCOMPARE(reasonOf(dir.filePath("gone.jpg"), dir.filePath("x.jpg")),
                 QString("ファイルが見つかりません。"));
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
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(reason, QString("アクセスが拒否されました。"));
        QCOMPARE(readFile(dir.filePath("a.jpg")), QByteArray("A"));
    }

    void caseOnlyRenameOnACaseInsensitiveFileSystem()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath("fat.img");
        const QString mountPoint = dir.filePath("mnt");
        QDir(dir.path()).mkdir("mnt");
        if (QProcess::execute("sh", {"-c", QString("truncate -s 8M '%1' && mkfs.vfat '%1' "
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

    void listingSkipsHiddenFoldersAndMangledNames()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("b.jpg"), "");
        writeFile(dir.filePath(".hidden.jpg"), "");
        writeFile(dir.filePath("noext"), "");
        QDir(dir.path()).mkdir("folder.jpg");
        QFile::link(dir.filePath("b.jpg"), dir.filePath("link.jpg"));
        const QByteArray mangled = QFile::encodeName(dir.path()) + "/bad\xff.jpg";
        FILE* f = ::fopen(mangled.constData(), "w");
        QVERIFY(f);
        ::fclose(f);
        const QStringList jpegs = readMatchingFiles(dir.path(), "*.jpg;*.jpeg");
        const QStringList all = readMatchingFiles(dir.path(), "*.*");
        // The temporary folder cannot remove a name that is not UTF-8.
        ::unlink(mangled.constData());
        QCOMPARE(jpegs, QStringList({"b.jpg", "link.jpg"}));
        QCOMPARE(all, QStringList({"b.jpg", "link.jpg", "noext"}));
        QVERIFY_THROWS_EXCEPTION(PlatformError, readMatchingFiles(dir.filePath("none"), "*.*"));
    }
};

QTEST_GUILESS_MAIN(FileRenameTest)
#include "test_file_rename.moc"

#include "platform/desktop/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

class InstanceLockTest : public QObject
{
    Q_OBJECT

    QTemporaryDir* dir = nullptr;
    const QByteArray savedVariables[3] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"),
                                          qgetenv("HOME")};

    QString immutable; // a file made immutable, made ordinary again after the test

    QString path(const QString& name) const { return dir->filePath(name); }

    // A lock file that this user cannot open for writing; root ignores the permission bits, but
    // not an immutable file.
    bool makeUnwritable(const QString& lock)
    {
        QFile(lock).open(QIODevice::WriteOnly);
        if (::geteuid() != 0)
            return QFile::setPermissions(lock, QFile::ReadOwner);
        if (QProcess::execute("chattr", {"+i", lock}) != 0)
            return false;
        immutable = lock;
        return true;
    }

    // A folder that every local user may write, as /tmp is.
    QString sharedFolder()
    {
        QDir(dir->path()).mkdir("shared");
        ::chmod(QFile::encodeName(path("shared")).constData(), 01777);
        return path("shared");
    }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        QDir(dir->path()).mkdir("home");
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_CACHE_HOME");
        qputenv("HOME", QFile::encodeName(path("home")));
    }
    void cleanup()
    {
        const char* names[] = {"XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "HOME"};
        for (int i = 0; i < 3; ++i) {
            if (savedVariables[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], savedVariables[i]);
        }
        if (!immutable.isEmpty())
            QProcess::execute("chattr", {"-i", immutable});
        immutable.clear();
        delete dir;
    }

    // A table: one row a line, as it reads.
    // clang-format off
    void theLockIsKeptInAFolderOnlyTheUserCanWrite_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<QString>("cache");
        QTest::addColumn<QString>("lockFolder");
        QTest::newRow("the runtime folder") << "runtime" << "" << "runtime";
        QTest::newRow("no runtime folder: the home's cache") << "" << "" << "home/.cache/numbrella";
        QTest::newRow("no runtime folder: XDG_CACHE_HOME") << "" << "cache" << "cache/numbrella";
        QTest::newRow("a runtime folder others can write is passed over")
            << "shared" << "" << "home/.cache/numbrella";
    }
    // clang-format on
    void theLockIsKeptInAFolderOnlyTheUserCanWrite()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, cache);
        QFETCH(QString, lockFolder);
        if (runtime == "shared") {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(sharedFolder()));
        } else if (!runtime.isEmpty()) {
            QDir(dir->path()).mkdir(runtime);
            ::chmod(QFile::encodeName(path(runtime)).constData(), 0700);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(runtime)));
        }
        if (!cache.isEmpty())
            qputenv("XDG_CACHE_HOME", QFile::encodeName(path(cache)));

        auto first = std::make_unique<QtPlatform>();
        QVERIFY(!first->anotherInstanceRunning());
        QVERIFY(QFile::exists(path(lockFolder + "/numbrella.lock")));
        QCOMPARE(modeOf(path(lockFolder)) & 077, mode_t(0));
        if (runtime == "shared")
            QCOMPARE(QDir(path("shared")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     QStringList());
        QVERIFY(QtPlatform().anotherInstanceRunning());
        first.reset();
        QVERIFY(!QtPlatform().anotherInstanceRunning());
    }

    // Where the lock file cannot be used, a second start still finds the first; an unsafe
    // folder is never used for it.
    void aSecondStartFindsTheFirstWhereTheLockCannotBeUsed_data()
    {
        QTest::addColumn<QString>("unsafe");
        QTest::newRow("a symbolic link to a shared folder") << "link";
        QTest::newRow("writable by others") << "open";
        QTest::newRow("owned by another user") << "foreign";
        QTest::newRow("the lock is a folder") << "folder";
        QTest::newRow("the lock file cannot be written") << "unwritable";
    }
    void aSecondStartFindsTheFirstWhereTheLockCannotBeUsed()
    {
        QFETCH(QString, unsafe);
        const QString folder = path("home/.cache/numbrella");
        const QString lock = folder + "/numbrella.lock";
        QDir(dir->path()).mkpath("home/.cache");
        if (unsafe == "foreign" && ::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        if (unsafe == "link") {
            QVERIFY(QFile::link(sharedFolder(), folder));
        } else {
            QVERIFY(QDir(dir->path()).mkpath("home/.cache/numbrella"));
            if (unsafe == "open")
                ::chmod(QFile::encodeName(folder).constData(), 0777);
            else if (unsafe == "foreign")
                QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
            else if (unsafe == "folder")
                QVERIFY(QDir().mkpath(lock));
            else if (unsafe == "unwritable" && !makeUnwritable(lock))
                QSKIP(
                    "cannot make a file unwritable here (as root: chattr, on a drive that has it)");
        }
        auto first = std::make_unique<QtPlatform>();
        QVERIFY(!first->anotherInstanceRunning());
        // Never a lock that another user could hold.
        if (unsafe == "link" || unsafe == "open" || unsafe == "foreign")
            QVERIFY(!QFile::exists(lock));
        QVERIFY(QtPlatform().anotherInstanceRunning());
        first.reset();
        QVERIFY(!QtPlatform().anotherInstanceRunning());
    }
};

QTEST_GUILESS_MAIN(InstanceLockTest)
#include "test_instance_lock.moc"

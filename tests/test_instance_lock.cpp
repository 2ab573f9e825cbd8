#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QProcess>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
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

    QString immutable;  // a file made immutable, made ordinary again after the test
    pid_t squatter = 0; // another user's process that holds our name

    QString path(const QString& name) const { return dir->filePath(name); }

    // A lock file that this user cannot open for writing; root ignores the permission bits, but
    // not an immutable file.
    bool makeUnwritable(const QString& lock)
    {
        writeLockFile(lock);
        if (::geteuid() != 0)
            return QFile::setPermissions(lock, QFile::ReadOwner);
        if (QProcess::execute("chattr", {"+i", lock}) != 0)
            return false;
        immutable = lock;
        return true;
    }

    static void writeLockFile(const QString& lock)
    {
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    // Another user's process that holds the name this user's instances meet at: learnt from
    // an instance, which is then gone.
    void holdNameAsNobody()
    {
        QByteArray name;
        {
            QtPlatform probe;
            probe.anotherInstanceRunning();
            QFile table("/proc/net/unix");
            table.open(QIODevice::ReadOnly);
            for (const QByteArray& line : table.readAll().split('\n'))
                if (line.contains(" @invalid.numbrella.instance/"))
                    name = line.mid(line.indexOf(" @") + 2).trimmed();
        }
        int ready[2];
        QVERIFY(!name.isEmpty());
        QCOMPARE(::pipe(ready), 0);
        squatter = ::fork();
        if (squatter == 0) {
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const bool held = ::setuid(65534) == 0
                && ::bind(fd, reinterpret_cast<sockaddr*>(&address),
                          socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size())))
                    == 0
                && ::listen(fd, 1) == 0;
            (void)!::write(ready[1], held ? "y" : "n", 1);
            ::pause();
            ::_exit(0);
        }
        char answer = 0;
        ::close(ready[1]);
        (void)!::read(ready[0], &answer, 1);
        ::close(ready[0]);
        QCOMPARE(answer, 'y');
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
        if (squatter > 0) {
            ::kill(squatter, SIGKILL);
            ::waitpid(squatter, nullptr, 0);
        }
        squatter = 0;
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
    // folder is never used for it, and a name that another user holds stops no start.
    void aSecondStartFindsTheFirstWhereTheLockCannotBeUsed_data()
    {
        QTest::addColumn<QString>("unsafe");
        QTest::newRow("a symbolic link to a shared folder") << "link";
        QTest::newRow("writable by others") << "open";
        QTest::newRow("owned by another user") << "foreign";
        QTest::newRow("the lock is a folder") << "folder";
        QTest::newRow("the lock file cannot be written") << "unwritable";
        QTest::newRow("the name is held by another user") << "squatted";
    }
    void aSecondStartFindsTheFirstWhereTheLockCannotBeUsed()
    {
        QFETCH(QString, unsafe);
        const QString folder = path("home/.cache/numbrella");
        const QString lock = folder + "/numbrella.lock";
        QVERIFY(QDir(dir->path()).mkpath("home/.cache"));
        const bool root = ::geteuid() == 0;
        if ((unsafe == "foreign" || unsafe == "squatted") && !root)
            QSKIP("only root can act as another user");
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
            else if (unsafe == "unwritable")
                QVERIFY(makeUnwritable(lock));
            else if (unsafe == "squatted")
                holdNameAsNobody();
            if (QTest::currentTestFailed())
                return;
        }
        auto first = std::make_unique<QtPlatform>();
        QVERIFY(!first->anotherInstanceRunning());
        if (unsafe == "link" || unsafe == "open" || unsafe == "foreign")
            QVERIFY(!QFile::exists(lock));
        QVERIFY(QtPlatform().anotherInstanceRunning());
        first.reset();
        QVERIFY(!QtPlatform().anotherInstanceRunning());
    }
};

QTEST_GUILESS_MAIN(InstanceLockTest)
#include "test_instance_lock.moc"

#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
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

    QString path(const QString& name) const { return dir->filePath(name); }

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

    void anUnsafeCacheFolderIsNeverUsed_data()
    {
        QTest::addColumn<QString>("unsafe");
        QTest::newRow("a symbolic link to a shared folder") << "link";
        QTest::newRow("writable by others") << "open";
        QTest::newRow("owned by another user") << "foreign";
    }
    void anUnsafeCacheFolderIsNeverUsed()
    {
        QFETCH(QString, unsafe);
        const QString folder = path("home/.cache/numbrella");
        QDir(dir->path()).mkpath("home/.cache");
        if (unsafe == "link") {
            QVERIFY(QFile::link(sharedFolder(), folder));
        } else {
            QVERIFY(QDir(dir->path()).mkpath("home/.cache/numbrella"));
            if (unsafe == "open")
                ::chmod(QFile::encodeName(folder).constData(), 0777);
            else if (::geteuid() != 0)
                QSKIP("only root can give a folder to another user");
            else
                QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        }
        // No lock rather than one that another user could hold: the program still starts.
        QtPlatform first;
        QVERIFY(!first.anotherInstanceRunning());
        QVERIFY(!QFile::exists(folder + "/numbrella.lock"));
        QVERIFY(!QtPlatform().anotherInstanceRunning());
    }
};

QTEST_GUILESS_MAIN(InstanceLockTest)
#include "test_instance_lock.moc"

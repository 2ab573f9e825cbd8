// Times the renaming run and the file list against plain loops over the same files.
#include "platform/Controls.h"
#include "platform/FolderReader.h"
#include "rename/Form1d.h"
#include "tests/support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

void makeFiles(const QString& folder, int count, const char* extension)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(folder) + "/src" + QByteArray::number(i) + extension;
        ::close(::open(path.constData(), O_CREAT | O_WRONLY, 0644));
    }
}

double runThroughWindow(int count)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), count, ".jpg");
    QDir::setCurrent(dir.path());
    FakePlatform platform;
    Form1d form(platform);
    form.Text1->setText("img");
    QElapsedTimer timer;
    timer.start();
    form.Command1_Click();
    const double ms = timer.nsecsElapsed() / 1e6;
    QDir::setCurrent(QDir::tempPath());
    return ms;
}

double plainLoop(int count)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), count, ".jpg");
    const QByteArray folder = QFile::encodeName(dir.path());
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const QByteArray from = folder + "/src" + QByteArray::number(i) + ".jpg";
        const QByteArray to = folder + "/img" + QByteArray::number(i + 1) + ".jpg";
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int count : {10000, 100000}) {
        const double window = runThroughWindow(count);
        const double plain = plainLoop(count);
        std::printf("rename %6d files: run %8.1f ms, plain loop %8.1f ms, ratio %.2f\n", count,
                    window, plain, window / plain);
    }

    QTemporaryDir dir;
    makeFiles(dir.path(), 50000, ".jpg");
    makeFiles(dir.path(), 50000, ".txt");
    FileList list;
    list.setPath(dir.path());
    QElapsedTimer timer;
    timer.start();
    list.refresh();
    const double refresh = timer.nsecsElapsed() / 1e6;
    timer.restart();
    QStringList names;
    DIR* d = ::opendir(QFile::encodeName(dir.path()).constData());
    while (const dirent* e = ::readdir(d)) {
        const QString name = QString::fromUtf8(e->d_name);
        if (name.endsWith(".jpg", Qt::CaseInsensitive) || name.endsWith(".jpeg", Qt::CaseInsensitive))
            names << name;
    }
    ::closedir(d);
    std::sort(names.begin(), names.end(), naturalLess);
    const double bare = timer.nsecsElapsed() / 1e6;
    std::printf("file list re-read of 100000 names: %.1f ms, bare loop %.1f ms, ratio %.2f\n",
                refresh, bare, refresh / bare);

    QTemporaryDir startDir;
    makeFiles(startDir.path(), 10000, ".jpg");
    QDir::setCurrent(startDir.path());
    timer.restart();
    {
        FakePlatform platform;
        Form1d form(platform);
        form.show();
        QCoreApplication::processEvents();
        std::printf("start-up in a folder of 10000 files: %.1f ms\n", timer.nsecsElapsed() / 1e6);
    }
    QDir::setCurrent(QDir::tempPath());
    return 0;
}

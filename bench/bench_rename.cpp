// Times the renaming run and the file list in-process against the bare work written plainly
// in C (plain_work.h), alternating the two in every round on the same files.
//
//   bench_rename [--sizes 10000,100000] [--rounds 7] [--folder PARENT] [--only rename|list]
//   The file list's re-read is measured against readdir + match + natural sort in plain C and
//   against the same in C with ICU's Japanese sort keys (plain_list_icu.h), which is the work
//   the program's order does.
//   bench_rename --profile-run N [--folder PARENT]    one run only, for callgrind, as in
//       valgrind --tool=callgrind --toggle-collect='Form1d::Command1_Click()'
//                build/bench/bench_rename --profile-run 10000
//   bench_rename --profile-list N [--folder PARENT]   one re-read only, likewise with
//       --toggle-collect='FileList::refresh()'
//   bench_rename --profile-start N [--folder PARENT]  start-up as main() does it, in a folder of
//       N files, to the window shown (--toggle-collect='startWindow(QString const&)')
#include "app/translations.h"
#include "bench/plain_list_icu.h"
#include "bench/plain_work.h"
#include "platform/controls/FileList.h"
#include "platform/desktop/QtPlatform.h"
#include "rename/Form1d.h"
#include "tests/support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// Files named BASE001.jpg, BASE002.jpg, ... BASE1000.jpg: the names the run itself gives with
// the width "３桁", so that rounds can rename them back and forth without making new files.
void makeFiles(const QString& folder, const char* base, int count, const char* extension)
{
    const QByteArray prefix = QFile::encodeName(folder) + '/' + base;
    char name[64];
    for (int n = 1; n <= count; ++n) {
        std::snprintf(name, sizeof name, "%03d.%s", n, extension);
        ::close(::open((prefix + name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
}

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

struct Stats
{
    double median;
    double low;
    double high;
};

Stats stats(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// One run of Command1_Click over the folder's files, renaming them to base.
double runThroughWindow(const QString& folder, const char* base)
{
    QDir::setCurrent(folder);
    FakePlatform platform;
    Form1d form(platform);
    form.Text1->setText(QString::fromLatin1(base));
    QElapsedTimer timer;
    timer.start();
    form.Command1_Click();
    const double ms = msSince(timer);
    QDir::setCurrent(QDir::tempPath());
    if (form.File1->listCount() == 0 || !form.File1->list(0).startsWith(QLatin1String(base)))
        std::fprintf(stderr, "the run did not rename the files\n");
    return ms;
}

void benchRename(const QString& parent, int count, int rounds)
{
    QTemporaryDir dir(parent + QStringLiteral("/bench_rename-XXXXXX"));
    makeFiles(dir.path(), "p", count, "jpg");
    const QByteArray folder = QFile::encodeName(dir.path());
    std::vector<double> run, plain, ratio;
    const char* bases[] = {"p", "q"};
    int current = 0;
    for (int round = 0; round < rounds; ++round) {
        double r = 0, b = 0;
        for (int half = 0; half < 2; ++half) {
            const int next = 1 - current;
            // Alternate which goes first, so that neither always meets a cold cache.
            if ((half == 0) == (round % 2 == 0)) {
                r = runThroughWindow(dir.path(), bases[next]);
            } else {
                QElapsedTimer timer;
                timer.start();
                const int done = plain_rename_loop(folder.constData(), bases[current], bases[next],
                                                   count, 3, "jpg");
                b = msSince(timer);
                if (done != count)
                    std::fprintf(stderr, "the plain loop stopped at %d\n", done);
            }
            current = next;
        }
        run.push_back(r);
        plain.push_back(b);
        ratio.push_back(r / b);
    }
    const Stats s = stats(run), p = stats(plain), q = stats(ratio);
    std::printf("rename %6d files: Command1_Click %8.1f ms (%.1f-%.1f), renameat2 loop %8.1f ms "
                "(%.1f-%.1f), ratio %.3f (%.3f-%.3f)\n",
                count, s.median, s.low, s.high, p.median, p.low, p.high, q.median, q.low, q.high);
}

void benchList(const QString& parent, int count, int rounds, const char* base)
{
    QTemporaryDir dir(parent + QStringLiteral("/bench_list-XXXXXX"));
    makeFiles(dir.path(), base, count / 2, "jpg");
    makeFiles(dir.path(), "b", count / 2, "txt");
    const QByteArray folder = QFile::encodeName(dir.path());
    FileList list;
    list.setPath(dir.path());
    const char* patterns[] = {"*.jpg", "*.jpeg"};
    UCollator* collator = plain_collator();
    std::vector<double> program, plain, icu, ratio, icuRatio;
    for (int round = 0; round < rounds; ++round) {
        double r = 0, b = 0, c = 0;
        // The three take turns in an order that rotates from round to round.
        for (int turn = 0; turn < 3; ++turn) {
            QElapsedTimer timer;
            timer.start();
            char** names = nullptr;
            size_t n = size_t(list.listCount());
            switch ((turn + round) % 3) {
            case 0:
                list.refresh();
                r = msSince(timer);
                continue;
            case 1:
                n = plain_list(folder.constData(), patterns, 2, &names);
                b = msSince(timer);
                break;
            default:
                n = plain_list_icu(collator, folder.constData(), patterns, 2, &names);
                c = msSince(timer);
                break;
            }
            for (size_t i = 0; i < n; ++i)
                std::free(names[i]);
            std::free(names);
            if (int(n) != list.listCount())
                std::fprintf(stderr, "the lists differ: %zu against %d\n", n, list.listCount());
        }
        program.push_back(r);
        plain.push_back(b);
        icu.push_back(c);
        ratio.push_back(r / b);
        icuRatio.push_back(r / c);
    }
    ucol_close(collator);
    const Stats s = stats(program), p = stats(plain), i = stats(icu), q = stats(ratio),
                qi = stats(icuRatio);
    std::printf("file list re-read, %6d names \"%s...\" (half match): %7.1f ms (%.1f-%.1f); "
                "C+ICU %7.1f ms (%.1f-%.1f), ratio %.3f (%.3f-%.3f); plain C %7.1f ms "
                "(%.1f-%.1f), ratio %.3f (%.3f-%.3f)\n",
                count, base, s.median, s.low, s.high, i.median, i.low, i.high, qi.median, qi.low,
                qi.high, p.median, p.low, p.high, q.median, q.low, q.high);
}

// What main() does up to the window shown, for profiling.
void startWindow(const QString& folder)
{
    QDir::setCurrent(folder);
    installJapaneseTranslations(*qApp);
    QtPlatform platform;
    Form1d form(platform);
    form.show();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes = {10000, 100000};
    int rounds = 7;
    int profileRun = 0, profileList = 0, profileStart = -1;
    QString parent = QDir::tempPath();
    QString only;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--sizes") {
            sizes.clear();
            for (const QString& s : args[i + 1].split(u','))
                sizes << s.toInt();
        } else if (args[i] == u"--rounds") {
            rounds = args[i + 1].toInt();
        } else if (args[i] == u"--only") {
            only = args[i + 1];
        } else if (args[i] == u"--folder") {
            parent = args[i + 1];
        } else if (args[i] == u"--profile-run") {
            profileRun = args[i + 1].toInt();
        } else if (args[i] == u"--profile-start") {
            profileStart = args[i + 1].toInt();
        } else if (args[i] == u"--profile-list") {
            profileList = args[i + 1].toInt();
        }
    }
    if (profileRun > 0) {
        QTemporaryDir dir(parent + QStringLiteral("/bench_rename-XXXXXX"));
        makeFiles(dir.path(), "p", profileRun, "jpg");
        std::printf("run: %.1f ms\n", runThroughWindow(dir.path(), "q"));
        return 0;
    }
    if (profileStart >= 0) {
        QTemporaryDir dir(parent + QStringLiteral("/bench_start-XXXXXX"));
        makeFiles(dir.path(), "p", profileStart, "jpg");
        startWindow(dir.path());
        return 0;
    }
    if (profileList > 0) {
        QTemporaryDir dir(parent + QStringLiteral("/bench_list-XXXXXX"));
        makeFiles(dir.path(), "a", profileList / 2, "jpg");
        makeFiles(dir.path(), "b", profileList / 2, "txt");
        FileList list;
        list.setPath(dir.path());
        list.refresh();
        return 0;
    }
    if (only != u"list")
        for (int count : sizes)
            benchRename(parent, count, rounds);
    if (only == u"rename")
        return 0;
    // Camera names, then Japanese ones, which take no ASCII shortcut.
    for (const char* base : {"a", "写真"})
        for (int count : sizes)
            benchList(parent, count, rounds, base);
    return 0;
}

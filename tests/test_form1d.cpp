#include "app/Module1.h"
#include "core/Drives.h"
#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/DirList.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/Events.h"
#include "platform/controls/FileList.h"
#include "platform/files/FileRead.h"
#include "platform/files/FolderCalls.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/ScopedCalls.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <cstdio>
#include <dirent.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    return names;
}

QStringList listed(const FileList* list)
{
    QStringList names;
    for (int i = 0; i < list->listCount(); ++i)
        names << list->list(i);
    return names;
}

void choose(QComboBox* combo, int index)
{
    chooseByKeys(combo, index);
}

} // namespace

class Form1dTest : public QObject
{
    Q_OBJECT

    QTemporaryDir* dir = nullptr;
    FakePlatform* platform = nullptr;
    Form1d* form = nullptr;

    void open(const QStringList& files)
    {
        for (const QString& f : files)
            writeFile(dir->filePath(f), f.toUtf8());
        QDir::setCurrent(dir->path());
        form = new Form1d(*platform);
        form->show();
    }

private slots:
    void init()
    {
        dir = new QTemporaryDir;
        platform = new FakePlatform;
        Module1::SelectedFileName.clear();
    }
    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());
        delete form;
        form = nullptr;
        delete platform;
        delete dir;
    }

    void startsWithItsChoicesAndTheCurrentFolder()
    {
        open({"a.jpg", "b.jpeg", "c.JPG", "d.txt", "e.gif"});
        QCOMPARE(form->windowTitle(), QString("Numbrella+"));
        QCOMPARE(form->Combo1->currentText(), QString("jpg"));
        QCOMPARE(form->Combo2->currentText(), QString("３桁"));
        QCOMPARE(form->Text1->text(), QString());
        QCOMPARE(form->Command2->text(), QString("A"));
        QCOMPARE(form->Text2->text(), QString("-1"));
        QCOMPARE(form->File1->pattern(), QString("*.jpg;*.jpeg"));
        QCOMPARE(form->Dir1->path(), QDir::toNativeSeparators(QDir(dir->path()).canonicalPath()));
        QCOMPARE(listed(form->File1), QStringList({"a.jpg", "b.jpeg", "c.JPG"}));
        QCOMPARE(form->Combo1->count(), 12);
        QCOMPARE(form->Combo1->itemText(11), QString("\u2200"));
        QCOMPARE(form->Combo2->count(), 6);
        QCOMPARE(form->Combo1->toolTip(), QString("拡張子フィルタ\u3000直接入力も可能"));
        QCOMPARE(form->Command2->toolTip(), QString("拡張子の 大文字、小文字を切り替えます"));
        // 5670 twips wide, the frame included.
        const QMargins frame = form->windowHandle()->frameMargins();
        QCOMPARE(form->width() + frame.left() + frame.right(), 378);
        // A thick frame (5-pixel borders) cuts no control: the window grows by what it lacks.
        platform->toldFrame = QMargins(5, 24, 5, 5);
        Form1d framed(*platform);
        QCOMPARE(framed.width(), 372);
        for (QWidget* control :
             framed.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY(control == framed.Text2 || control->geometry().right() < framed.width());
        // The counter lies outside the window and takes no focus.
        QVERIFY(form->Text2->geometry().left() >= form->width());
        QCOMPARE(form->Text2->focusPolicy(), Qt::NoFocus);
        QVERIFY(form->findChild<QMenu*>("fff"));
        QCOMPARE(form->fff->actions().first()->text(), QString("開く"));
    }

    void aSecondInstanceEndsInsideTheLoadStep()
    {
        platform->otherInstance = true;
        open({"a.jpg"});
        QVERIFY(platform->ended);
        QCOMPARE(form->Text2->text(), QString("-1"));
        QCOMPARE(form->Combo1->count(), 0);
        QCOMPARE(form->File1->listCount(), 0);
    }

    void everyFilterEntryListsItsFiles_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("jpg") << 0 << QStringList({"a.jpg", "b.jpeg", "C.JPG"});
        QTest::newRow("mpg") << 7 << QStringList({"m.mpeg", "m.mpg"});
        QTest::newRow("htm") << 10 << QStringList({"p.htm", "p.html"});
        QTest::newRow("all") << 11
                             << QStringList({"a.jpg", "b.jpeg", "C.JPG", "m.mpeg", "m.mpg", "noext",
                                             "p.htm", "p.html"});
    }
    void everyFilterEntryListsItsFiles()
    {
        QFETCH(int, entry);
        QFETCH(QStringList, expected);
        open({"a.jpg", "b.jpeg", "C.JPG", "m.mpg", "m.mpeg", "p.htm", "p.html", "noext"});
        choose(form->Combo1, entry);
        QCOMPARE(listed(form->File1), expected);
    }

    // Enter in the filter box adds nothing to its list; an entry chosen replaces a typed text,
    // and choosing the same entry again reads the folder again.
    void aChosenEntryReplacesATypedTextAndRereads()
    {
        open({"a.jpg", "b.gif", "c.png"});
        typeOver(form->Combo1, "png");
        QTest::keyClick(form->Combo1, Qt::Key_Return);
        QCOMPARE(form->Combo1->count(), 12);
        choose(form->Combo1, 1);
        QCOMPARE(form->Combo1->currentText(), QString("gif"));
        const int reads = form->File1->refreshCount();
        choose(form->Combo1, 1);
        QCOMPARE(form->File1->refreshCount(), reads + 1);
        QCOMPARE(listed(form->File1), QStringList({"b.gif"}));
    }

    void caseSwitchFlipsTheExtensionAndItsCaption()
    {
        open({"a.jpg"});
        click(form->Command2);
        QCOMPARE(form->Combo1->currentText(), QString("JPG"));
        QCOMPARE(form->Command2->text(), QString("a"));
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
        click(form->Command2);
        QCOMPARE(form->Combo1->currentText(), QString("jpg"));
        QCOMPARE(form->Command2->text(), QString("A"));
        typeOver(form->Combo1, "Jpg");
        click(form->Command2);
        QCOMPARE(form->Combo1->currentText(), QString("JPG"));
        choose(form->Combo1, 1);
        QCOMPARE(form->Combo1->currentText(), QString("gif"));
        QCOMPARE(form->Command2->text(), QString("A"));
        choose(form->Combo1, 11);
        click(form->Command2);
        QCOMPARE(form->Combo1->currentText(), QString("\u2200"));
        QCOMPARE(form->Command2->text(), QString("a"));
    }

    void aDriveThatIsNotReadyIsReportedOnceAndRestored()
    {
        platform->driveRoots << "/nonexistent-numbrella-drive";
        open({"a.jpg"});
        const QString before = form->Dir1->path();
        const QString drive = form->Drive1->drive().root;
        choose(form->Drive1, form->Drive1->findText("/nonexistent-numbrella-drive"));
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text,
                 QString("ドライブの準備ができていません。\n/nonexistent-numbrella-drive\n"
                         "ファイルまたはフォルダーが見つかりません。"));
        QCOMPARE(platform->messages[0].title, QString("Numbrella ポテリカ"));
        QCOMPARE(form->Drive1->drive().root, drive);
        QCOMPARE(form->Dir1->path(), before);
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
    }

    void openingASubfolderListsItWithTheCurrentPattern()
    {
        QDir(dir->path()).mkdir("sub");
        writeFile(dir->filePath("sub/x.gif"));
        writeFile(dir->filePath("sub/y.jpg"));
        open({"a.gif"});
        choose(form->Combo1, 1);
        form->Dir1->setPath(dir->filePath("sub"));
        QCOMPARE(form->File1->path(), form->Dir1->path());
        QCOMPARE(listed(form->File1), QStringList({"x.gif"}));
    }

    // A folder that fails midway (a share answering with I/O errors) is told, and both lists
    // stay with the folder shown before: never an empty list.
    void aFolderThatCannotBeReadIsToldAndTheListsStay_data()
    {
        QTest::addColumn<int>("failingRead");
        QTest::newRow("its subfolders") << 1;
        QTest::newRow("its files") << 2;
    }
    void aFolderThatCannotBeReadIsToldAndTheListsStay()
    {
        QFETCH(int, failingRead);
        QDir(dir->path()).mkdir("share");
        writeFile(dir->filePath("share/x.jpg"));
        open({"a.jpg"});
        const QString before = form->Dir1->path();
        int reads = 0;
        ScopedCalls folders(folderCalls());
        folders->readEntry = [&](DIR* folder) -> dirent* {
            const QString path =
                QFile::symLinkTarget(QString("/proc/self/fd/%1").arg(dirfd(folder)));
            if (path.endsWith("/share")) {
                // Counted once a listing, at its first entry.
                if (telldir(folder) == 0)
                    ++reads;
                if (reads == failingRead) {
                    errno = EIO;
                    return nullptr;
                }
            }
            return ::readdir(folder);
        };
        click(form->Dir1);
        QTest::keyClick(form->Dir1, Qt::Key_End);
        QCOMPARE(form->Dir1->currentItem()->text(0), QString("share"));
        QTest::keyClick(form->Dir1, Qt::Key_Return);
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text,
                 QDir::toNativeSeparators(dir->filePath("share"))
                     + " を開けませんでした。\nドライブの読み書きでエラーが起きました。");
        QCOMPARE(form->Dir1->path(), before);
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
    }

    void theFolderListShowsEachSubfolderAndNothingElse()
    {
        QDir root(dir->path());
        for (const char* name : {"d10", "d9", "写真", ".hidden", "sub"})
            QVERIFY(root.mkdir(QString::fromUtf8(name)));
        writeFile(dir->filePath("file.jpg"));
        QVERIFY(QFile::link(dir->filePath("sub"), dir->filePath("link to folder")));
        QVERIFY(QFile::link(dir->filePath("file.jpg"), dir->filePath("link to file")));
        QVERIFY(QFile::link(dir->filePath("gone"), dir->filePath("broken link")));
        open({});
        QTreeWidgetItem* current = form->Dir1->currentItem();
        QVERIFY(current);
        QStringList shown;
        for (int i = 0; i < current->childCount(); ++i)
            shown << current->child(i)->text(0);
        QCOMPARE(shown, QStringList({"d9", "d10", "link to folder", "sub", "写真"}));
        QCOMPARE(current->child(2)->data(0, Qt::UserRole).toString(),
                 QDir::toNativeSeparators(dir->filePath("link to folder")));
    }

    // A folder from a Windows archive named in Shift_JIS, holding a Shift_JIS picture, a Latin-1
    // name and one that starts with a byte-order mark: the folder opens, every name is shown
    // readably, the picture opens, and the run renames each by its exact bytes, losing nothing.
    void namesFromOtherSystemsAreShownOpenedAndRenamed()
    {
        const QByteArray photos = "\x8e\xca\x90\x5e"; // 写真
        const QByteArray folder = QFile::encodeName(dir->path()) + '/' + photos;
        // In the order listed: the mark is ignored, the rest as they are shown.
        const QByteArray mark = "\xef\xbb\xbf"; // U+FEFF
        const QList<QByteArray> names = {mark + "2.jpg", "caf\xe9 3.jpg", photos + "1.jpg"};
        const QList<QByteArray> contents = {"mark", "latin", pictureBytes(4, 3, Qt::red, "JPG")};
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        // A temporary folder cannot remove names that are not UTF-8 by itself.
        const auto removeFolder = qScopeGuard([&] {
            if (DIR* d = ::opendir(folder.constData())) {
                while (const dirent* e = ::readdir(d))
                    ::unlinkat(::dirfd(d), e->d_name, 0);
                ::closedir(d);
            }
            ::rmdir(folder.constData());
        });
        for (qsizetype i = 0; i < names.size(); ++i) {
            FILE* file = std::fopen((folder + '/' + names[i]).constData(), "w");
            QVERIFY(file);
            std::fwrite(contents[i].constData(), 1, size_t(contents[i].size()), file);
            std::fclose(file);
        }
        open({});
        click(form->Dir1);
        QTest::keyClick(form->Dir1, Qt::Key_End);
        QCOMPARE(form->Dir1->currentItem()->text(0), QString("写真"));
        QTest::keyClick(form->Dir1, Qt::Key_Return);
        QCOMPARE(nameBytes(form->Dir1->path()), folder);
        QCOMPARE(form->Dir1->currentItem()->text(0), QString("写真"));
        const QAbstractItemModel* shown = form->File1->model();
        QCOMPARE(shown->rowCount(), 3);
        QCOMPARE(shown->index(0, 0).data().toString(), QStringLiteral("\ufeff2.jpg"));
        QCOMPARE(shown->index(1, 0).data().toString(), QString(R"(caf\xE9 3.jpg)"));
        QCOMPARE(shown->index(2, 0).data().toString(), QString("写真1.jpg"));

        click(form->File1->viewport(), Qt::LeftButton,
              form->File1->visualRect(shown->index(2, 0)).center());
        QTest::keyClick(form->File1, Qt::Key_Return);
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 1);
        QCOMPARE(viewers[0]->OrigWidth, 4);
        QVERIFY(viewers[0]->windowTitle().endsWith("/写真/写真1.jpg"));
        delete viewers[0];

        typeOver(form->Text1, "img");
        click(form->Command1);
        QVERIFY(platform->messages.isEmpty());
        QCOMPARE(listed(form->File1), QStringList({"img001.jpg", "img002.jpg", "img003.jpg"}));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(readRegularFile(form->Dir1->path() + QString("/img00%1.jpg").arg(i + 1)),
                     contents[i]);
        // Started from that folder, the window shows it too.
        QCOMPARE(::chdir(folder.constData()), 0);
        const Form1d started(*platform);
        QCOMPARE(nameBytes(started.Dir1->path()), folder);
    }

    void theCounterHoldsItsTextOutOfSightOfEveryone()
    {
        open({"a.jpg", "b.jpg"});
        typeOver(form->Text1, "n");
        click(form->Command1);
        QCOMPARE(form->Text2->text(), QString("2"));
        QCOMPARE(form->Text2->objectName(), QString("Text2"));
        QVERIFY(!form->Text2->onScreen());
        QAccessibleInterface* counter = QAccessible::queryAccessibleInterface(form->Text2);
        QVERIFY(counter);
        QCOMPARE(counter->text(QAccessible::Name), QString("カウンタ"));
        QCOMPARE(counter->text(QAccessible::Value), QString("2"));
        QVERIFY(counter->state().invisible);
        QVERIFY(counter->state().offscreen);
    }

    void theWidthEntriesReadAsTheComboHoldsThem()
    {
        open({});
        QCOMPARE(form->Combo2->list(2), QString("３桁"));
        form->Combo2->setItemText(2, "3");
        QCOMPARE(form->Combo2->list(2), QString("3"));
        form->Combo2->removeItem(0);
        QCOMPARE(form->Combo2->list(0), QString("２桁"));
        QVERIFY_THROWS_EXCEPTION(PlatformError, form->Combo2->list(5));
        form->Combo2->addItem("７桁");
        QCOMPARE(form->Combo2->list(5), QString("７桁"));
    }

    void anUnreadableFolderLeavesTheFileListAsItWas()
    {
        open({"a.jpg"});
        const QString shown = form->File1->path();
        QVERIFY_THROWS_EXCEPTION(PlatformError, form->File1->setPath(dir->filePath("gone")));
        QCOMPARE(form->File1->path(), shown);
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
    }

    // A folder without read or search permission is refused as denied, also the one the
    // program starts in, which then opens on the folder above.
    void aFolderWithoutPermissionIsDenied()
    {
        for (const auto& [name, mode] : {std::pair{"r0000", 0}, {"r0333", 0333}, {"r0666", 0666}}) {
            QDir(dir->path()).mkdir(name);
            QCOMPARE(::chmod(QFile::encodeName(dir->filePath(name)).constData(), mode_t(mode)), 0);
        }
        ::chmod(QFile::encodeName(dir->path()).constData(), 0755);
        // Root passes every permission: the checks are made as nobody's.
        const bool root = ::geteuid() == 0;
        if (root)
            ::setfsuid(65534);
        QDir::setCurrent(dir->filePath("r0333"));
        form = new Form1d(*platform);
        form->show();
        click(form->Dir1);
        QTest::keyClick(form->Dir1, Qt::Key_End);
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(form->Dir1, Qt::Key_Return);
            QTest::keyClick(form->Dir1, Qt::Key_Up);
        }
        QTest::keyClick(form->Dir1, Qt::Key_Return);
        if (root)
            ::setfsuid(0);
        QStringList told;
        for (const FakePlatform::Message& message : platform->messages)
            told << message.text.section(' ', 0, 0) + message.text.section('\n', 1);
        const QString here = QDir::toNativeSeparators(QDir(dir->path()).canonicalPath());
        QCOMPARE(told,
                 QStringList({here + "/r0333アクセスが拒否されました。",
                              here + "/r0666アクセスが拒否されました。",
                              here + "/r0333アクセスが拒否されました。",
                              here + "/r0000アクセスが拒否されました。"}));
        QCOMPARE(form->Dir1->path(), here);
        QCOMPARE(form->Combo2->count(), 6);
    }

    void theWorkedExampleRenamesInListOrder()
    {
        open({"a.jpg", "b.jpeg", "c.jpg", "d.txt"});
        typeOver(form->Text1, "img");
        click(form->Command1);
        QCOMPARE(filesIn(dir->path()),
                 QStringList({"d.txt", "img001.jpg", "img002.jpg", "img003.jpg"}));
        QCOMPARE(readFile(dir->filePath("img002.jpg")), QByteArray("b.jpeg"));
        QCOMPARE(form->Text2->text(), QString("3"));
        QCOMPARE(listed(form->File1), QStringList({"img001.jpg", "img002.jpg", "img003.jpg"}));
        QCOMPARE(form->mousePointer(), 0);
        QVERIFY(platform->messages.isEmpty());
        // Numbering again with the same names succeeds and changes nothing.
        click(form->Command1);
        QCOMPARE(filesIn(dir->path()),
                 QStringList({"d.txt", "img001.jpg", "img002.jpg", "img003.jpg"}));
        QVERIFY(platform->messages.isEmpty());
    }

    void anEmptyFolderSaysSoWithoutRereading()
    {
        open({"d.txt"});
        int pointerDuringMessage = -1;
        platform->duringMessage = [&] { pointerDuringMessage = form->mousePointer(); };
        const int reads = form->File1->refreshCount();
        click(form->Command1);
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.size(), 1);
        QCOMPARE(platform->messages[0].text, QString("ファイルがありません。"));
        QCOMPARE(platform->messages[0].title, QString("Numbrella ポテリカ"));
        QCOMPARE(pointerDuringMessage, 13);
        QCOMPARE(form->mousePointer(), 0);
        QCOMPARE(form->File1->refreshCount(), reads);
    }

    void aCollisionStopsTheRunAndLosesNothing()
    {
        open({"a.jpg", "b.jpg", "c.jpg"});
        // Appears after the listing, before the run.
        writeFile(dir->filePath("img002.jpg"), "KEEP");
        typeOver(form->Text1, "img");
        click(form->Command1);
        QCOMPARE(filesIn(dir->path()), QStringList({"b.jpg", "c.jpg", "img001.jpg", "img002.jpg"}));
        QCOMPARE(readFile(dir->filePath("img002.jpg")), QByteArray("KEEP"));
        QCOMPARE(platform->beeps, 1);
        QCOMPARE(platform->messages.size(), 1);
        const QString folder = form->Dir1->path();
        QCOMPARE(
            platform->messages[0].text,
            QString(
                "%1/b.jpg の名前を %1/img002.jpg に変更できませんでした。\n"
                "同じ名前のファイルがすでにあります。\n3 個中 1 個のファイルの名前を変更しました。")
                .arg(folder));
        QCOMPARE(form->mousePointer(), 0);
        QCOMPARE(listed(form->File1), QStringList({"b.jpg", "c.jpg", "img001.jpg", "img002.jpg"}));
    }

    void theStopMessageKeepsPercentSignsInNames()
    {
        const QString folder = dir->filePath("50%1 %9");
        QDir(dir->path()).mkpath("50%1 %9/%2x001.jpg"); // a folder takes the first new name
        writeFile(folder + "/50%1.jpg", "A");
        QDir::setCurrent(folder);
        form = new Form1d(*platform);
        form->Text1->setText("%2x");
        form->Command1->click();
        QCOMPARE(platform->messages.size(), 1);
        const QString path = form->Dir1->path();
        QCOMPARE(
            platform->messages[0].text,
            path + "/50%1.jpg の名前を " + path
                + "/%2x001.jpg に変更できませんでした。\n同じ名前のファイルがすでにあります。\n"
                  "1 個中 0 個のファイルの名前を変更しました。");
        QCOMPARE(readFile(folder + "/50%1.jpg"), QByteArray("A"));
    }

    void refusedNamesAndVanishedFilesAreReported_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("removeSecond");
        QTest::addColumn<QString>("reason");
        QTest::newRow("separator in the base name")
            << "sub/x" << false << "ファイル名に使えない文字が含まれています。";
        QTest::newRow("file removed after listing")
            << "x" << true << "ファイルまたはフォルダーが見つかりません。";
        QTest::newRow("name over 255 bytes")
            << QString(250, 'x') << false << "ファイル名が長すぎます。";
    }
    void refusedNamesAndVanishedFilesAreReported()
    {
        QFETCH(QString, base);
        QFETCH(bool, removeSecond);
        QFETCH(QString, reason);
        QDir(dir->path()).mkdir("sub");
        open({"a.jpg", "b.jpg"});
        if (removeSecond)
            QFile::remove(dir->filePath("b.jpg"));
        typeOver(form->Text1, base);
        click(form->Command1);
        QCOMPARE(platform->messages.size(), 1);
        QVERIFY2(platform->messages[0].text.contains(reason),
                 qPrintable(platform->messages[0].text));
        QCOMPARE(QDir(dir->filePath("sub")).entryList(QDir::Files), QStringList());
    }

    void aRightReleaseOnASelectedFileOffersTheMenu()
    {
        open({"a.jpg", "b.jpg"});
        QWidget* list = form->File1->viewport();
        const auto row = [&](int i) {
            return form->File1->visualRect(form->File1->model()->index(i, 0)).center();
        };
        click(list, Qt::RightButton, row(0));
        QVERIFY(platform->popups.isEmpty()); // nothing selected yet, and the press selects nothing
        QCOMPARE(form->File1->fileName(), QString());
        click(list, Qt::LeftButton, row(1));
        click(list, Qt::MiddleButton, row(1));
        QVERIFY(platform->popups.isEmpty());
        QCOMPARE(Module1::SelectedFileName, QString());
        // A right press keeps the selection where it was: the menu acts on b.jpg.
        click(list, Qt::RightButton, row(0));
        QCOMPARE(platform->popups, QStringList({"fff"}));
        QCOMPARE(Module1::SelectedFileName, QString("b.jpg"));
        QCOMPARE(form->File1->fileName(), QString("b.jpg"));
    }

    // Typing an entry's text is no choice of it, however the edit ends: the list keeps its
    // filter, and the run renames only what it shows, with the typed extension.
    // A table: one row a line, as it reads.
    // clang-format off
    void aTypedFilterNeverChangesTheListedFiles_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("extension");
        QTest::newRow("Tab") << "tab" << "gif";
        QTest::newRow("Enter") << "enter" << "gif";
        QTest::newRow("a click on 連番化") << "run" << "gif";
        QTest::newRow("a click on A") << "case" << "GIF";
    }
    // clang-format on
    void aTypedFilterNeverChangesTheListedFiles()
    {
        QFETCH(QString, ending);
        QFETCH(QString, extension);
        open({"a.jpg", "b.gif", "c.jpg"});
        showActive(form);
        click(form->Text1);
        QTest::keyClicks(form->Text1, "n");
        click(form->Combo1);
        typeOver(form->Combo1, "gif");
        if (ending == "tab")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        else if (ending == "enter")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        else if (ending == "case")
            click(form->Command2);
        QCOMPARE(form->File1->pattern(), QString("*.jpg;*.jpeg"));
        QCOMPARE(listed(form->File1), QStringList({"a.jpg", "c.jpg"}));
        click(form->Command1);
        QCOMPARE(filesIn(dir->path()),
                 QStringList({"b.gif", "n001." + extension, "n002." + extension}));
        QCOMPARE(readFile(dir->filePath("b.gif")), QByteArray("b.gif"));
        QCOMPARE(readFile(dir->filePath("n002." + extension)), QByteArray("c.jpg"));
        QVERIFY(platform->messages.isEmpty());
    }

    void choosingAnEntryFromTheListRereadsIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click in the list") << "mouse";
        QTest::newRow("keys in the open list") << "list keys";
        QTest::newRow("arrow key on the closed box") << "arrow";
        QTest::newRow("wheel on the closed box") << "wheel";
    }
    void choosingAnEntryFromTheListRereadsIt()
    {
        QFETCH(QString, how);
        open({"a.jpg", "b.gif"});
        showActive(form);
        click(form->Command2); // "a": a choice sets it back to "A"
        const int reads = form->File1->refreshCount();
        if (how == "mouse")
            chooseByMouse(form->Combo1, 1);
        else if (how == "list keys")
            chooseByKeys(form->Combo1, 1);
        else if (how == "arrow")
            QTest::keyClick(form->Combo1, Qt::Key_Down);
        else
            wheel(form->Combo1, QPoint(0, -120));
        QCOMPARE(form->Combo1->currentText(), QString("gif"));
        QCOMPARE(form->File1->pattern(), QString("*.gif"));
        QCOMPARE(form->File1->refreshCount(), reads + 1);
        QCOMPARE(listed(form->File1), QStringList({"b.gif"}));
        QCOMPARE(form->Command2->text(), QString("A"));
    }

    void enterPressesTheFocusedButton()
    {
        open({"a.jpg"});
        showActive(form);
        form->Command2->setFocus();
        QTest::keyClick(form->Command2, Qt::Key_Return);
        QCOMPARE(form->Command2->text(), QString("a"));
        QTest::keyClick(form->Command2, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form->Command2->text(), QString("A"));
        click(form->Text1);
        QTest::keyClicks(form->Text1, "x");
        form->Command1->setFocus();
        QTest::keyClick(form->Command1, Qt::Key_Return);
        QCOMPARE(filesIn(dir->path()), QStringList({"x001.jpg"}));
    }

    // The folder shown is on the drive shown: choosing "/" while the current folder lies on
    // a drive mounted below it shows "/", not the current folder.
    void choosingADriveShowsAFolderOnThatDrive()
    {
        const QString here = QDir::toNativeSeparators(QDir(dir->path()).canonicalPath());
        platform->driveRoots = {"/", here};
        open({"a.jpg"});
        QCOMPARE(form->Drive1->currentText(), here);
        QCOMPARE(form->Dir1->path(), here);
        choose(form->Drive1, 0);
        QCOMPARE(form->Dir1->path(), QString("/"));
        QCOMPARE(form->File1->path(), QString("/"));
        choose(form->Drive1, 1);
        QCOMPARE(form->Dir1->path(), here);
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
    }

    void aRootAloneStillStartsInTheWorkingFolder()
    {
        // A chroot or container: no mount of "/" in the table, yet "/" holds everything.
        platform->driveRoots = drivesFromMounts({});
        open({"a.jpg"});
        QCOMPARE(form->Dir1->path(), QDir::toNativeSeparators(QDir(dir->path()).canonicalPath()));
        QCOMPARE(listed(form->File1), QStringList({"a.jpg"}));
    }

    void theExitCommandEndsTheProgram()
    {
        open({});
        form->mend->trigger();
        QVERIFY(platform->ended);
    }
};

QTEST_MAIN(Form1dTest)
#include "test_form1d.moc"

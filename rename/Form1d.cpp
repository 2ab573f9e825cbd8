#include "rename/Form1d.h"

#include "about/Form2d.h"
#include "app/Module1.h"
#include "app/icon.h"
#include "core/DroppedFailures.h"
#include "core/PlatformError.h"
#include "core/Twips.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/DirList.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/Events.h"
#include "platform/controls/FileList.h"
#include "platform/controls/LayoutFont.h"
#include "platform/controls/TextBox.h"
#include "platform/desktop/Platform.h"
#include "platform/desktop/WindowSystem.h"
#include "platform/files/FileRename.h"
#include "rename/renaming.h"
#include "viewer/Form3d.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QWindow>
#include <optional>

Form1d::Form1d(Platform& platform, QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint),
      platform_(platform)
{
    // An ordinary window with a fixed size, a close box and no minimise or maximise box: a tool
    // window, or Qt's parentless dialog (made transient for the whole program), would be kept
    // above every viewer. The task-bar button is left out by a hint of its own (showEvent). It
    // ends the program when it closes last.
    setAttribute(Qt::WA_QuitOnClose, true);
    setObjectName(QStringLiteral("Form1d"));
    setWindowTitle(QStringLiteral("Numbrella+"));
    setWindowIcon(programIcon());
    createControls();
    createMenus();
    connectHandlers();
    Form_Load();
}

QRect Form1d::twipsRect(int left, int top, int width, int height) const
{
    return twipsToPixels(QRect(left, top, width, height), platform_.twipsPerPixelX(),
                         platform_.twipsPerPixelY());
}

void Form1d::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsRect(0, 0, 7740, 7785).size());

    // Created in tab order, since Qt focuses the first widget created.
    Drive1 = new DriveList(client);
    Dir1 = new DirList(client);
    Text1 = new QLineEdit(client);
    Combo1 = new ComboBox(client);
    Command2 = new CommandButton(QStringLiteral("A"), client);
    Combo2 = new ComboBox(client);
    Command1 = new CommandButton(QStringLiteral("連番化"), client);
    File1 = new FileList(client);
    // Out of sight and written twice a file by the run: a box that lays out only to paint.
    Text2 = new TextBox(client);
    Label1 = new QLabel(QStringLiteral("基本名"), client);

    struct Placement
    {
        QWidget* widget;
        const char* name;
        QRect rect;
        // For controls without a caption; one with visible text is named by that text.
        const char* accessibleName;
    };
    const Placement placements[] = {
        {Drive1, "Drive1", twipsRect(10, 0, 2775, 300), "ドライブ"},
        {Dir1, "Dir1", twipsRect(10, 330, 2775, 7440), "フォルダ"},
        {Text1, "Text1", twipsRect(3610, 0, 1935, 300), "基本名"},
        {Combo1, "Combo1", twipsRect(3610, 350, 855, 300), "拡張子"},
        {Command2, "Command2", twipsRect(4500, 350, 320, 300), nullptr},
        {Combo2, "Combo2", twipsRect(4840, 350, 700, 300), "桁数"},
        {Command1, "Command1", twipsRect(2830, 350, 750, 300), nullptr},
        {File1, "File1", twipsRect(2800, 675, 2775, 7110), "ファイル"},
        {Text2, "Text2", twipsRect(6840, 0, 735, 300), "カウンタ"},
        {Label1, "Label1", twipsRect(2940, 50, 615, 200), nullptr},
    };
    for (const Placement& p : placements) {
        p.widget->setObjectName(QString::fromLatin1(p.name));
        p.widget->setGeometry(p.rect);
        if (p.accessibleName)
            p.widget->setAccessibleName(QString::fromUtf8(p.accessibleName));
    }

    Combo1->setMaxVisibleItems(12);
    // The counter lies out of sight; focus must not vanish into it.
    Text2->setFocusPolicy(Qt::NoFocus);
    Label1->setBuddy(Text1);
    // It has no tool tip; a screen reader still says what it is for.
    Drive1->setAccessibleDescription(QStringLiteral("ファイルのあるドライブを選びます"));
    Drive1->setDrives(platform_.drives());
    Drive1->setFocus();
    // The desktop's font size would cut the captions of a layout fixed in twips.
    useLayoutFont(this,
                  {
                      {Text1, captionsOf(Text1, {QString()})},
                      {Label1, captionsOf(Label1)},
                      {Command1, captionsOf(Command1, {Command1->text()})},
                      {Command2, captionsOf(Command2, {QStringLiteral("A"), QStringLiteral("a")})},
                      {Combo1, captionsOf(Combo1, filterLabels())},
                      {Combo2, captionsOf(Combo2, digitLabels())},
                  });
}

void Form1d::createMenus()
{
    mfile = menuBar()->addMenu(QStringLiteral("ファイル"));
    mfile->setObjectName(QStringLiteral("mfile"));
    mend = mfile->addAction(QStringLiteral("終了"));
    mend->setObjectName(QStringLiteral("mend"));
    mend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mhelp = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    mhelp->setObjectName(QStringLiteral("mhelp"));
    mver = mhelp->addAction(QStringLiteral("バージョン情報"));
    mver->setObjectName(QStringLiteral("mver"));
    yy = mhelp->addSeparator();
    yy->setObjectName(QStringLiteral("yy"));
    mfil = mhelp->addAction(QStringLiteral("Numbrellaについて"));
    mfil->setObjectName(QStringLiteral("mfil"));

    // Shown only as a pop-up over the file list.
    fff = new QMenu(QStringLiteral("右メニュー"), this);
    fff->setObjectName(QStringLiteral("fff"));
    fff->setAccessibleName(fff->title());
    OpenF = fff->addAction(QStringLiteral("開く"));
    OpenF->setObjectName(QStringLiteral("OpenF"));
}

void Form1d::connectHandlers()
{
    Drive1->onChange = [this] { Drive1_Change(); };
    Dir1->onChange = [this] { Dir1_Change(); };
    Dir1->onOpenFailed = [this](const QString& folder, const QString& reason) {
        beepAndTell(platform_, this, folderFailureMessage(folder, reason));
    };
    File1->onDblClick = [this] { File1_DblClick(); };
    File1->onEnter = [this] { File1_DblClick(); };
    File1->onMouseUp = [this](int button) { File1_MouseUp(button); };
    File1->onMenuKey = [this] { File1_MenuKey(); };
    Combo1->onClick = [this] { Combo1_Click(); };
    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { guarded([&] { Command2_Click(); }); });
    connect(mend, &QAction::triggered, this, [this] { guarded([&] { mend_Click(); }); });
    connect(mver, &QAction::triggered, this, [this] { guarded([&] { mver_Click(); }); });
    connect(OpenF, &QAction::triggered, this, [this] { guarded([&] { OpenF_Click(); }); });
}

void Form1d::setMousePointer(int pointer)
{
    mousePointer_ = pointer;
    if (pointer == 13)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    // Let the new pointer reach the screen without taking any user input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Form1d::Form_Load()
{
    try {
        // An outer width: the window manager's frame is part of it.
        const std::optional<QMargins> frame = platform_.frameExtents(this);
        frameUnknown_ = !frame;
        outerWidth_ = twipsToPixels(5670, platform_.twipsPerPixelX());
        setFixedSize(clientWidth(frame ? frame->left() + frame->right() : 0),
                     centralWidget()->height() + menuBar()->sizeHint().height());
        Text1->setToolTip(QStringLiteral("基本となるファイル名を入力してね"));
        Combo1->setToolTip(QStringLiteral("拡張子フィルタ\u3000直接入力も可能"));
        Combo2->setToolTip(QStringLiteral("使用桁数を設定します"));
        Command1->setToolTip(QStringLiteral("連番化を実行"));
        Command2->setToolTip(QStringLiteral("拡張子の 大文字、小文字を切り替えます"));
        for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Combo1),
                           static_cast<QWidget*>(Combo2), static_cast<QWidget*>(Command1),
                           static_cast<QWidget*>(Command2)})
            w->setAccessibleDescription(w->toolTip());
        Text2->setText(numberText(-1));
        if (platform_.anotherInstanceRunning()) {
            platform_.endProgram();
            return;
        }
        const Drive start = Drive1->drive();
        try {
            Dir1->setPath(start);
        } catch (const PlatformError& error) {
            // Told, and the window opens on the nearest folder above that can be read, from
            // which the user can go on; the load step goes on too.
            const QString folder = start.folder.isEmpty() ? start.root : start.folder;
            beepAndTell(platform_, this, folderFailureMessage(folder, error.reason()));
            openNearestAbove(folder);
        }
        for (const QString& label : filterLabels())
            Combo1->addItem(label);
        Combo1->setText(Combo1->list(0));
        for (const QString& label : digitLabels())
            Combo2->addItem(label);
        Combo2->setText(Combo2->list(2));
    } catch (...) {
        // The window is shown as far as it has been set up.
        noteDroppedFailure("Form1d::Form_Load");
    }
}

void Form1d::showEvent(QShowEvent* event)
{
    // Before the window is mapped: the hint counts only then.
    if (!event->spontaneous() && !taskbarHintSet_) {
        taskbarHintSet_ = true;
        keepOffTaskbar(this);
        // The window's own state, not the widget's: Qt on Wayland (6.8) tells the widget nothing
        // when its title bar minimises the window.
        connect(windowHandle(), &QWindow::windowStateChanged, this,
                [this] { keepMinimisedReachable(this); });
        // openbox never focuses a window without a task-bar button by itself: the keys would
        // go nowhere. Qt asks once the window is mapped.
        activateWindow();
    }
    QMainWindow::showEvent(event);
}

void Form1d::takeFocusBackAfter(QWidget* window)
{
    // The window manager gives the focus back to a window with a task-bar button, openbox only
    // to one: when a window opened from here closes, this one takes it.
    connect(window, &QObject::destroyed, this, [this] {
        if (isVisible() && !isMinimized())
            activateWindow();
    });
}

int Form1d::clientWidth(int frameWidth) const
{
    // A thick frame (xfwm4's borders) must not cut the controls' right edge: the window then
    // grows by what the frame takes beyond the thin one the width was made for. The counter
    // lies out of sight on purpose.
    int controls = 0;
    for (const QWidget* w :
         {static_cast<const QWidget*>(Text1), static_cast<const QWidget*>(Combo2),
          static_cast<const QWidget*>(File1), static_cast<const QWidget*>(Dir1)})
        controls = std::max(controls, w->geometry().right() + 1);
    return std::max(outerWidth_ - frameWidth, controls);
}

void Form1d::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // A window manager that did not tell its frame beforehand: correct the width once it shows.
    if (frameUnknown_ && isVisible()) {
        const int frame = frameGeometry().width() - width();
        if (frame > 0) {
            frameUnknown_ = false;
            setFixedWidth(clientWidth(frame));
        }
    }
}

void Form1d::mend_Click()
{
    close();
    platform_.endProgram();
}

void Form1d::mver_Click()
{
    // A new, independent window each time; it deletes itself when closed.
    auto* about = new Form2d(platform_);
    takeFocusBackAfter(about);
    about->show();
    // Not every window manager focuses a new window (mutter no tool window, and none where none
    // runs): the keys must reach it.
    about->activateWindow();
}

void Form1d::Command1_Click()
{
    int count = 0;
    int done = 0;
    QString oldPath;
    QString newPath;
    std::optional<PlatformError> refusal;
    try {
        Text2->setText(QStringLiteral("0"));
        setMousePointer(13);
        count = File1->listCount();
        if (count == 0) {
            // A list left empty by a folder that could not be read says nothing of its files.
            const QString failure = File1->readFailure();
            beepAndTell(platform_, this,
                        failure.isEmpty() ? QStringLiteral("ファイルがありません。")
                                          : folderFailureMessage(File1->path(), failure));
            setMousePointer(0);
            return;
        }
        // No box can change while the run works (it takes no input), so each is read once and
        // the new names are made in one go.
        QStringList widthEntries;
        for (int k = 0; k < int(kDigitEntries.size()); ++k)
            widthEntries << Combo2->list(k);
        const QList<RenameStep> plan = planRenames(Dir1->path(), File1->names(), Text1->text(),
                                                   widthEntries, Combo2->currentText(),
                                                   Combo1->currentText());
        // What this run learns of the drive is never used by a later one.
        RenameRun run;
        for (int i = 1; i <= count; ++i) {
            Text2->setText(numberText(readNumber(Text2->text()) + 1));
            oldPath = plan[i - 1].from;
            newPath = plan[i - 1].to;
            renameFileNoReplace(oldPath, newPath, run);
            done = i;
        }
    } catch (const PlatformError& error) {
        refusal = error;
    } catch (...) {
        noteDroppedFailure("Form1d::Command1_Click");
    }
    QString message;
    if (refusal)
        message = renameStopMessage(oldPath, newPath, refusal->reason(), count, done);
    try {
        File1->refresh();
    } catch (const PlatformError& error) {
        // The list is empty now, though the folder holds files: the user learns why.
        message += (message.isEmpty() ? QString() : QStringLiteral("\n"))
            + folderFailureMessage(File1->path(), error.reason());
        if (!refusal)
            message += QLatin1Char('\n') + renamedCount(count, done);
    } catch (...) {
        noteDroppedFailure("Form1d::Command1_Click, reading the list again");
    }
    setMousePointer(0);
    if (!message.isEmpty())
        beepAndTell(platform_, this, message);
}

void Form1d::Command2_Click()
{
    try {
        if (Command2->text() == QStringLiteral("A")) {
            Combo1->setEditText(Combo1->currentText().toUpper());
            Command2->setText(QStringLiteral("a"));
        } else if (Command2->text() == QStringLiteral("a")) {
            Combo1->setEditText(Combo1->currentText().toLower());
            Command2->setText(QStringLiteral("A"));
        }
    } catch (...) {
        noteDroppedFailure("Form1d::Command2_Click");
    }
}

void Form1d::Drive1_Change()
{
    QString reason;
    try {
        Dir1->setPath(Drive1->drive());
        return;
    } catch (const PlatformError& error) {
        reason = error.reason();
    } catch (...) {
        noteDroppedFailure("Form1d::Drive1_Change");
    }
    beepAndTell(platform_, this, driveNotReadyMessage(Drive1->drive().root, reason));
    Drive1->setDrive(Dir1->path());
}

void Form1d::Dir1_Change()
{
    File1->setPath(Dir1->path());
}

void Form1d::Combo1_Click()
{
    Command2->setText(QStringLiteral("A"));
    for (int k = 0; k < int(kFilterEntries.size()); ++k) {
        if (Combo1->currentText() == Combo1->list(k)) {
            try {
                File1->setPattern(QString::fromUtf16(kFilterEntries[size_t(k)].pattern));
            } catch (const PlatformError& error) {
                // The list keeps what it showed; the user learns why it did not change.
                beepAndTell(platform_, this, folderFailureMessage(File1->path(), error.reason()));
            }
            return;
        }
    }
}

void Form1d::openNearestAbove(const QString& folder)
{
    QDir above(folder);
    while (above.cdUp()) {
        try {
            Dir1->setPath(QDir::toNativeSeparators(above.path()));
            return;
        } catch (const PlatformError&) {
        }
    }
}

void Form1d::File1_DblClick()
{
    Module1::SelectedFileName = File1->fileName();
    openViewer();
}

void Form1d::File1_MouseUp(int button)
{
    if (File1->fileName().isEmpty())
        return;
    if (button != 2)
        return;
    Module1::SelectedFileName = File1->fileName();
    platform_.popupMenu(fff);
}

// The keyboard's way to the right-button menu, opened by the current file.
void Form1d::File1_MenuKey()
{
    if (File1->fileName().isEmpty())
        return;
    Module1::SelectedFileName = File1->fileName();
    platform_.popupMenu(fff, File1->menuPosition());
}

void Form1d::OpenF_Click()
{
    openViewer();
}

void Form1d::openViewer()
{
    // The viewer reads the folder only while it loads, but must not outlive this window's list.
    QPointer<DirList> folder = Dir1;
    auto* viewer = new Form3d(platform_, [folder] { return folder ? folder->path() : QString(); });
    viewer->sizeForOpening();
    takeFocusBackAfter(viewer);
    viewer->show();
    viewer->activateWindow();
}

#include "about/Form2d.h"
#include "app/Module1.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/CommandButton.h"
#include "platform/controls/DirList.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/Events.h"
#include "platform/controls/FileList.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBar.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"
#include "viewer/zoom.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// The legacy-named control that holds the focus (an editable combo box focuses its editor).
QString focusedName()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            return w->objectName();
    return {};
}

// Every control placed on a surface: it is found by its legacy name, and a screen reader
// finds a name or description for it.
void checkControlsAreNamed(const QList<QWidget*>& surfaces)
{
    for (QWidget* surface : surfaces) {
        const QList<QWidget*> controls =
            surface->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(!controls.isEmpty());
        for (QWidget* control : controls) {
            const QString name = control->objectName();
            QVERIFY2(!name.isEmpty(), control->metaObject()->className());
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(accessible, qPrintable(name));
            const QString spoken = accessible->text(QAccessible::Name)
                + accessible->text(QAccessible::Description);
            QVERIFY2(!spoken.trimmed().isEmpty(), qPrintable(name));
        }
    }
}

void checkActionsAreNamed(const QList<QMenu*>& menus)
{
    for (QMenu* menu : menus) {
        QVERIFY(!menu->objectName().isEmpty());
        for (QAction* action : menu->actions())
            QVERIFY2(!action->objectName().isEmpty(), qPrintable(action->text()));
    }
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakePlatform> platform;

    void picture(const QString& name)
    {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(dir->filePath(name)));
    }

    std::unique_ptr<Form1d> renamingWindow(const QStringList& files)
    {
        for (const QString& f : files)
            writeFile(dir->filePath(f), f.toUtf8());
        QDir::setCurrent(dir->path());
        return std::make_unique<Form1d>(*platform);
    }

    std::unique_ptr<Form3d> viewer(const QString& name)
    {
        Module1::SelectedFileName = name;
        const QString folder = dir->path();
        auto form =
            std::make_unique<Form3d>(*platform, [folder]() -> const QString& { return folder; });
        form->setAttribute(Qt::WA_DeleteOnClose, false);
        form->setWidthTwips(6000);
        form->setHeightTwips(5000);
        return form;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        platform = std::make_unique<FakePlatform>();
        Module1::SelectedFileName.clear();
    }
    void cleanup()
    {
        for (Form3d* v : visibleWindows<Form3d>())
            delete v;
        QDir::setCurrent(QDir::tempPath());
        platform.reset();
        dir.reset();
    }

    void tabVisitsTheRenamingWindowInItsOrderAndRenames()
    {
        auto form = renamingWindow({"b.jpg", "a.jpg", "notes.txt"});
        showActive(form.get());
        QCOMPARE(focusedName(), QString("Drive1"));
        const QStringList order = {"Dir1",   "Text1",    "Combo1", "Command2",
                                   "Combo2", "Command1", "File1",  "Drive1"};
        for (const QString& expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedName(), expected);
        }
        // The same path once more, doing the work: base name, two digits, run.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), QString("Text1"));
        QTest::keyClicks(QApplication::focusWidget(), "pic");
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), QString("Combo2"));
        // The list moves on from the entry shown (３桁).
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(form->Combo2->currentText(), QString("２桁"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), QString("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(QFile::exists(dir->filePath("pic01.jpg")));
        QVERIFY(QFile::exists(dir->filePath("pic02.jpg")));
        QVERIFY(QFile::exists(dir->filePath("notes.txt")));
        QVERIFY(platform->messages.isEmpty());
    }

    void keysOnTheFileListOpenAndOfferTheMenu()
    {
        picture("a.png");
        picture("b.png");
        auto form = renamingWindow({});
        showActive(form.get());
        // Enter on an empty list opens nothing.
        form->File1->setFocus();
        QTest::keyClick(form->File1, Qt::Key_Return);
        QCOMPARE(visibleWindows<Form3d>().size(), 0);
        form->File1->setPattern("*.png");
        // Nothing selected yet: no menu, as with the right button.
        QTest::keyClick(form->File1, Qt::Key_Menu);
        QVERIFY(platform->popups.isEmpty());
        // Enter acts on the current file, selecting it first: never an empty viewer.
        QTest::keyClick(form->File1, Qt::Key_Return);
        QList<Form3d*> opened = visibleWindows<Form3d>();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0]->windowTitle().endsWith("a.png"));
        QCOMPARE(form->File1->fileName(), QString("a.png"));
        delete opened[0];

        form->File1->setSelectedIndex(1);
        QTest::keyClick(form->File1, Qt::Key_Menu);
        QTest::keyClick(form->File1, Qt::Key_F10, Qt::ShiftModifier);
        QTest::keyClick(form->File1, Qt::Key_F10); // F10 alone is not the menu key
        QCOMPARE(platform->popups, QStringList({"fff", "fff"}));
        QCOMPARE(Module1::SelectedFileName, QString("b.png"));
        // The menu opens by the current file, not wherever the mouse is.
        QVERIFY(platform->popupAt.has_value());
        QVERIFY(form->File1->rect().contains(form->File1->mapFromGlobal(*platform->popupAt)));

        QTest::keyClick(form->File1, Qt::Key_Return);
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 1);
        QVERIFY(viewers[0]->windowTitle().endsWith("b.png"));
    }

    void viewerKeysRunTheMenuCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("command");
        QTest::newRow("+") << int(Qt::Key_Plus) << int(Qt::NoModifier) << "in";
        QTest::newRow("Ctrl++") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << "in";
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "in";
        QTest::newRow("-") << int(Qt::Key_Minus) << int(Qt::NoModifier) << "out";
        QTest::newRow("Ctrl+-") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << "out";
        QTest::newRow("keypad -") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << "out";
        QTest::newRow("0") << int(Qt::Key_0) << int(Qt::NoModifier) << "actual";
        QTest::newRow("Ctrl+0") << int(Qt::Key_0) << int(Qt::ControlModifier) << "actual";
        QTest::newRow("= is no key of ours") << int(Qt::Key_Equal) << int(Qt::NoModifier) << "";
    }

    void viewerKeysRunTheMenuCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, command);
        picture("a.png");
        auto form = viewer("a.png");
        showActive(form.get());
        QCOMPARE(focusedName(), QString("pict"));
        // From two steps in, so that each command shows its own effect; with the focus on
        // the picture and on a scroll bar.
        const std::int32_t start = zoomMilliIn(zoomMilliIn(100000));
        const std::int32_t expected = command == "in" ? zoomMilliIn(start)
            : command == "out"                        ? zoomMilliOut(start)
            : command == "actual"                     ? 100000
                                                      : start;
        for (QWidget* target :
             {static_cast<QWidget*>(form->pict), static_cast<QWidget*>(form->HScroll1)}) {
            form->mnuG_Click();
            form->mnuZin_Click();
            form->mnuZin_Click();
            QCOMPARE(form->ZoomMilli, start);
            target->setFocus();
            const QSize before = form->size();
            QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(form->ZoomMilli, expected);
            // The menu's zoom steps keep the window's size.
            if (command != "actual")
                QCOMPARE(form->size(), before);
        }
    }

    void viewerKeysShowBesideUnchangedCaptions()
    {
        picture("a.png");
        auto form = viewer("a.png");
        const QList<std::tuple<QAction*, QString, QString>> expected = {
            {form->mnuCls, "閉じる", "Ctrl+W"},
            {form->mnuSave, "名前を付けて保存", "Ctrl+S"},
            {form->mnuPrint, "印刷", "Ctrl+P"},
            {form->mnuZin, "拡大 10%", "+"},
            {form->mnZout, "縮小 10%", "-"},
            {form->mnuG, "実物大", "0"},
            {form->mnuFit, "ウィンドウサイズを合わせる", ""},
            {form->mnuEnd, "終了", "Ctrl+Q"},
        };
        for (const auto& [action, caption, keys] : expected) {
            QCOMPARE(action->text(), caption);
            QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), keys);
        }
        auto main = renamingWindow({});
        QCOMPARE(main->mend->text(), QString("終了"));
        QCOMPARE(main->mend->shortcut().toString(QKeySequence::PortableText), QString("Ctrl+Q"));
    }

    void viewerCommandKeys()
    {
        picture("a.png");
        auto form = viewer("a.png");
        showActive(form.get());
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(platform->proposedNames, QStringList({"a.png"}));
        const QString pdf = dir->filePath("print.pdf");
        platform->printToPdf = pdf;
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(QFileInfo(pdf).size() > 0);
        QTest::keyClick(form->pict, Qt::Key_Menu);
        QTest::keyClick(form->pict, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(platform->popups, QStringList({"mnuR", "mnuR"}));
        QVERIFY(platform->popupAt.has_value());
        QVERIFY(form->rect().contains(form->mapFromGlobal(*platform->popupAt)));
        QVERIFY(!platform->ended);
        QTest::keyClick(form.get(), Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!form->isVisible());
        // Ending the program is the one command of both windows.
        auto other = viewer("a.png");
        showActive(other.get());
        QTest::keyClick(other.get(), Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(platform->ended);
    }

    void everyControlIsNamedForScreenReaders()
    {
        picture("a.png");
        auto form = renamingWindow({});
        checkControlsAreNamed({form->centralWidget()});
        checkActionsAreNamed({form->mfile, form->mhelp, form->fff});
        auto view = viewer("a.png");
        checkControlsAreNamed({view.get(), view->pict, view->Toolbar1});
        checkActionsAreNamed({view->mnuR});
        Form2d about(*platform);
        checkControlsAreNamed({&about});
        // A control without a caption of its own speaks Japanese.
        QCOMPARE(form->Drive1->accessibleName(), QString("ドライブ"));
        QCOMPARE(form->Command1->accessibleDescription(), QString("連番化を実行"));
        QCOMPARE(view->btnZout->accessibleName(), QString("縮"));
        // A control with visible text is named by it, so the case button says its state; what
        // it does is its description.
        showActive(form.get());
        QAccessibleInterface* caseButton = QAccessible::queryAccessibleInterface(form->Command2);
        QCOMPARE(caseButton->text(QAccessible::Name), QString("A"));
        QCOMPARE(caseButton->text(QAccessible::Description),
                 QString("拡張子の 大文字、小文字を切り替えます"));
        click(form->Command2);
        QCOMPARE(caseButton->text(QAccessible::Name), QString("a"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form->Command1)->text(QAccessible::Name),
                 QString("連番化"));
        // Qt names a combo box by its value on Linux; a screen reader must hear what the box
        // is for, then its value.
        for (QComboBox* combo :
             {static_cast<QComboBox*>(form->Drive1), static_cast<QComboBox*>(form->Combo1),
              static_cast<QComboBox*>(form->Combo2)}) {
            QAccessibleInterface* box = QAccessible::queryAccessibleInterface(combo);
            QCOMPARE(box->role(), QAccessible::ComboBox);
            QCOMPARE(box->text(QAccessible::Name), combo->accessibleName());
            QCOMPARE(box->text(QAccessible::Value), combo->currentText());
            QVERIFY(!box->text(QAccessible::Description).isEmpty());
            QCOMPARE(box->child(0)->object(), combo->view());
            // Where a screen reader reads the value: an editable box's edit field, else the box.
            QAccessibleInterface* shown = combo->isEditable() ? box->child(1) : box;
            QVERIFY(shown && shown->textInterface());
            QCOMPARE(shown->textInterface()->text(0, shown->textInterface()->characterCount()),
                     combo->currentText());
            QCOMPARE(shown->state().editable, combo->isEditable());
        }
        // What is typed is read from there too.
        QTest::mouseClick(form->Combo1->lineEdit(), Qt::LeftButton);
        typeOver(form->Combo1->lineEdit(), QStringLiteral("png"));
        QAccessibleTextInterface* typed =
            QAccessible::queryAccessibleInterface(form->Combo1)->child(1)->textInterface();
        QCOMPARE(typed->text(0, typed->characterCount()), QStringLiteral("png"));
        QCOMPARE(QAccessible::queryAccessibleInterface(form->Combo2)->text(QAccessible::Name),
                 QString("桁数"));
        // The viewer's parts say what they are; none is a nameless filler.
        const QList<std::pair<QWidget*, QAccessible::Role>> parts = {
            {view->Toolbar1, QAccessible::ToolBar},
            {view->pict, QAccessible::Pane},
            {view->Imag, QAccessible::Graphic},
        };
        for (const auto& [part, role] : parts) {
            QCOMPARE(QAccessible::queryAccessibleInterface(part)->role(), role);
            QVERIFY(
                !QAccessible::queryAccessibleInterface(part)->text(QAccessible::Name).isEmpty());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(view.get())->role(), QAccessible::Window);
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"

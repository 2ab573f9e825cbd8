// Run by wayland_run.sh inside a headless weston or mutter: there is no work area on Wayland, Qt
// draws the title bar itself, and the compositor may maximise a large window of its own accord.
#include "platform/controls/ComboBox.h"
#include "platform/controls/DirList.h"
#include "platform/controls/FileList.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"
#include "platform/desktop/QtPlatform.h"
#include "rename/Form1d.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>

class WaylandTest : public QObject
{
    Q_OBJECT

    // Opens the file of the list's row in a viewer, with the keyboard.
    static Form3d* open(Form1d& form, int row)
    {
        QTest::mouseClick(form.File1->viewport(), Qt::LeftButton, {}, QPoint(20, 8 + 14 * row));
        QTest::keyClick(form.File1, Qt::Key_Return);
        Form3d* viewer = visibleWindows<Form3d>().constLast();
        if (QTest::qWaitForWindowExposed(viewer))
            QTest::qWait(1500); // the compositor's own maximise comes a moment later
        return viewer;
    }

private slots:
    void theViewersHoldTheirPicturesWithinTheScreen()
    {
        if (!QGuiApplication::platformName().startsWith("wayland"))
            QSKIP("not on Wayland");
        QTemporaryDir dir;
        for (const auto& [name, size] :
             {std::pair{"a.jpg", QSize(640, 480)}, std::pair{"b.jpg", QSize(1600, 1200)}}) {
            QImage picture(size, QImage::Format_RGB32);
            picture.fill(Qt::darkBlue);
            QVERIFY(picture.save(dir.filePath(name)));
        }
        QDir::setCurrent(dir.path());
        QtPlatform platform;
        Form1d form(platform);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.File1->listCount(), 2);

        // The picture box holds the whole picture: the title bar Qt draws is allowed for.
        Form3d* small = open(form, 0);
        QVERIFY2(small->pict->height() >= 480 && small->pict->width() >= 640,
                 qPrintable(
                     QString("box %1 x %2").arg(small->pict->width()).arg(small->pict->height())));
        small->close();

        // Within the screen, below a top bar, and not left maximised by the compositor, so that
        // six steps out on the toolbar fit the window to 903 x 677.
        Form3d* large = open(form, 1);
        const QRect screen = large->screen()->availableGeometry();
        QVERIFY(!large->isMaximized());
        QVERIFY2(large->frameGeometry().width() <= screen.width()
                     && large->frameGeometry().height() <= screen.height() - 32,
                 qPrintable(QString("%1 x %2 on a screen of %3 x %4")
                                .arg(large->frameGeometry().width())
                                .arg(large->frameGeometry().height())
                                .arg(screen.width())
                                .arg(screen.height())));
        for (int step = 0; step < 6; ++step) {
            QTest::mouseClick(large->btnZout, Qt::LeftButton);
            QTest::qWait(100);
        }
        QTRY_VERIFY2(large->width() < 960, qPrintable(QString::number(large->width())));
        large->close();

        // Qt's title bar offers to minimise the renaming window, which has no task-bar button to
        // come back from (weston has no task bar at all): it shows again at once. The state is
        // set as that title bar sets it.
        form.windowHandle()->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!form.isMinimized() && form.isVisible() && form.windowHandle()->isExposed());
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_MAIN(WaylandTest)
#include "test_wayland.moc"

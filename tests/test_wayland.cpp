// Run by wayland_run.sh inside a headless weston: there is no work area on Wayland, and Qt draws
// the title bar itself, so a large picture's viewer must still lie within the screen.
#include "platform/ComboBox.h"
#include "platform/DirList.h"
#include "platform/FileList.h"
#include "platform/QtPlatform.h"
#include "rename/Form1d.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"

#include <QDir>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class WaylandTest : public QObject
{
    Q_OBJECT
private slots:
    void aLargePicturesViewerStaysWithinTheScreen()
    {
        if (!QGuiApplication::platformName().startsWith("wayland"))
            QSKIP("not on Wayland");
        QTemporaryDir dir;
        QImage picture(6000, 4000, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        QVERIFY(picture.save(dir.filePath("big.jpg")));
        QDir::setCurrent(dir.path());
        QtPlatform platform;
        Form1d form(platform);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.File1->viewport(), Qt::LeftButton, {}, QPoint(20, 8));
        QCOMPARE(form.File1->listCount(), 1);
        QCOMPARE(form.File1->fileName(), QString("big.jpg"));
        QTest::keyClick(form.File1, Qt::Key_Return);
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 1);
        QVERIFY(QTest::qWaitForWindowExposed(viewers[0]));
        QTest::qWait(300);
        const QSize screen = viewers[0]->screen()->availableGeometry().size();
        const QSize outer = viewers[0]->frameGeometry().size();
        QVERIFY2(outer.width() <= screen.width() && outer.height() <= screen.height(),
                 qPrintable(QString("%1 x %2 on a screen of %3 x %4")
                                .arg(outer.width())
                                .arg(outer.height())
                                .arg(screen.width())
                                .arg(screen.height())));
        QVERIFY(viewers[0]->frameGeometry().height() > viewers[0]->height());
        QDir::setCurrent(QDir::tempPath());
        viewers[0]->close();
    }
};

QTEST_MAIN(WaylandTest)
#include "test_wayland.moc"

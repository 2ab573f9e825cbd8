#include "app/Module1.h"
#include "core/PlatformError.h"
#include "platform/controls/DirList.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/Events.h"
#include "platform/controls/FileList.h"
#include "platform/controls/ImageControl.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBar.h"
#include "platform/desktop/Platform.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/TestFiles.h"
#include "viewer/Form3d.h"
#include "viewer/PictureOutput.h"
#include "viewer/zoom.h"

#include <QBuffer>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

class TestViewer : public QObject
{
    Q_OBJECT

private:
    FakePlatform platform_;
    QTemporaryDir dir_;

    // A picture of the given size: left half red, right half blue.
    QString picture(int width, int height)
    {
        QString name = QStringLiteral("p%1x%2.png").arg(width).arg(height);
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width / 2; ++x)
                image.setPixel(x, y, qRgb(255, 0, 0));
        if (!QFile::exists(dir_.filePath(name)))
            image.save(dir_.filePath(name));
        return name;
    }

    std::unique_ptr<Form3d> open(const QString& name)
    {
        Module1::SelectedFileName = name;
        const QString folder = dir_.path();
        auto viewer =
            std::make_unique<Form3d>(platform_, [folder]() -> const QString& { return folder; });
        // Owned by the test, not by its own close.
        viewer->setAttribute(Qt::WA_DeleteOnClose, false);
        return viewer;
    }

    // The picture box pict becomes width x height pixels; the outer size includes the frame
    // that the test platform puts around the window.
    static void sizeBox(Form3d& viewer, int width, int height)
    {
        viewer.winId();
        const QMargins margins = viewer.windowHandle()->frameMargins();
        const QSize frame(margins.left() + margins.right(), margins.top() + margins.bottom());
        viewer.setWidthTwips((width + frame.width()) * 15);
        viewer.setHeightTwips((height + 27 + frame.height()) * 15);
    }

    // A length in twips as a window holds it, in whole pixels.
    static int inPixels(int twips) { return qRound(twips / 15.0) * 15; }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        // What a failing handler drops leaves its trace where the user asks for it.
        QLoggingCategory::setFilterRules(QStringLiteral("numbrella.failures=true"));
    }
    void init()
    {
        platform_.popups.clear();
        platform_.proposedNames.clear();
        platform_.saveFolders.clear();
        platform_.questions.clear();
        platform_.messages.clear();
        platform_.savePath.reset();
        platform_.frameUntold = false;
    }

    void loadingAPictureSetsSizeZoomAndCaption()
    {
        const QString name = picture(640, 480);
        auto viewer = open(name);
        QCOMPARE(viewer->OrigWidth, 640);
        QCOMPARE(viewer->OrigHeight, 480);
        QCOMPARE(viewer->ZoomMilli, 100000);
        QCOMPARE(viewer->ZoomPercent, 100);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
        QCOMPARE(viewer->windowTitle(), dir_.path() + QDir::separator() + name);
        QCOMPARE(viewer->Imag->widthF(), 640.0f);
        QCOMPARE(viewer->Imag->heightF(), 480.0f);
        // Loading leaves the box hidden until the first complete layout.
        QVERIFY(viewer->pict->isHidden());
        sizeBox(*viewer, 700, 500);
        QVERIFY(!viewer->pict->isHidden());
    }

    void aFileThatIsNoPictureLeavesTheViewerEmpty_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("entry");
        QTest::newRow("text") << QByteArray("not a picture\n") << "file";
        QTest::newRow("empty") << QByteArray() << "file";
        QTest::newRow("truncated png") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << "file";
        QTest::newRow("missing") << QByteArray() << "none";
        const QByteArray jpeg = pictureBytes(64, 48, Qt::blue, "jpg");
        QTest::newRow("truncated jpeg") << jpeg.left(jpeg.size() / 3) << "file";
        // A BMP header that claims 100,000 x 100,000 pixels and holds none of them.
        QByteArray huge;
        QDataStream out(&huge, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("BM", 2);
        out << quint32(54) << quint32(0) << quint32(54) << quint32(40) << qint32(100000)
            << qint32(100000) << quint16(1) << quint16(24) << quint32(0) << quint32(0)
            << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
        QTest::newRow("header claims 100000 x 100000") << huge << "file";
        // Names that would block in open or read forever.
        QTest::newRow("FIFO") << QByteArray() << "fifo";
        QTest::newRow("character device zero") << QByteArray() << "/dev/zero";
        QTest::newRow("character device null") << QByteArray() << "/dev/null";
        QTest::newRow("folder") << QByteArray() << "folder";
    }

    void aFileThatIsNoPictureLeavesTheViewerEmpty()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, entry);
        const QString name = QStringLiteral("bad-%1.jpg").arg(QTest::currentDataTag());
        const QString path = dir_.filePath(name);
        if (entry == "file")
            writeFile(path, content);
        else if (entry == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (entry == "folder")
            QVERIFY(QDir(dir_.path()).mkdir(name));
        else if (entry.startsWith("/dev/"))
            QVERIFY(QFile::link(entry, path));
        // A load that blocks ends the test here instead of hanging it.
        ::alarm(10);
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Form3d::Form_Load: .+"));
        QElapsedTimer clock;
        clock.start();
        auto viewer = open(name);
        const qint64 elapsed = clock.elapsed();
        ::alarm(0);
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
        QCOMPARE(viewer->windowTitle(), QString());
        QCOMPARE(viewer->Text1->text(), QStringLiteral("表示倍率"));
        QCOMPARE(viewer->OrigWidth, 0);
        QCOMPARE(viewer->OrigHeight, 0);
        QCOMPARE(viewer->ZoomMilli, 0);
        QCOMPARE(viewer->ZoomPercent, 0);
        QVERIFY(viewer->Imag->picture().isNull());
        QCOMPARE(viewer->Imag->widthF(), 41.0f);
    }

    void scrollBarsFollowThePictureAndTheBox_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("vMax");
        QTest::addColumn<int>("hMax");
        QTest::addColumn<int>("hWidth");
        QTest::addColumn<int>("vHeight");
        QTest::newRow("same size") << QSize(300, 200) << false << false << 0 << 0 << 300 << 200;
        QTest::newRow("just smaller")
            << QSize(290, 190) << false << false << 10 << 10 << 300 << 200;
        QTest::newRow("wide") << QSize(400, 150) << false << true << 50 << -100 << 300 << 200;
        QTest::newRow("wide, bar covers")
            << QSize(400, 190) << true << true << -7 << -117 << 283 << 183;
        QTest::newRow("tall, bar covers")
            << QSize(290, 250) << true << true << -67 << -7 << 283 << 183;
    }

    void scrollBarsFollowThePictureAndTheBox()
    {
        QFETCH(QSize, picture);
        QFETCH(bool, vertical);
        QFETCH(bool, horizontal);
        QFETCH(int, vMax);
        QFETCH(int, hMax);
        QFETCH(int, hWidth);
        QFETCH(int, vHeight);
        auto viewer = open(this->picture(picture.width(), picture.height()));
        sizeBox(*viewer, 300, 200);
        QCOMPARE(viewer->pict->geometry(), QRect(0, 26, 300, 200));
        QCOMPARE(!viewer->VScroll1->isHidden(), vertical);
        QCOMPARE(!viewer->HScroll1->isHidden(), horizontal);
        QCOMPARE(!viewer->Pd->isHidden(), vertical && horizontal);
        QCOMPARE(int(viewer->VScroll1->max()), vMax);
        QCOMPARE(int(viewer->HScroll1->max()), hMax);
        QCOMPARE(viewer->HScroll1->width(), hWidth);
        QCOMPARE(viewer->VScroll1->height(), vHeight);
        QCOMPARE(viewer->HScroll1->geometry().topLeft(), QPoint(0, 183));
        QCOMPARE(viewer->VScroll1->geometry().topLeft(), QPoint(283, 0));
        if (vertical && horizontal)
            QCOMPARE(viewer->Pd->geometry(), QRect(283, 183, 17, 17));
        // One click in the trough pans across the whole range.
        QCOMPARE(viewer->VScroll1->largeChange(), picture.height());
        QCOMPARE(viewer->HScroll1->largeChange(), picture.width());
        QVERIFY(!viewer->pict->isHidden());
    }

    void scrollingMovesThePictureAndANewRangeBringsItBack()
    {
        auto viewer = open(picture(290, 250));
        sizeBox(*viewer, 300, 200);
        viewer->show();
        viewer->VScroll1->setValue(-67);
        QCOMPARE(viewer->Imag->topF(), -67.0f);
        QCOMPARE(viewer->Imag->y(), -67);
        // The user's action on the Qt bar reaches the legacy value and the handler.
        viewer->HScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(int(viewer->HScroll1->value()), -7);
        QCOMPARE(viewer->Imag->leftF(), -7.0f);
        viewer->VScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(viewer->Imag->topF(), -47.0f);

        // The visible part is painted from the shifted picture (red left, blue right).
        const QImage shown = viewer->pict->grab().toImage();
        QCOMPARE(shown.pixelColor(130, 50), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(150, 50), QColor(Qt::blue));

        // A taller box shrinks the range: the bar moves its value and the picture follows.
        sizeBox(*viewer, 300, 240);
        // The range before the corner square's 17 pixels (-10) already moves the value.
        QCOMPARE(int(viewer->VScroll1->max()), -27);
        QCOMPARE(int(viewer->VScroll1->value()), -10);
        QCOMPARE(viewer->Imag->topF(), -10.0f);
        // A box larger than the picture: no bars, the picture back at the edges.
        sizeBox(*viewer, 400, 300);
        QVERIFY(viewer->VScroll1->isHidden());
        QVERIFY(viewer->HScroll1->isHidden());
        QVERIFY(viewer->Pd->isHidden());
        QCOMPARE(QPointF(viewer->Imag->leftF(), viewer->Imag->topF()), QPointF(0, 0));
    }

    void scrollBarKeepsLegacyRangeBelowMinimum()
    {
        ScrollBar bar(Qt::Vertical);
        int changes = 0;
        bar.onChange = [&] { ++changes; };
        bar.setMax(-100);
        QCOMPARE(changes, 0);
        QCOMPARE(bar.minimum(), 0);
        QCOMPARE(bar.maximum(), 100);
        bar.setValue(-30);
        QCOMPARE(bar.QScrollBar::value(), 30);
        QCOMPARE(changes, 1);
        bar.setMax(-10);
        QCOMPARE(int(bar.value()), -10);
        QCOMPARE(changes, 2);
        bar.setMax(-50);
        QCOMPARE(changes, 2);
        QVERIFY_THROWS_EXCEPTION(PlatformError, bar.setValue(5));
        QVERIFY_THROWS_EXCEPTION(PlatformError, bar.setLargeChange(0));
        QVERIFY_THROWS_EXCEPTION(PlatformError, bar.setLargeChange(32768));
        bar.setLargeChange(32767);
        QCOMPARE(bar.pageStep(), 32767);
    }

    void minimizingFailsTheLayoutAndRestoringCompletesIt()
    {
        auto viewer = open(picture(400, 190));
        sizeBox(*viewer, 300, 200);
        viewer->show();
        viewer->showMinimized();
        QVERIFY(viewer->VScroll1->isHidden());
        QVERIFY(viewer->HScroll1->isHidden());
        QCOMPARE(viewer->pict->geometry(), QRect(0, 26, 300, 200));
        viewer->showNormal();
        QVERIFY(!viewer->VScroll1->isHidden());
        QVERIFY(!viewer->HScroll1->isHidden());
        QVERIFY(!viewer->Pd->isHidden());
    }

    void aNarrowWindowSpringsBack()
    {
        auto viewer = open(picture(300, 200));
        sizeBox(*viewer, 300, 200);
        viewer->setWidthTwips(1000);
        QCOMPARE(viewer->widthTwips(), 123 * 15); // 1852 twips
        QCOMPARE(viewer->pict->width(), viewer->width());
    }

    void rightReleaseOverThePictureOpensTheMenu()
    {
        auto viewer = open(picture(400, 190));
        sizeBox(*viewer, 300, 200);
        viewer->show();
        QTest::mouseRelease(viewer->Imag, Qt::LeftButton);
        QTest::mouseRelease(viewer->Imag, Qt::MiddleButton);
        QTest::mouseRelease(viewer->pict, Qt::LeftButton);
        QCOMPARE(platform_.popups, QStringList());
        QTest::mouseRelease(viewer->Imag, Qt::RightButton);
        QTest::mouseRelease(viewer->pict, Qt::RightButton);
        QCOMPARE(platform_.popups, QStringList({"mnuR", "mnuR"}));
        platform_.popups.clear();
        // Neither the corner square, the bars nor the toolbar pass a release to the box.
        for (QWidget* other : std::initializer_list<QWidget*>{
                 viewer->Pd, viewer->HScroll1, viewer->VScroll1, viewer->Toolbar1, viewer->btnZin})
            QTest::mouseRelease(other, Qt::RightButton);
        QCOMPARE(platform_.popups, QStringList());
    }

    void openingFromTheRenamingWindowSizesAndShowsANewViewer()
    {
        Form1d main(platform_);
        main.Dir1->setPath(dir_.path());
        Module1::SelectedFileName = picture(640, 480);
        main.OpenF_Click();
        main.OpenF_Click();
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 2);
        for (Form3d* viewer : viewers) {
            QVERIFY(viewer->isVisible());
            QCOMPARE(viewer->OrigWidth, 640);
            // 9785 x 8080 twips, the frame included.
            QCOMPARE(viewer->frameGeometry().size(), QSize(652, 539));
            QVERIFY(!viewer->pict->isHidden());
            viewer->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void menuZoomKeepsTheWindowAndToolbarZoomFitsIt()
    {
        auto viewer = open(picture(640, 480));
        viewer->setWidthTwips(9785);
        viewer->setHeightTwips(8080);
        const QSize before = viewer->size();
        viewer->mnuZin_Click();
        QCOMPARE(viewer->size(), before);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("110%"));
        QCOMPARE(viewer->Imag->widthF(), 704.0f);
        QVERIFY(viewer->Imag->stretch());
        QVERIFY(!viewer->Imag->isHidden());
        // The box is now smaller than the picture.
        QVERIFY(!viewer->HScroll1->isHidden());
        viewer->mnZout_Click();
        QCOMPARE(viewer->ZoomMilli, 100000);
        QCOMPARE(viewer->Imag->widthF(), 640.0f);

        viewer->btnZin->click();
        QCOMPARE(viewer->ZoomMilli, 110000);
        QCOMPARE(viewer->widthTwips(), inPixels(704 * 15 + 187));
        QCOMPARE(viewer->heightTwips(), inPixels(528 * 15 + 892));
        QVERIFY(!viewer->pict->isHidden());
        viewer->Toolbar1_ButtonClick(QStringLiteral("btnZin"));
        viewer->Toolbar1_ButtonClick(QStringLiteral("btnG"));
        QCOMPARE(viewer->Imag->widthF(), 640.0f);
        QCOMPARE(viewer->Imag->heightF(), 480.0f);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
        QCOMPARE(viewer->ZoomPercent, 100);
        QCOMPARE(viewer->widthTwips(), inPixels(640 * 15 + 187));
    }

    // The opening's sizes are outer sizes: the frame that the window manager tells before the
    // window shows is part of them (here the test platform's own).
    void outerSizesIncludeTheWindowManagersFrame()
    {
        Form1d main(platform_);
        main.show();
        const QSize frame = main.frameGeometry().size() - main.size();
        QVERIFY(frame.width() > 0 && frame.height() > 0);
        main.Dir1->setPath(dir_.path());
        for (const QString& name : {picture(640, 480), picture(2000, 1500)}) {
            Module1::SelectedFileName = name;
            main.OpenF_Click();
        }
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 2);
        for (Form3d* viewer : viewers) {
            // 9785 x 8080 twips for 640 x 480; for the larger one a pixel less than the work
            // area, 1024 x 720, which window managers would take for a maximise.
            const QSize outer = viewer->OrigWidth == 640 ? QSize(652, 539) : QSize(1023, 719);
            QCOMPARE(viewer->size(), outer - frame);
            QCOMPARE(viewer->frameGeometry().size(), outer);
            QCOMPARE(viewer->widthTwips(), outer.width() * 15);
            viewer->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A window manager that tells nothing of its frame beforehand: the outer size asked for is
    // applied again once the shown window has its frame.
    void anUntoldFrameIsTakenIntoAccountOnceShown()
    {
        platform_.frameUntold = true;
        Form1d main(platform_);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // The test platform frames a window without moving it; a window manager moves it into
        // its frame, as this move does.
        main.move(main.pos() + QPoint(1, 1));
        QTRY_COMPARE(main.frameGeometry().width(), 378);
        main.Dir1->setPath(dir_.path());
        Module1::SelectedFileName = picture(640, 480);
        main.OpenF_Click();
        const QList<Form3d*> viewers = visibleWindows<Form3d>();
        QCOMPARE(viewers.size(), 1);
        Form3d* viewer = viewers.first();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        viewer->move(viewer->pos() + QPoint(1, 1));
        QTRY_COMPARE(viewer->frameGeometry().size(), QSize(652, 539));
        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Fit window, which the toolbar's zoom runs, never makes the window larger than the work
    // area nor lets it stand out of it; the picture is then reached with the scroll bars.
    void theWindowStaysInsideTheWorkAreaWhileZooming()
    {
        auto viewer = open(picture(200, 150));
        viewer->setWidthTwips(200 * 15 + 185);
        viewer->setHeightTwips(150 * 15 + 880);
        viewer->show();
        viewer->move(300, 200);
        for (int i = 0; i < 40; ++i)
            click(viewer->btnZin);
        QCOMPARE(viewer->ZoomPercent, 4526);
        const QRect area = platform_.workAreaPixels();
        QCOMPARE(viewer->widthTwips(), 15345);
        QCOMPARE(viewer->heightTwips(), 10785);
        QCOMPARE(viewer->frameGeometry().topLeft(), area.topLeft() + QPoint(1, 1));
        QVERIFY(area.contains(viewer->frameGeometry()));
        QVERIFY(!viewer->HScroll1->isHidden());
        QVERIFY(!viewer->VScroll1->isHidden());
        QVERIFY(!viewer->pict->isHidden());
        // Back to actual size: the window fits the picture again, where it stands.
        click(viewer->btnG);
        QCOMPARE(viewer->widthTwips(), inPixels(200 * 15 + 187));
        QVERIFY(viewer->HScroll1->isHidden());
        QVERIFY(viewer->VScroll1->isHidden());
    }

    // Actual size after menu zoom steps: when the window keeps its size, or is maximised, the
    // scroll bars must still follow the picture back to its size.
    void actualSizeLeavesNoStaleScrollBars_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("window as opened") << false;
        QTest::newRow("maximised") << true;
    }
    void actualSizeLeavesNoStaleScrollBars()
    {
        QFETCH(bool, maximized);
        auto viewer = open(picture(640, 480));
        viewer->setWidthTwips(9785);
        viewer->setHeightTwips(8080);
        if (maximized)
            viewer->showMaximized();
        showActive(viewer.get());
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(viewer->pict, Qt::Key_Plus);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("133%"));
        QVERIFY(!viewer->HScroll1->isHidden());
        QTest::keyClick(viewer->pict, Qt::Key_0);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
        QVERIFY(viewer->HScroll1->isHidden());
        QVERIFY(viewer->VScroll1->isHidden());
        QVERIFY(viewer->Pd->isHidden());
        QVERIFY(viewer->HScroll1->max() >= 0);
        QCOMPARE(viewer->Imag->leftF(), 0.0f);
    }

    // The zoom box is narrower than its texts; it shows their beginning, not their end.
    void theZoomBoxShowsTheBeginningOfItsText()
    {
        auto empty = open(QStringLiteral("no such picture.png"));
        auto viewer = open(picture(20, 20));
        showActive(viewer.get());
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(viewer->pict, Qt::Key_Plus);
        empty->show();
        const std::pair<QLineEdit*, QString> boxes[] = {{empty->Text1, QStringLiteral("表示倍率")},
                                                        {viewer->Text1, QStringLiteral("1745%")}};
        for (const auto& [box, text] : boxes) {
            QCOMPARE(box->text(), text);
            box->grab(); // lays the text out as shown
            const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            QVERIFY2(cursor.left() < box->width() / 4, qPrintable(text));
        }
    }

    // Beside the bars' own mouse: the wheel over the picture and the keys pan it, a hidden bar
    // stays out of reach.
    void wheelAndKeysPanThePicture()
    {
        auto viewer = open(picture(640, 480));
        showActive(viewer.get());
        sizeBox(*viewer, 300, 200); // both bars: Max -357 and -297
        QWidget* pict = viewer->pict;
        QTest::keyClick(pict, Qt::Key_Down);
        QCOMPARE(viewer->Imag->topF(), -20.0f);
        QTest::keyClick(pict, Qt::Key_PageDown);
        QCOMPARE(viewer->Imag->topF(), -297.0f);
        QTest::keyClick(pict, Qt::Key_Home);
        QCOMPARE(viewer->Imag->topF(), 0.0f);
        QTest::keyClick(pict, Qt::Key_End);
        QCOMPARE(viewer->VScroll1->value(), -297);
        QTest::keyClick(pict, Qt::Key_Right);
        QTest::keyClick(pict, Qt::Key_Right);
        QCOMPARE(viewer->Imag->leftF(), -40.0f);
        QTest::keyClick(pict, Qt::Key_Left);
        QCOMPARE(viewer->Imag->leftF(), -20.0f);
        QTest::keyClick(pict, Qt::Key_Home);
        const int lines = QApplication::wheelScrollLines();
        wheel(viewer->Imag, QPoint(0, -120)); // over the picture, towards the user
        QCOMPARE(viewer->Imag->topF(), -20.0f * lines);
        wheel(viewer->Imag, QPoint(0, 120));
        QCOMPARE(viewer->Imag->topF(), 0.0f);
        wheel(pict, QPoint(0, -120), Qt::ShiftModifier);
        QCOMPARE(viewer->Imag->leftF(), std::max(-20.0f - 20.0f * lines, -357.0f));
        QCOMPARE(viewer->Imag->topF(), 0.0f);

        // Wide enough for the whole width: the horizontal bar is hidden and does not move.
        sizeBox(*viewer, 700, 200);
        QVERIFY(viewer->HScroll1->isHidden());
        QCOMPARE(viewer->Imag->leftF(), 0.0f);
        QTest::keyClick(pict, Qt::Key_Right);
        wheel(pict, QPoint(0, -120), Qt::ShiftModifier);
        QCOMPARE(viewer->Imag->leftF(), 0.0f);
    }

    void saveWritesTheFileAsItWasLoaded()
    {
        // A JPEG with a comment: its own format and metadata must survive the save.
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QImageWriter writer(dir_.filePath(QStringLiteral("photo.jpg")), "jpg");
        writer.setText(QStringLiteral("Description"), QStringLiteral("taken at home"));
        QVERIFY(writer.write(image));
        const QByteArray original = readFile(dir_.filePath(QStringLiteral("photo.jpg")));

        auto viewer = open(QStringLiteral("photo.jpg"));
        viewer->mnuZin_Click();
        viewer->mnuSave_Click(); // cancelled
        QCOMPARE(platform_.proposedNames, QStringList({QStringLiteral("photo.jpg")}));
        for (const char* target : {"saved.gif", "saved.jpg", "saved"}) {
            platform_.savePath = dir_.filePath(QString::fromLatin1(target));
            viewer->Toolbar1_ButtonClick(QStringLiteral("btnSav"));
            QCOMPARE(readFile(*platform_.savePath), original);
        }
        QVERIFY(platform_.messages.isEmpty());
    }

    // Each viewer proposes the name of the picture it shows, also after a later opening: the
    // newest opening's name would let Enter replace that other file with this picture.
    void saveProposesTheShownFileAfterALaterOpening()
    {
        const QString first = picture(64, 48);
        const QString second = picture(96, 64);
        auto older = open(first);
        auto newer = open(second);
        showActive(older.get());
        QTest::keyClick(older.get(), Qt::Key_S, Qt::ControlModifier);
        showActive(newer.get());
        QTest::keyClick(newer.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(platform_.proposedNames, QStringList({first, second}));
    }

    // The dialog opens in the shown picture's folder, also after a save elsewhere, and replacing
    // a file is asked with its whole path: いいえ writes nothing.
    void saveOpensInThePicturesFolderAndAsksWithTheWholePath()
    {
        QDir(dir_.path()).mkpath(QStringLiteral("y"));
        const QString name = picture(65, 49); // of this test alone: its name is taken below
        const QString other = dir_.filePath(name);
        QVERIFY(QFile::rename(other, dir_.filePath(QStringLiteral("y/") + name)));
        writeFile(other, "ANOTHER PHOTO");
        Module1::SelectedFileName = name;
        const QString y = dir_.filePath(QStringLiteral("y"));
        Form3d viewer(platform_, [y]() -> const QString& { return y; });
        viewer.setAttribute(Qt::WA_DeleteOnClose, false);
        showActive(&viewer);
        platform_.savePath = other;
        platform_.answerYes = false;
        QTest::keyClick(&viewer, Qt::Key_S, Qt::ControlModifier);
        platform_.answerYes = true;
        QCOMPARE(platform_.saveFolders, QStringList({y, dir_.path()}));
        QCOMPARE(platform_.proposedNames, QStringList({name, name}));
        QCOMPARE(platform_.questions,
                 QStringList({other + QStringLiteral(" はすでにあります。\n置き換えますか？")}));
        QCOMPARE(readFile(other), QByteArray("ANOTHER PHOTO"));
        platform_.savePath = dir_.filePath(QStringLiteral("saved.png"));
        QTest::keyClick(&viewer, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(*platform_.savePath));
        platform_.savePath.reset();
        QTest::keyClick(&viewer, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(platform_.saveFolders.last(), y);
        QCOMPARE(platform_.questions.size(), 1);
    }

    void savingOverTheOriginalLeavesItByteForByte()
    {
        const QString name = picture(64, 48);
        const QString path = dir_.filePath(name);
        const QByteArray original = readFile(path);
        auto viewer = open(name);
        platform_.savePath = path;
        viewer->mnuSave_Click();
        QVERIFY(platform_.messages.isEmpty());
        QCOMPARE(readFile(path), original);
    }

    void aPictureChangedOnDiskStillSavesWhatWasShown()
    {
        const QString name = QStringLiteral("changing.png");
        QImage shown(32, 32, QImage::Format_RGB32);
        shown.fill(Qt::red);
        QVERIFY(shown.save(dir_.filePath(name)));
        const QByteArray original = readFile(dir_.filePath(name));
        auto viewer = open(name);
        writeFile(dir_.filePath(name), "replaced after opening");
        platform_.savePath = dir_.filePath(QStringLiteral("kept.png"));
        viewer->mnuSave_Click();
        QCOMPARE(readFile(*platform_.savePath), original);
    }

    // A table: one row a line, as it reads.
    // clang-format off
    void aFailedSaveSaysWhyAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder")
            << "no-such-folder/x.png" << "ファイルまたはフォルダーが見つかりません。";
        QTest::newRow("a folder of that name") << "a-folder.png" << "その名前はフォルダーです。";
        QTest::newRow("name over 255 bytes") << QString(300, 'x') << "ファイル名が長すぎます。";
    }
    // clang-format on
    void aFailedSaveSaysWhyAndKeepsTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QDir(dir_.path()).mkpath(QStringLiteral("a-folder.png/inside"));
        auto viewer = open(picture(64, 48));
        const int beeps = platform_.beeps;
        platform_.savePath = dir_.filePath(target);
        viewer->mnuSave_Click();
        QCOMPARE(platform_.beeps, beeps + 1);
        QCOMPARE(platform_.messages.size(), 1);
        QCOMPARE(platform_.messages[0].text,
                 *platform_.savePath + QStringLiteral(" に保存できませんでした。\n") + reason);
        QCOMPARE(platform_.messages[0].title, QStringLiteral("Numbrella ポテリカ"));
        const QDir folder(dir_.filePath(QStringLiteral("a-folder.png")));
        QCOMPARE(folder.entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList({QStringLiteral("inside")}));
    }

    void aViewerWithoutAPictureSavesNothing()
    {
        QFile bad(dir_.filePath(QStringLiteral("notes.jpg")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a picture");
        bad.close();
        auto viewer = open(QStringLiteral("notes.jpg"));
        platform_.savePath = dir_.filePath(QStringLiteral("out.bmp"));
        viewer->mnuSave_Click();
        QVERIFY(!QFile::exists(*platform_.savePath));
        QCOMPARE(platform_.messages.size(), 1);
    }

    void printingOkPrintsThePictureAndCancelNothing()
    {
        auto viewer = open(picture(640, 480));
        viewer->mnuPrint_Click(); // cancelled
        platform_.printToPdf = dir_.filePath(QStringLiteral("out.pdf"));
        QVERIFY(!QFile::exists(platform_.printToPdf));
        viewer->mnuPrint_Click();
        QFile pdf(platform_.printToPdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray content = pdf.readAll();
        QVERIFY(content.startsWith("%PDF"));
        QVERIFY(content.contains("/Image"));
    }

    void aPrintedPictureFillsThePageInProportion_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("page");
        QTest::addColumn<QRect>("target");
        QTest::newRow("wide on a tall page: full width, centred vertically")
            << QSize(400, 200) << QRect(10, 20, 1000, 1400) << QRect(10, 470, 1000, 500);
        QTest::newRow("tall on a tall page: full height, centred sideways")
            << QSize(100, 300) << QRect(0, 0, 1000, 1500) << QRect(250, 0, 500, 1500);
        QTest::newRow("small picture grows to the page")
            << QSize(10, 10) << QRect(0, 0, 300, 200) << QRect(50, 0, 200, 200);
    }
    void aPrintedPictureFillsThePageInProportion()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, page);
        QFETCH(QRect, target);
        QCOMPARE(printTarget(picture, page), target);
    }

    void zoomingPastTheLimitsEndsQuietlyAndActualSizeRecovers()
    {
        auto viewer = open(picture(2, 2));
        // Through the menu, as the user does: an overflow ends the command and nothing else.
        QAction* zoomIn = viewer->findChild<QAction*>(QStringLiteral("mnuZin"));
        QVERIFY(zoomIn);
        for (int i = 0; i < 110; ++i)
            zoomIn->trigger();
        QCOMPARE(viewer->ZoomMilli, 2017621813);
        viewer->mnuG_Click();
        QCOMPARE(viewer->ZoomMilli, 100000);
        QCOMPARE(viewer->Imag->widthF(), 2.0f);
        // A picture scaled down to nothing stays at nothing; actual size brings it back.
        for (int i = 0; i < 20; ++i)
            viewer->mnZout_Click();
        QCOMPARE(viewer->Imag->widthF() < 1.0f, true);
        viewer->Toolbar1_ButtonClick(QStringLiteral("btnG"));
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
        QCOMPARE(viewer->Imag->heightF(), 2.0f);
    }

    void toolbarKeysCompareExactly()
    {
        auto viewer = open(picture(640, 480));
        viewer->Toolbar1_ButtonClick(QStringLiteral("BTNZIN"));
        viewer->Toolbar1_ButtonClick(QStringLiteral("btnzin"));
        QCOMPARE(viewer->ZoomMilli, 100000);
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
    }

    void fitDoesNothingOnAMaximizedWindow()
    {
        auto viewer = open(picture(640, 480));
        viewer->showMaximized();
        const QSize before = viewer->size();
        viewer->mnuZin_Click();
        viewer->mnuFit_Click();
        QCOMPARE(viewer->size(), before);
        viewer->mnuG_Click();
        QCOMPARE(viewer->Text1->text(), QStringLiteral("100%"));
        QCOMPARE(viewer->size(), before);
    }

    void closeCommandClosesAndDeletesTheWindow()
    {
        Module1::SelectedFileName = picture(300, 200);
        QPointer<Form3d> viewer = new Form3d(platform_, [this] { return dir_.path(); });
        viewer->show();
        viewer->mnuCls->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(viewer.isNull());
    }
};

QTEST_MAIN(TestViewer)
#include "test_viewer.moc"

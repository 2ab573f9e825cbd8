// Run once for each screen density (QT_SCALE_FACTOR): the windows must come out the same in
// device-independent pixels, with their pictures drawn at the density of the screen.
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
#include "platform/desktop/QtPlatform.h"
#include "rename/Form1d.h"
#include "viewer/Form3d.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// The real platform, so that twips come from the screen; but never the single-instance lock,
// since the densities run side by side.
class ScreenPlatform : public QtPlatform
{
public:
    bool anotherInstanceRunning() override { return false; }
};

qreal expectedRatio()
{
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    return factor.isEmpty() ? 1.0 : factor.toDouble();
}

// A caption is cut off when its glyphs are wider or taller than the control's face.
void checkCaptionFits(const QWidget* control, const QString& caption, int margin = 0)
{
    const QRect ink = control->fontMetrics().tightBoundingRect(caption);
    const QString what = control->objectName() + QLatin1Char(' ') + caption;
    QVERIFY2(ink.width() + margin <= control->width(), qPrintable(what));
    QVERIFY2(ink.height() <= control->height(), qPrintable(what));
}

// A grab of a window holds one device pixel for each pixel of the screen.
void checkGrabIsAtTheDensity(QWidget* window)
{
    const QPixmap shot = window->grab();
    QCOMPARE(shot.devicePixelRatio(), expectedRatio());
    QCOMPARE(shot.size(), (QSizeF(window->size()) * expectedRatio()).toSize());
}

} // namespace

class DensityTest : public QObject
{
    Q_OBJECT

    ScreenPlatform platform;
    QTemporaryDir dir;

private slots:
    // GNOME's desktop font is 11 pt: a layout fixed in twips must not take its size.
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 11)); }

    void aTwipIsAFifteenthOfAPixelAtEveryDensity()
    {
        QCOMPARE(qApp->devicePixelRatio(), expectedRatio());
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0);
        QCOMPARE(platform.twipsPerPixelX(), 15.0);
        QCOMPARE(platform.twipsPerPixelY(), 15.0);
    }

    void theRenamingWindowKeepsItsLayout()
    {
        QDir::setCurrent(dir.path());
        Form1d form(platform);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.width(), 378);
        QCOMPARE(form.centralWidget()->size(), QSize(516, 519));
        QCOMPARE(form.Drive1->geometry(), QRect(1, 0, 185, 20));
        QCOMPARE(form.Command1->geometry(), QRect(189, 23, 50, 20));
        QCOMPARE(form.File1->geometry(), QRect(187, 45, 185, 474));
        QCOMPARE(form.Label1->geometry(), QRect(196, 3, 41, 13));
        checkCaptionFits(form.Label1, form.Label1->text());
        checkCaptionFits(form.Command1, form.Command1->text(), 4);
        checkCaptionFits(form.Command2, form.Command2->text(), 4);
        for (const ComboBox* combo : {form.Combo1, form.Combo2})
            for (int i = 0; i < combo->count(); ++i)
                checkCaptionFits(combo->lineEdit(), combo->itemText(i), 4);
        // Every control but the counter (kept out of sight on purpose) lies in the window.
        const QRect client(0, 0, form.width(), form.centralWidget()->height());
        for (QWidget* control :
             form.centralWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (control != form.Text2)
                QVERIFY2(client.contains(control->geometry()), qPrintable(control->objectName()));
        checkGrabIsAtTheDensity(&form);
    }

    void theViewerShowsThePictureAtItsSizeTimesTheZoom()
    {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(dir.filePath("a.png")));
        Module1::SelectedFileName = "a.png";
        const QString folder = dir.path();
        Form3d viewer(platform, [folder]() -> const QString& { return folder; });
        viewer.setAttribute(Qt::WA_DeleteOnClose, false);
        viewer.setWidthTwips(6000);
        viewer.setHeightTwips(5000);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.Imag->size(), QSize(120, 80));
        viewer.mnuZin_Click();
        QCOMPARE(viewer.Imag->size(), QSize(132, 88));
        QCOMPARE(viewer.Toolbar1->height(), 26);
        // The toolbar pictures are drawn for the screen's density, not blown up.
        for (QToolButton* button : {viewer.btnZin, viewer.btnG, viewer.btnZout}) {
            QCOMPARE(button->geometry().size(), QSize(23, 22));
            const QPixmap face = button->icon().pixmap(button->iconSize(), expectedRatio());
            QCOMPARE(face.devicePixelRatio(), expectedRatio());
            QCOMPARE(face.size(), (QSizeF(16, 16) * expectedRatio()).toSize());
        }
        checkCaptionFits(viewer.Text1, viewer.Text1->text(), 4);
        for (int step = 1; step < 40; ++step)
            viewer.mnuZin_Click();
        QCOMPARE(viewer.Text1->text(), QStringLiteral("4526%"));
        checkCaptionFits(viewer.Text1, viewer.Text1->text(), 8);
        checkGrabIsAtTheDensity(&viewer);
    }

    void theAboutWindowKeepsItsLayoutAndASharpIcon()
    {
        Form2d about(platform);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.size(), QSize(312, 213));
        QCOMPARE(about.Command1->geometry(), QRect(112, 160, 81, 25));
        for (QLabel* label : {about.Label1, about.lblVersion, about.lblDisclaimer, about.Label2})
            checkCaptionFits(label, label->text());
        const QPixmap icon = about.Image1->pixmap();
        QCOMPARE(icon.devicePixelRatio(), expectedRatio());
        QCOMPARE(icon.size(), (QSizeF(32, 32) * expectedRatio()).toSize());
        checkGrabIsAtTheDensity(&about);
    }
};

QTEST_MAIN(DensityTest)
#include "test_density.moc"

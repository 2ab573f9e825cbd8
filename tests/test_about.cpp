#include "about/Form2d.h"
#include "app/icon.h"
#include "rename/Form1d.h"
#include "support/FakePlatform.h"
#include "support/Input.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class AboutTest : public QObject
{
    Q_OBJECT
private slots:
    void showsItsTextsExactly()
    {
        FakePlatform platform;
        Form2d about(platform);
        QCOMPARE(about.windowTitle(), QString("Numbrella   バージョン情報"));
        QCOMPARE(about.Label1->text(), QString("製品名       Numbrella"));
        QCOMPARE(about.lblVersion->text(), QString("ﾊﾞｰｼﾞｮﾝ      1.00 20010503"));
        QCOMPARE(about.size(), QSize(312, 213));
        QCOMPARE(about.Command1->geometry(), QRect(112, 160, 81, 25));
        QVERIFY(!about.Command1->isDefault());
        QVERIFY(!about.Image1->pixmap().isNull());
    }

    void eachVersionCommandOpensAnIndependentWindow()
    {
        FakePlatform platform;
        Form1d form(platform);
        form.mver->trigger();
        form.mver->trigger();
        QList<Form2d*> windows = visibleWindows<Form2d>();
        QCOMPARE(windows.size(), 2);
        QPointer<Form2d> first = windows[0];
        QPointer<Form2d> second = windows[1];
        // Enter presses the focused "OK", as Space and a click do.
        showActive(first);
        first->Command1->setFocus();
        QTest::keyClick(first->Command1, Qt::Key_Return);
        QTRY_VERIFY(first.isNull());
        QVERIFY(!second.isNull() && second->isVisible());
        // Neither Esc nor Enter elsewhere than on the button closes it: "OK" is neither the
        // default nor the cancel button. The close box does, like "OK".
        QTest::keyClick(second, Qt::Key_Escape);
        QTest::keyClick(second, Qt::Key_Return);
        QTest::keyClick(second->lblVersion, Qt::Key_Return);
        QVERIFY(!second.isNull() && second->isVisible());
        second->close();
        QTRY_VERIFY(second.isNull());
        // "Numbrellaについて" does nothing.
        form.mfil->trigger();
        QCOMPARE(visibleWindows<Form2d>().size(), 0);
    }

    void theIconHasTwoSizesInSixteenColours()
    {
        for (int size : {16, 32}) {
            const QImage image = programIconImage(size);
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.colorCount() <= 16);
            QVERIFY(image.convertToFormat(QImage::Format_ARGB32)
                    != QImage(size, size, QImage::Format_ARGB32));
        }
    }
};

QTEST_MAIN(AboutTest)
#include "test_about.moc"

#include "app/translations.h"
#include "platform/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

struct Seen
{
    QString title;
    QStringList texts;
};

// Reads the modal dialog that the next call opens, then closes it with Esc as a user would.
void readAndCancelNextDialog(Seen& seen)
{
    QTimer::singleShot(0, [&seen] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        seen.title = dialog->windowTitle();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            seen.texts << label->text();
        for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            seen.texts << button->text();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

// Reads the modal question that opens next and presses the button whose text begins so.
void readAndAnswerNextDialog(Seen& seen, const QString& answer)
{
    QTimer::singleShot(0, [&seen, answer] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        seen.title = box->windowTitle();
        for (const QLabel* label : box->findChildren<QLabel*>())
            seen.texts << label->text();
        for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
            seen.texts << button->text();
            if (button->text().startsWith(answer))
                QTest::mouseClick(button, Qt::LeftButton);
        }
    });
}

} // namespace

// The real dialogs of the program's platform, in Japanese like the rest of the program.
class QtPlatformTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { installJapaneseTranslations(*qApp); }

    void theSaveDialogSpeaksJapaneseAndCancelSavesNothing()
    {
        QtPlatform platform;
        Seen seen;
        readAndCancelNextDialog(seen);
        const std::optional<QString> path = platform.saveDialog(
            nullptr, QStringLiteral("photo001.jpg"), QStringLiteral("jpg|*.jpg|bmp|*.bmp|"));
        QVERIFY(!path);
        QCOMPARE(seen.title, QStringLiteral("名前を付けて保存"));
        QVERIFY2(seen.texts.contains(QStringLiteral("保存(&S)")), qPrintable(seen.texts.join('|')));
        // GNOME's button texts carry a mnemonic: "キャンセル(&C)".
        QVERIFY2(!seen.texts.filter(QRegularExpression(QStringLiteral("^キャンセル"))).isEmpty(),
                 qPrintable(seen.texts.join('|')));
    }

    void replacingAFileIsAskedInJapaneseNamingIt()
    {
        QTemporaryDir dir;
        QFile taken(dir.filePath(QStringLiteral("photo001.jpg")));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();
        QtPlatform platform;
        Seen question;
        // Enter takes the proposed name, which is taken; the question is read and answered No,
        // and the dialog then cancelled.
        QTimer::singleShot(0, [&question] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            readAndAnswerNextDialog(question, QStringLiteral("いいえ"));
            QTest::keyClick(dialog, Qt::Key_Return);
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        });
        const std::optional<QString> path =
            platform.saveDialog(nullptr, taken.fileName(), QStringLiteral("jpg|*.jpg|"));
        QVERIFY(!path);
        const QString said = question.texts.join('|');
        QVERIFY2(said.contains(QStringLiteral("photo001.jpg"))
                     && said.contains(QStringLiteral("はい"))
                     && said.contains(QStringLiteral("いいえ")),
                 qPrintable(said));
    }

    void thePrintDialogSpeaksJapanese()
    {
        QtPlatform platform;
        Seen seen;
        readAndCancelNextDialog(seen);
        QVERIFY(!platform.printDialog(nullptr));
        QCOMPARE(seen.title, QStringLiteral("印刷"));
    }

    void theLegacyFilterBecomesQtFilters()
    {
        QCOMPARE(qtFileFilter(QStringLiteral("jpg|*.jpg|bmp|*.bmp|ico|*.ico|")),
                 QStringLiteral("jpg (*.jpg);;bmp (*.bmp);;ico (*.ico)"));
    }
};

QTEST_MAIN(QtPlatformTest)
#include "test_qtplatform.moc"

#include "app/translations.h"
#include "platform/desktop/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPrinter>
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
        const std::optional<QString> path =
            platform.saveDialog(nullptr, QDir::tempPath(), QStringLiteral("photo001.jpg"),
                                QStringLiteral("jpg|*.jpg|bmp|*.bmp|"));
        QVERIFY(!path);
        QCOMPARE(seen.title, QStringLiteral("名前を付けて保存"));
        QVERIFY2(seen.texts.contains(QStringLiteral("保存(&S)")), qPrintable(seen.texts.join('|')));
        // GNOME's button texts carry a mnemonic: "キャンセル(&C)".
        QVERIFY2(!seen.texts.filter(QRegularExpression(QStringLiteral("^キャンセル"))).isEmpty(),
                 qPrintable(seen.texts.join('|')));
    }

    // Replacing a file is asked in Japanese, and Esc keeps the file.
    void theQuestionOffersHaiAndIieAndEscSaysNo()
    {
        QtPlatform platform;
        Seen seen;
        readAndCancelNextDialog(seen);
        QVERIFY(!platform.askYesNo(nullptr, QStringLiteral("/a/b.jpg はすでにあります。"),
                                   QStringLiteral("Numbrella ポテリカ")));
        QVERIFY2(seen.texts.contains(QStringLiteral("はい")) && seen.texts.contains("いいえ"),
                 qPrintable(seen.texts.join('|')));
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

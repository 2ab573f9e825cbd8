#pragma once

#include "platform/desktop/Platform.h"
#include "platform/files/Mounts.h"

#include <QAction>
#include <QMenu>
#include <QPrinter>
#include <QWidget>
#include <QWindow>
#include <functional>

// Records what the program asks of the platform, answers as the test says, never blocks.
class FakePlatform : public Platform
{
public:
    struct Message
    {
        QString text;
        QString title;
    };

    int beeps = 0;
    QList<Message> messages;
    QStringList popups;    // objectName of each menu shown
    QString chooseInPopup; // objectName of the action to trigger, empty for none
    std::optional<QString> savePath;
    QStringList proposedNames;
    QStringList saveFolders;
    QStringList questions; // the text of each yes-or-no question asked
    bool answerYes = true;
    QString saveFilter;
    QString printToPdf;           // empty: the print dialog is cancelled
    QSize workArea{15360, 10800}; // twips
    // The window manager tells of its frame before a window shows what the test's own platform
    // then puts around it (offscreen draws 2 pixels a side), so that before and after showing
    // agree, as they do under a window manager; unless it tells nothing beforehand.
    bool frameUntold = false;
    std::optional<QMargins> toldFrame; // a frame the window manager tells instead of the above
    QStringList driveRoots = mountedDrives();
    bool otherInstance = false;
    bool ended = false;
    std::optional<QPoint> popupAt;
    std::function<void()> duringMessage;

    void beep() override { ++beeps; }
    void messageBox(QWidget*, const QString& text, const QString& title) override
    {
        messages.append({text, title});
        if (duringMessage)
            duringMessage();
    }
    QAction* popupMenu(QMenu* menu, std::optional<QPoint> at) override
    {
        popups << menu->objectName();
        popupAt = at;
        for (QAction* action : menu->actions()) {
            if (!chooseInPopup.isEmpty() && action->objectName() == chooseInPopup) {
                action->trigger();
                return action;
            }
        }
        return nullptr;
    }
    std::optional<QString> saveDialog(QWidget*, const QString& folder, const QString& proposed,
                                      const QString& filter) override
    {
        saveFolders << folder;
        proposedNames << proposed;
        saveFilter = filter;
        return savePath;
    }
    bool askYesNo(QWidget*, const QString& text, const QString&) override
    {
        questions << text;
        // いいえ brings the save dialog back, which the user then cancels.
        if (!answerYes)
            savePath.reset();
        return answerYes;
    }
    std::unique_ptr<QPrinter> printDialog(QWidget*) override
    {
        if (printToPdf.isEmpty())
            return nullptr;
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printToPdf);
        return printer;
    }
    QSize workAreaTwips() override { return workArea; }
    QRect workAreaPixels() override
    {
        return QRect(0, 0, workArea.width() / 15, workArea.height() / 15);
    }
    std::optional<QMargins> frameExtents(QWidget* window) override
    {
        if (frameUntold)
            return std::nullopt;
        if (toldFrame)
            return toldFrame;
        window->winId();
        return window->windowHandle()->frameMargins();
    }
    double twipsPerPixelX() override { return 15.0; }
    double twipsPerPixelY() override { return 15.0; }
    QStringList drives() override { return driveRoots; }
    bool anotherInstanceRunning() override { return otherInstance; }
    void endProgram() override { ended = true; }
    bool endRequested() const override { return ended; }
};

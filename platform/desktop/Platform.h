#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPrinter;
class QWidget;

// Everything modal, audible or process-wide. The program uses QtPlatform; tests use a
// recording fake so that nothing ever blocks on a modal window.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual void beep() = 0;
    // A modal box with the information icon and one OK button; returns when it is closed.
    virtual void messageBox(QWidget* parent, const QString& text, const QString& title) = 0;
    // Shows the menu at the mouse pointer, or at a global position when the keyboard asked
    // for it; a chosen item has been triggered when this returns.
    virtual QAction* popupMenu(QMenu* menu, std::optional<QPoint> at = std::nullopt) = 0;
    // Opens in folder with proposedName filled in; filter is in the "description|pattern|..."
    // form. Returns the chosen path, or nothing on cancel. It never asks about replacing a file:
    // the caller does, naming the whole path.
    virtual std::optional<QString> saveDialog(QWidget* parent, const QString& folder,
                                              const QString& proposedName,
                                              const QString& filter) = 0;
    // A modal question with はい and いいえ, いいえ the default; true for はい.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title) = 0;
    // Returns the printer the user confirmed, or null on cancel.
    virtual std::unique_ptr<QPrinter> printDialog(QWidget* parent) = 0;

    // The screen's work area (without task bar), in twips.
    virtual QSize workAreaTwips() = 0;
    // The same area in pixels, with its place on the screen.
    virtual QRect workAreaPixels() = 0;
    // The frame the window manager puts around a top-level window, asked before the window is
    // shown; nothing when the window manager does not tell.
    virtual std::optional<QMargins> frameExtents(QWidget* window) = 0;
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;

    // The roots of the drives the drive list offers.
    virtual QStringList drives() = 0;

    virtual bool anotherInstanceRunning() = 0;
    // Ends the program at once: no window's close handling runs.
    virtual void endProgram() = 0;
    virtual bool endRequested() const = 0;
};

// The program's title over every message box it shows.
extern const QString kMessageTitle;

// How the program tells the user anything: a beep, then a modal box with the information
// icon, the program's title and one OK button; returns when it is closed.
void beepAndTell(Platform& platform, QWidget* parent, const QString& text);

#pragma once

#include "platform/desktop/InstanceLock.h"
#include "platform/desktop/Platform.h"

// The Platform of the real program, on Qt.
class QtPlatform : public Platform
{
public:
    QtPlatform();
    ~QtPlatform() override;

    void beep() override;
    void messageBox(QWidget* parent, const QString& text, const QString& title) override;
    QAction* popupMenu(QMenu* menu, std::optional<QPoint> at) override;
    std::optional<QString> saveDialog(QWidget* parent, const QString& folder,
                                      const QString& proposedName, const QString& filter) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title) override;
    std::unique_ptr<QPrinter> printDialog(QWidget* parent) override;
    QSize workAreaTwips() override;
    QRect workAreaPixels() override;
    std::optional<QMargins> frameExtents(QWidget* window) override;
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    QStringList drives() override;
    bool anotherInstanceRunning() override;
    void endProgram() override;
    bool endRequested() const override { return ended_; }

private:
    InstanceLock instanceLock_;
    bool ended_ = false;
};

// "jpg|*.jpg|bmp|*.bmp|" as a Qt file dialog filter: "jpg (*.jpg);;bmp (*.bmp)".
QString qtFileFilter(const QString& legacyFilter);

#pragma once

#include <QTreeWidget>
#include <functional>

struct Drive;
class QKeyEvent;

// The folder list: the folders from the root down to Path, then Path's subfolders.
class DirList : public QTreeWidget
{
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Throws PlatformError when the folder cannot be read; Path is then unchanged.
    void setPath(const QString& folder);
    // Shows the drive's folder. Throws PlatformError when the drive is not ready.
    void setPath(const Drive& drive);

    std::function<void()> onChange;
    // The user opened a folder that cannot be read (or whose files cannot): the list has gone
    // back to the folder shown before, and the window tells why.
    std::function<void(const QString& folder, const QString& reason)> onOpenFailed;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild(const QStringList& subfolders);
    void open(QTreeWidgetItem* item);
    QString path_;
};

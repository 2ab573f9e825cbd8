#pragma once

#include <QComboBox>
#include <QListView>
#include <QStringList>
#include <QTreeWidget>
#include <functional>

class QKeyEvent;
class QMouseEvent;

// The keys that open a pop-up menu from the keyboard: the menu key, or Shift+F10.
bool isMenuKey(const QKeyEvent* event);

class QStringListModel;

// A drive as the drive list names it: the root folder of a mounted file system, and the folder
// that choosing it shows: the current folder when this drive holds it, else the root.
struct Drive
{
    QString root;
    QString folder;
};

// The drive list. Change is raised, synchronously, only when the drive really changes.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    void setDrives(const QStringList& roots);
    Drive drive() const;
    // Selects the drive that holds path (a drive root or any folder below one).
    void setDrive(const QString& path);

    std::function<void()> onChange;

private:
    void chosen(int index);
    QStringList roots_;
    QString current_;
};

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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    void open(QTreeWidgetItem* item);
    QString path_;
};

// The file list: a synchronous snapshot of one folder's matching files.
class FileList : public QListView
{
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& folder);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    int listCount() const { return int(names_.size()); }
    QString list(int index) const;
    // The selected name, empty when none is selected.
    QString fileName() const;
    void setSelectedIndex(int index);
    // Reads the folder again with the current pattern; an unreadable folder leaves the list
    // empty and throws.
    void refresh();
    int refreshCount() const { return refreshes_; }

    std::function<void()> onDblClick;
    std::function<void(int button)> onMouseUp;
    std::function<void()> onEnter;
    // The menu key or Shift+F10: the keyboard's right-button release.
    std::function<void()> onMenuKey;
    // Where a menu opened from the keyboard belongs: by the current item, in global pixels.
    QPoint menuPosition() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QStringListModel* model_;
    QString path_;
    QString pattern_ = QStringLiteral("*.jpg;*.jpeg");
    QStringList names_;
    int refreshes_ = 0;
};

// Legacy mouse button numbers: 1 left, 2 right, 4 middle.
int legacyButton(Qt::MouseButton button);

// Raises a control's MouseUp event with the released button's legacy number.
void raiseMouseUp(const QMouseEvent* event, const std::function<void(int button)>& onMouseUp);

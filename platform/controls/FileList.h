#pragma once

#include <QListView>
#include <QStringList>
#include <functional>

class QKeyEvent;
class QMouseEvent;
class QStringListModel;

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
    // A listed name as the system holds it (nameFromBytes), which the list shows as shownName.
    QString list(int index) const;
    // Every listed name, in list order.
    const QStringList& names() const { return names_; }
    // The selected name, likewise; empty when none is selected.
    QString fileName() const;
    void setSelectedIndex(int index);
    // Reads the folder again with the current pattern; an unreadable folder leaves the list
    // empty and throws.
    void refresh();
    // Why the list is empty when the last reading of its folder failed; empty otherwise.
    QString readFailure() const { return readFailure_; }
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
    QStringList read(const QString& folder, const QString& pattern);
    void showNames(QStringList names);

    QStringListModel* model_;
    QString path_;
    QString pattern_ = QStringLiteral("*.jpg;*.jpeg");
    QStringList names_;
    QString readFailure_;
    int refreshes_ = 0;
};

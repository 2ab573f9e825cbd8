#include "platform/controls/FileList.h"

#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "core/RuntimeError.h"
#include "platform/controls/Events.h"
#include "platform/files/FolderReader.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>

FileList::FileList(QWidget* parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

// Read before anything changes: a folder that cannot be read leaves the list as it was, with
// the folder shown before, and throws.
void FileList::setPath(const QString& folder)
{
    QStringList names = read(folder, pattern_);
    path_ = folder;
    showNames(std::move(names));
}

void FileList::setPattern(const QString& pattern)
{
    QStringList names = read(path_, pattern);
    pattern_ = pattern;
    showNames(std::move(names));
}

QString FileList::list(int index) const
{
    if (index < 0 || index >= names_.size())
        throw RuntimeError::indexOutOfRange(QStringLiteral("List"));
    return names_[index];
}

QString FileList::fileName() const
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || !selectionModel()->isSelected(index))
        return {};
    return names_.value(index.row());
}

void FileList::setSelectedIndex(int index)
{
    setCurrentIndex(model_->index(index, 0));
}

QStringList FileList::read(const QString& folder, const QString& pattern)
{
    ++refreshes_;
    return readMatchingFiles(folder, pattern);
}

void FileList::showNames(QStringList names)
{
    names_ = std::move(names);
    readFailure_.clear();
    // The list keeps each name as the system holds it, for the run and the viewer, and shows it
    // as people read it.
    QStringList shown = names_;
    for (QString& name : shown)
        name = shownName(name);
    model_->setStringList(shown);
}

void FileList::refresh()
{
    QStringList names;
    try {
        names = read(path_, pattern_);
    } catch (const PlatformError& error) {
        // The files the list showed may have changed since: none are shown, and why is kept.
        showNames({});
        readFailure_ = error.reason();
        throw;
    }
    showNames(std::move(names));
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    // A right-button press keeps the selection as it was; the release opens the menu.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FileList::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    raiseFromQt(onMouseUp, legacyButton(event->button()));
}

void FileList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        raiseFromQt(onDblClick);
}

QPoint FileList::menuPosition() const
{
    const QRect item = visualRect(currentIndex());
    const QPoint local = item.isValid() ? item.bottomLeft() : QPoint(0, 0);
    return viewport()->mapToGlobal(local);
}

void FileList::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu key arrives as a key press too, and is handled there; the right button
    // works through the release.
    event->accept();
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    if (isMenuKey(event)) {
        raiseFromQt(onMenuKey);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Like a double-click on the current file, which Enter selects first; on an empty list
        // there is nothing to open.
        if (listCount() > 0) {
            const QModelIndex current = currentIndex().isValid() ? currentIndex()
                                                                 : model_->index(0, 0);
            setCurrentIndex(current);
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            raiseFromQt(onEnter);
        }
        return;
    }
    QListView::keyPressEvent(event);
}

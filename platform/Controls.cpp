#include "platform/Controls.h"

#include "platform/Drives.h"
#include "platform/FolderReader.h"
#include "platform/PlatformError.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>

void raiseMouseUp(const QMouseEvent* event, const std::function<void(int button)>& onMouseUp)
{
    const int button = legacyButton(event->button());
    guarded([&] {
        if (onMouseUp)
            onMouseUp(button);
    });
}

int legacyButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// ---- DriveList

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, &DriveList::chosen);
}

void DriveList::setDrives(const QStringList& roots)
{
    roots_ = roots;
    const QSignalBlocker block(this);
    clear();
    addItems(roots);
    const QString holding = driveHolding(roots_, QDir::currentPath());
    current_ = holding.isEmpty() && !roots.isEmpty() ? roots.first() : holding;
    setCurrentIndex(int(roots_.indexOf(current_)));
}

Drive DriveList::drive() const
{
    // The deepest drive that holds the current folder decides: "/" does not show a folder that
    // lies on another drive mounted below it.
    const QString cwd = QDir::toNativeSeparators(QDir::currentPath());
    return Drive{current_, driveHolding(roots_, cwd) == current_ ? cwd : current_};
}

void DriveList::setDrive(const QString& path)
{
    QString drive = roots_.contains(path) ? path : driveHolding(roots_, path);
    if (drive.isEmpty() || drive == current_) {
        const QSignalBlocker block(this);
        setCurrentIndex(int(roots_.indexOf(current_)));
        return;
    }
    current_ = drive;
    {
        const QSignalBlocker block(this);
        setCurrentIndex(int(roots_.indexOf(current_)));
    }
    if (onChange)
        onChange();
}

void DriveList::chosen(int index)
{
    guarded([&] { setDrive(itemText(index)); });
}

// ---- DirList

namespace {

void requireReadable(const QString& folder, const QString& reason)
{
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable()
        || !QFileInfo(folder).isExecutable())
        throw PlatformError(QStringLiteral("folder"), reason);
}

} // namespace

DirList::DirList(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(10);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { guarded([&] { open(item); }); });
}

void DirList::setPath(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath()));
    requireReadable(native, QStringLiteral("パスが見つかりません。"));
    path_ = native;
    rebuild();
    if (onChange)
        onChange();
}

void DirList::setPath(const Drive& drive)
{
    requireReadable(drive.root, QStringLiteral("ドライブの準備ができていません。"));
    setPath(drive.folder.isEmpty() ? drive.root : drive.folder);
}

void DirList::rebuild()
{
    clear();
    QStringList chain;
    QDir dir(QDir::fromNativeSeparators(path_));
    for (;;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : chain) {
        const QString label = QDir(folder).isRoot() ? QDir::toNativeSeparators(folder)
                                                    : QFileInfo(folder).fileName();
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, label);
        item->setData(0, Qt::UserRole, QDir::toNativeSeparators(folder));
        item->setExpanded(true);
        parentItem = item;
    }
    // The folder's entries by their type as the directory gives it: a folder of many files is
    // not walked file by file.
    QStringList subfolders;
    try {
        subfolders = readSubfolders(path_);
    } catch (const PlatformError&) {
        // Listed as empty, as a folder that cannot be read shows no subfolders.
    }
    sortNatural(subfolders);
    const QDir here(QDir::fromNativeSeparators(path_));
    for (const QString& name : subfolders) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, name);
        item->setData(0, Qt::UserRole, QDir::toNativeSeparators(here.filePath(name)));
    }
    if (parentItem) {
        parentItem->setExpanded(true);
        setCurrentItem(parentItem);
    }
}

void DirList::open(QTreeWidgetItem* item)
{
    if (item)
        setPath(item->data(0, Qt::UserRole).toString());
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        guarded([&] { open(currentItem()); });
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// ---- FileList

FileList::FileList(QWidget* parent) : QListView(parent), model_(new QStringListModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void FileList::setPath(const QString& folder)
{
    path_ = folder;
    refresh();
}

void FileList::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    refresh();
}

QString FileList::list(int index) const
{
    if (index < 0 || index >= names_.size())
        throw PlatformError(QStringLiteral("list"), QStringLiteral("インデックスが有効範囲にありません。"));
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

void FileList::refresh()
{
    ++refreshes_;
    names_.clear();
    try {
        names_ = readMatchingFiles(path_, pattern_);
    } catch (...) {
        model_->setStringList({});
        throw;
    }
    model_->setStringList(names_);
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
    raiseMouseUp(event, onMouseUp);
}

void FileList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        guarded([&] {
            if (onDblClick)
                onDblClick();
        });
}

bool isMenuKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Menu && mods == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
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
        guarded([&] {
            if (onMenuKey)
                onMenuKey();
        });
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Like a double-click on the current file, which Enter selects first; on an empty list
        // there is nothing to open.
        if (listCount() > 0) {
            const QModelIndex current
                = currentIndex().isValid() ? currentIndex() : model_->index(0, 0);
            setCurrentIndex(current);
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            guarded([&] {
                if (onEnter)
                    onEnter();
            });
        }
        return;
    }
    QListView::keyPressEvent(event);
}

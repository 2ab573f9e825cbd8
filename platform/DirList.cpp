#include "platform/DirList.h"

#include "platform/DriveList.h"
#include "platform/Events.h"
#include "platform/FileNames.h"
#include "platform/FolderReader.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

void requireReadable(const QString& folder, const QString& reason)
{
    if (!canListFolder(folder))
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
    // Read before anything changes: a folder that fails midway (a share's I/O error) leaves
    // Path as it was, never an empty list.
    QStringList subfolders = readSubfolders(native);
    sortNatural(subfolders);
    path_ = native;
    rebuild(subfolders);
    raiseInSetter(onChange);
}

void DirList::setPath(const Drive& drive)
{
    requireReadable(drive.root, QStringLiteral("ドライブの準備ができていません。"));
    setPath(drive.folder.isEmpty() ? drive.root : drive.folder);
}

void DirList::rebuild(const QStringList& subfolders)
{
    clear();
    // The folders above by the path's text alone: asking the system through Qt would lose a
    // folder whose name is not UTF-8.
    QStringList chain;
    for (QString folder = QDir::fromNativeSeparators(path_);;) {
        chain.prepend(folder);
        const qsizetype slash = folder.lastIndexOf(u'/');
        if (QDir(folder).isRoot() || slash < 0)
            break;
        folder = slash == 0 ? QStringLiteral("/") : folder.left(slash);
    }
    QTreeWidgetItem* parentItem = nullptr;
    for (const QString& folder : chain) {
        const QString label = QDir(folder).isRoot() ? QDir::toNativeSeparators(folder)
                                                    : shownName(QFileInfo(folder).fileName());
        auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(this);
        item->setText(0, label);
        item->setData(0, Qt::UserRole, QDir::toNativeSeparators(folder));
        item->setExpanded(true);
        parentItem = item;
    }
    const QDir here(QDir::fromNativeSeparators(path_));
    for (const QString& name : subfolders) {
        auto* item = new QTreeWidgetItem(parentItem);
        item->setText(0, shownName(name));
        item->setData(0, Qt::UserRole, QDir::toNativeSeparators(here.filePath(name)));
    }
    if (parentItem) {
        parentItem->setExpanded(true);
        setCurrentItem(parentItem);
    }
}

void DirList::open(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString previous = path_;
    const QString folder = item->data(0, Qt::UserRole).toString();
    try {
        setPath(folder);
    } catch (const PlatformError& error) {
        // Back to the folder shown before, whose files the list shows again, and a word.
        if (!previous.isEmpty() && previous != folder)
            guarded([&] { setPath(previous); });
        raiseInSetter(onOpenFailed, folder, error.reason());
    }
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        guarded([&] { open(currentItem()); });
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

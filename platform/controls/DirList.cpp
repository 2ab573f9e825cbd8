#include "platform/controls/DirList.h"

#include "core/FileNames.h"
#include "core/PlatformError.h"
#include "platform/controls/DriveList.h"
#include "platform/controls/Events.h"
#include "platform/files/FolderReader.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

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
    // Read before anything changes: a folder that fails midway (a share's I/O error) leaves
    // Path as it was, never an empty list.
    QStringList subfolders = readSubfolders(native);
    sortNatural(subfolders);
    const QString previous = path_;
    path_ = native;
    try {
        raiseInSetter(onChange);
    } catch (...) {
        // The file list could not follow: both lists stay with the folder shown before.
        path_ = previous;
        throw;
    }
    rebuild(subfolders);
}

void DirList::setPath(const Drive& drive)
{
    requireListable(drive.root);
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
    const QString folder = item->data(0, Qt::UserRole).toString();
    try {
        setPath(folder);
    } catch (const PlatformError& error) {
        // Both lists still show the folder shown before; the window tells why.
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

#include "platform/controls/DriveList.h"

#include "core/Drives.h"
#include "platform/controls/Accessibility.h"
#include "platform/controls/Events.h"
#include "platform/files/FolderReader.h"

#include <QDir>

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    installAccessibleInterfaces();
    connect(this, &QComboBox::activated, this, &DriveList::chosen);
}

void DriveList::setDrives(const QStringList& roots)
{
    roots_ = roots;
    const QSignalBlocker block(this);
    clear();
    addItems(roots);
    const QString holding = driveHolding(roots_, currentFolder());
    current_ = holding.isEmpty() && !roots.isEmpty() ? roots.first() : holding;
    setCurrentIndex(int(roots_.indexOf(current_)));
}

Drive DriveList::drive() const
{
    // The deepest drive that holds the current folder decides: "/" does not show a folder that
    // lies on another drive mounted below it.
    const QString cwd = QDir::toNativeSeparators(currentFolder());
    return Drive{current_, driveHolding(roots_, cwd) == current_ ? cwd : current_};
}

void DriveList::setDrive(const QString& path)
{
    const QString drive = roots_.contains(path) ? path : driveHolding(roots_, path);
    const bool changed = !drive.isEmpty() && drive != current_;
    if (changed)
        current_ = drive;
    {
        // The box shows the current drive again, also after a choice that changed nothing.
        const QSignalBlocker block(this);
        setCurrentIndex(int(roots_.indexOf(current_)));
    }
    if (changed)
        raiseInSetter(onChange);
}

void DriveList::chosen(int index)
{
    guarded([&] { setDrive(itemText(index)); });
}

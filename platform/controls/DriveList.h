#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

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

#pragma once

#include <QStringList>

// The roots of the mounted real file systems (no proc, sysfs and the like), "/" first.
QStringList mountedDrives();

// The drive of drives that holds path: the longest root that is path or a folder above it.
QString driveHolding(const QStringList& drives, const QString& path);

#pragma once

#include "core/Drives.h"

#include <QList>
#include <QStringList>

// The mounts of this system; gvfs's one mount stands for the shares inside it, one each.
QList<Mount> systemMounts();

// The drives of this system: drivesFromMounts(systemMounts()).
QStringList mountedDrives();

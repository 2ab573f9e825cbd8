#pragma once

#include <QByteArray>
#include <QString>

// The whole content of a regular file, read once. Anything else named like a file (a FIFO, a
// device, a folder) is refused without blocking. Throws PlatformError with a Japanese reason.
QByteArray readRegularFile(const QString& path);

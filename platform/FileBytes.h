#pragma once

#include <QByteArray>
#include <QString>

// The whole content of a regular file, read once. Anything else named like a file (a FIFO, a
// device, a folder) is refused without blocking. Throws PlatformError with a Japanese reason.
QByteArray readRegularFile(const QString& path);

// Writes bytes to path through a temporary file that replaces the target only when complete,
// so a failed write leaves an existing file as it was. Throws PlatformError with a Japanese
// reason.
void writeFileReplacing(const QString& path, const QByteArray& bytes);

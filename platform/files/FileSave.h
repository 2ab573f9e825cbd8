#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to path through a temporary file in the same folder that replaces the target only
// once every write, the flush to the drive and the close have succeeded, so a failed save leaves
// an existing file byte for byte as it was and no temporary file behind. A link is followed.
// Throws PlatformError with a Japanese reason.
void writeFileReplacing(const QString& path, const QByteArray& bytes);

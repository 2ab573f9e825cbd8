// Build-time tool: writes the program icon into a hicolor theme tree for installing.
// Usage: numbrella_icons OUTPUT-FOLDER   (writes OUTPUT-FOLDER/<n>x<n>/apps/numbrella.png)
#include "app/icon.h"
#include "platform/desktop/Utf8Locale.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // Without a UTF-8 locale (a fresh system, a build root) Qt would warn at every build.
    useUtf8CharacterType();
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: numbrella_icons OUTPUT-FOLDER\n";
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 256}) {
        // The small sizes are the very icon the windows show; the large ones are smooth.
        const QImage image = size <= 32 ? programIconImage(size) : programIconArtwork(size);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = folder + QStringLiteral("/numbrella.png");
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            err << "numbrella_icons: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}

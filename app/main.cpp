#include "app/translations.h"
#include "platform/desktop/QtPlatform.h"
#include "platform/desktop/Utf8Locale.h"
#include "rename/Form1d.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    useUtf8CharacterType();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Numbrella"));
    // Lets the desktop match the windows to the installed launcher and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.numbrella.Numbrella"));
    installJapaneseTranslations(app);
    QtPlatform platform;
    Form1d form(platform);
    // A second instance ends inside the load step, before its window is shown.
    if (platform.endRequested())
        return 0;
    form.show();
    return app.exec();
}

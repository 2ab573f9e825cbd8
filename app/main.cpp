#include "app/translations.h"
#include "platform/QtPlatform.h"
#include "rename/Form1d.h"

#include <QApplication>

#ifdef Q_OS_LINUX
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>
#endif

// Qt writes a window title's legacy X property (WM_NAME) in the C library's character
// encoding, so under a locale that is not UTF-8 (none set at all, as in a container, a
// chroot or over ssh) the Japanese titles reach window managers and tools garbled. Qt
// holds all text as UTF-8 anyway, so only the character type switches; messages,
// numbers and sorting keep the user's locale. Must run after QApplication's
// constructor, which sets the locale from the environment.
static void useUtf8CharacterType()
{
#ifdef Q_OS_LINUX
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    // The user's language in UTF-8 (ja_JP.eucJP becomes ja_JP.UTF-8), else plain C.UTF-8.
    std::string name = std::setlocale(LC_CTYPE, nullptr);
    name = name.substr(0, name.find_first_of(".@")) + ".UTF-8";
    if (!std::setlocale(LC_CTYPE, name.c_str()))
        std::setlocale(LC_CTYPE, "C.UTF-8");
#endif
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    useUtf8CharacterType();
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

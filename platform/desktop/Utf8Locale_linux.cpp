#include "platform/desktop/Utf8Locale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <string>

void useUtf8CharacterType()
{
    // The locale the application object will take from the environment.
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    // The user's language in UTF-8 (ja_JP.eucJP becomes ja_JP.UTF-8), else plain C.UTF-8.
    std::string name = std::setlocale(LC_CTYPE, nullptr);
    name = name.substr(0, name.find_first_of(".@")) + ".UTF-8";
    if (!std::setlocale(LC_CTYPE, name.c_str())) {
        name = "C.UTF-8";
        if (!std::setlocale(LC_CTYPE, name.c_str()))
            return;
    }
    // Said in the environment, since the application object sets the locale from there again.
    // LC_ALL, where set, overrides every category.
    const char* all = std::getenv("LC_ALL");
    ::setenv(all && *all ? "LC_ALL" : "LC_CTYPE", name.c_str(), 1);
}

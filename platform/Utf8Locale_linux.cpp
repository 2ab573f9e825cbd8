#include "platform/Utf8Locale.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>

void useUtf8CharacterType()
{
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    // The user's language in UTF-8 (ja_JP.eucJP becomes ja_JP.UTF-8), else plain C.UTF-8.
    std::string name = std::setlocale(LC_CTYPE, nullptr);
    name = name.substr(0, name.find_first_of(".@")) + ".UTF-8";
    if (!std::setlocale(LC_CTYPE, name.c_str()))
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

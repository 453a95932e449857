#include "platform/filenames.h"

#include <QByteArray>
#include <QtGlobal>

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>

namespace FileNames {

void useUtf8()
{
    // As the application object will: the locale the environment names, where it loads.
    std::setlocale(LC_ALL, "");
    const char *codeset = nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0)
        return;
    const char *now = std::setlocale(LC_ALL, nullptr);
    const std::string before = now ? now : "C";
    // Whether a started process (the engine's own) could load the locale its
    // environment names: where it cannot, it would stay in plain ASCII altogether.
    const bool loads = std::setlocale(LC_ALL, "") != nullptr;
    std::setlocale(LC_ALL, before.c_str());
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        return;
    if (!loads) {
        qputenv("LC_ALL", "C.UTF-8");
        return;
    }
    // LC_ALL would win over the character type alone.
    if (qEnvironmentVariableIsSet("LC_ALL")) {
        qputenv("LANG", qgetenv("LC_ALL"));
        qunsetenv("LC_ALL");
    }
    qputenv("LC_CTYPE", "C.UTF-8");
}

} // namespace FileNames

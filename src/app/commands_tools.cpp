#include "app/addressrow.h"
#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "page/session.h"
#include "platform/paths.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "tools/defaultbrowser.h"
#include "tools/formdir.h"

#include <QCoreApplication>
#include <QUrl>

void wireToolCommands(Commands &c)
{
    Shell &shell = c.session.shell;
    AddressRow &address = c.address;
    PageStack &pages = c.pages;
    c.on("OpenUrlStyle", [&shell, &address, &pages] {
        // Only web addresses go to the desktop: anything else would open a local file
        // with whatever program the desktop picks.
        const QString text = address.addressText().trimmed();
        const QString scheme = QUrl(text).scheme().toLower();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
            shell.open(text);
        else
            pages.tell(QStringLiteral("只有 http 或 https 网址才能用其他浏览器查看。"));
    });
    c.on("LoadMe", [&shell] { shell.start(QCoreApplication::applicationFilePath(), {}); });

    Dialogs &dialogs = c.session.dialogs;
    Frmmain &main = c.window;
    c.on("DirHide", [&dialogs, &shell, &main] {
        FormDir dialog(dialogs, shell, Paths::appDir() + QStringLiteral("/file.ifo"), &main);
        main.runDialog(dialog);
    });
    c.on("setnavigation", [&pages] {
        const QString failed = DefaultBrowser::registerAsDefault(QCoreApplication::applicationFilePath());
        pages.tell(failed.isEmpty() ? QStringLiteral("已设置为默认浏览器。") : QStringLiteral("无法设置为默认浏览器：") + failed);
    });
}

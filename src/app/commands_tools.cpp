#include "app/addressrow.h"
#include "tabs/sites.h"
#include "app/commands.h"
#include "tabs/pagetext.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "app/sitetables.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/paths.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "tools/defaultbrowser.h"
#include "tools/formdir.h"
#include "tools/systemtools.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <utility>

namespace {

// Runs a tool's command, or says in the status bar what is missing.
void run(Shell &shell, PageStack &pages, const std::optional<SystemTools::Command> &command, const QString &missing)
{
    if (command)
        shell.start(command->program, command->arguments);
    else
        pages.tell(missing);
}

void wireSystemTools(Commands &c)
{
    Shell &shell = c.session.shell;
    PageStack &pages = c.pages;
    Dialogs &dialogs = c.session.dialogs;
    Frmmain &main = c.window;
    using namespace SystemTools;
    c.on("MyIP", [&pages, &dialogs, &main] {
        pages.LoadNewForm(SiteTables::kIpLookup);
        dialogs.information(&main, PageText::kProductName, ipMessage(hostName(), userName(), firstIPv4()));
    });
    auto muteItem = std::make_shared<QPointer<QAction>>();
    QAction *mute = c.on("SoundClose", [&shell, &pages, muteItem] {
        const std::optional<Command> command = muteToggle(shell);
        run(shell, pages, command, missing(QStringLiteral("音量控制程序"), kMixers));
        // Nothing was muted: the mark goes back to what it was.
        if (!command && *muteItem)
            (*muteItem)->setChecked(!(*muteItem)->isChecked());
    });
    mute->setCheckable(true);
    *muteItem = mute;
    c.on("CloseScreen", [&shell, &pages] {
        const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        run(shell, pages, screenOff(shell, wayland),
            wayland ? QStringLiteral("Wayland 桌面不允许程序关闭屏幕，请使用桌面自己的设置。") : missing(QStringLiteral("屏幕电源控制程序"), {QStringLiteral("xset")}));
    });
    c.on("CloadPC", [&shell] {
        const Command off = powerOff();
        shell.start(off.program, off.arguments);
    });
    c.on("LoadWord", [&shell, &pages] { run(shell, pages, office(shell, false), missing(QStringLiteral("文字处理程序"), {QStringLiteral("libreoffice")})); });
    c.on("LoadExecl", [&shell, &pages] { run(shell, pages, office(shell, true), missing(QStringLiteral("电子表格程序"), {QStringLiteral("libreoffice")})); });
    // The toolbar's buttons do what their menu twins do.
    for (const auto &[button, item] : {std::pair{"Command1", "CloseScreen"}, std::pair{"Command9", "LoadWord"}, std::pair{"Command12", "LoadExecl"}}) {
        QAction *twin = c.menus.action(QLatin1String(item));
        c.onButton(button, [twin] { twin->trigger(); });
    }
    for (const char *name : {"bohao", "internet"})
        c.on(name, [&shell, &pages] { run(shell, pages, networkSettings(shell), missing(QStringLiteral("网络连接设置程序"), kNetworkSettings)); });
    c.on("offnet", [] {})->setCheckable(true);
    c.on("Femail", [&shell] { shell.open(QStringLiteral("mailto:")); });
    c.on("lianxi", [&shell] {
        shell.open(QStringLiteral("mailto:%1?subject=%2").arg(SiteTables::kMakerMail, QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("联系作者")))));
    });
    c.on("FmyPC", [&shell] { shell.open(QDir::homePath()); });
    c.on("mnuHelp", [] {});
    c.on("Reg", [] {});
    c.on("ReDownload", [&pages] { pages.LoadNewForm(SiteTables::kProductSite); });
    c.on("YearView", [&pages] { pages.LoadNewForm(SiteTables::kCalendar); });
    c.on("mnuHelpAbout", [&dialogs, &main] {
        dialogs.information(&main, QStringLiteral("关于 Velmo安全浏览器"),
                            QStringLiteral("Velmo安全浏览器 %1\r\n浏览引擎：Chromium %2")
                                .arg(QCoreApplication::applicationVersion(), EngineProfile::chromiumVersion()));
    });
}

} // namespace

void wireToolCommands(Commands &c)
{
    Shell &shell = c.session.shell;
    AddressRow &address = c.address;
    PageStack &pages = c.pages;
    c.on("OpenUrlStyle", [&shell, &address, &pages] {
        // Only web addresses go to the desktop: anything else would open a local file
        // with whatever program the desktop picks.
        const QString text = address.addressText().trimmed();
        if (Sites::isWebAddress(text))
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
    wireSystemTools(c);
    c.on("setnavigation", [&pages] {
        const QString failed = DefaultBrowser::registerAsDefault(QCoreApplication::applicationFilePath());
        pages.tell(failed.isEmpty() ? QStringLiteral("已设置为默认浏览器。") : QStringLiteral("无法设置为默认浏览器：") + failed);
    });
}

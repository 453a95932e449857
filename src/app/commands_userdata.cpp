#include "app/commands.h"
#include "app/favoritesmenu.h"
#include "app/frmmain.h"
#include "app/openpageskeeper.h"
#include "app/pagestack.h"
#include "page/formweb.h"
#include "page/pagepictures.h"
#include "page/session.h"
#include "platform/clock.h"
#include "app/addressrow.h"
#include "app/closedmenu.h"
#include "app/closedring.h"
#include "engine/pagecontrol.h"
#include "files/downloadlist.h"
#include "pictures/formimage.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "tabs/pagetext.h"
#include "platform/wholeappend.h"
#include "userdata/bookmarkfile.h"
#include "userdata/bookmarkimport.h"
#include "userdata/favorites.h"
#include "userdata/favoritesdialog.h"
#include "userdata/formclear.h"
#include "userdata/traceclean.h"
#include "userdata/history.h"
#include "userdata/options.h"
#include "userdata/organizefavorites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

void wireSwitches(Commands &c)
{
    Options &options = c.session.options;
    Frmmain &window = c.window;
    c.on("StartPop", [&options](bool checked) { options.setAdBlock(checked ? 1 : 0); });
    c.on("StartSafe", [&options](bool checked) { options.setSafePictureMode(checked ? 1 : 0); });
    c.on("zhushouopt", [&window] { window.openSettingsCentre(); });

    // The signal light and the check marks follow the switches at once, whoever sets them.
    c.toolbar.button("Command11")->setEnabled(true);
    Toolbar &toolbar = c.toolbar;
    QAction *safe = c.menus.action(QStringLiteral("StartSafe"));
    QAction *pop = c.menus.action(QStringLiteral("StartPop"));
    const auto show = [&options, &toolbar, safe, pop] {
        toolbar.showSafeMode(options.safePictureMode() != 0);
        safe->setChecked(options.safePictureMode() != 0);
        pop->setChecked(options.adBlock() != 0);
    };
    QObject::connect(&options, &Options::changed, safe, show);
    show();
}

void wireFavorites(Commands &c)
{
    Frmmain &window = c.window;
    PageStack &pages = c.pages;
    Toolbar &toolbar = c.toolbar;
    Dialogs &dialogs = c.session.dialogs;
    FavoritesMenu &menu = window.favoritesMenu();
    const Favorites &favorites = window.favorites();
    const QString folder = QFileInfo(favorites.path()).absolutePath() + QStringLiteral("/Favorites");

    c.on("addhome", [&window, &pages, &dialogs, &menu, &favorites, folder] {
        FormWeb *p = pages.activePage();
        FavoritesDialog dialog(favorites, folder, dialogs, p ? p->documentTitle() : QString(),
                               p ? p->location() : QString(), &window);
        QObject::connect(&dialog, &FavoritesDialog::added, &menu, &FavoritesMenu::rebuild);
        window.runDialog(dialog);
    });
    c.on("RelaodDir", [&menu] { menu.rebuild(); });
    c.on("SearchDir", [&window, &dialogs, &menu, &favorites] {
        OrganizeFavorites dialog(favorites, dialogs, &window);
        QObject::connect(&dialog, &OrganizeFavorites::saved, &menu, &FavoritesMenu::rebuild);
        window.runDialog(dialog);
    });
    // Bookmarks from and for other browsers, in the HTML file they all export and import.
    const QString filter = QStringLiteral("收藏夹文件 (*.html *.htm);;所有文件 (*)");
    c.on("ImportFav", [&window, &dialogs, &menu, &favorites, folder, filter] {
        const QString title = QStringLiteral("导入收藏夹");
        const QString path = dialogs.openFile(&window, title, QDir::homePath(), filter);
        if (path.isEmpty())
            return;
        // Bookmark files of tens of thousands of pages are a few megabytes.
        constexpr qint64 kMostBytes = 64 * 1024 * 1024;
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.read(kMostBytes + 1) : QByteArray();
        const std::optional<BookmarkFile::Read> read = bytes.size() > kMostBytes ? std::nullopt : BookmarkFile::read(bytes);
        if (!read) {
            dialogs.warning(&window, title, QStringLiteral("%1 不是可以读取的书签文件（其他浏览器导出的 HTML 书签文件），没有导入任何收藏。").arg(path));
            return;
        }
        const BookmarkImport done = BookmarkImport::run(favorites, folder, *read);
        menu.rebuild();
        if (done.saved)
            dialogs.information(&window, title, done.summary());
        else
            dialogs.warning(&window, title, done.summary());
    });
    c.on("ExportFav", [&window, &dialogs, &favorites, filter] {
        const QString title = QStringLiteral("导出收藏夹");
        const QString path = dialogs.saveFile(&window, title, QStringLiteral("收藏夹.html"), filter);
        if (path.isEmpty())
            return;
        QVector<QPair<QString, QString>> entries;
        for (const Favorites::Entry &e : favorites.entries(INT_MAX))
            entries.append({e.title.trimmed(), e.address});
        if (replaceWhole(path, BookmarkFile::write(PageText::kProductName + QStringLiteral("收藏夹"), entries),
                         QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            dialogs.information(&window, title, QStringLiteral("已导出 %1 个收藏到 %2。").arg(entries.size()).arg(path));
        else
            dialogs.warning(&window, title, QStringLiteral("无法写入 %1（磁盘已满或没有权限），没有导出。").arg(path));
    });
    QObject::connect(&menu, &FavoritesMenu::chosen, &pages, [&pages, &toolbar](const QString &address) {
        toolbar.clearGalleryToggle();
        pages.LoadNewForm(address);
    });
}

void wireHistory(Commands &c)
{
    Frmmain &window = c.window;
    PageStack &pages = c.pages;
    const Clock &clock = c.session.clock;
    c.on("History", [&window, &pages, &clock] {
        pages.settleHistory();
        const QString page = window.history().buildPage(clock.now().date());
        if (page.isEmpty())
            pages.tell(QStringLiteral("历史记录页面无法写入 %1。").arg(window.history().folder()));
        else
            pages.LoadNewForm(QUrl::fromLocalFile(page).toString());
    });
    c.on("ClearHistory", [&pages] { pages.closedRing().clear(); });
}

// Removes what the ticked boxes of the clean-up name, in box order.
QStringList cleanTraces(const QVector<int> &boxes, Frmmain &window, PageStack &pages, Session &session)
{
    QStringList failed;
    // Closed pages still waiting to be written land first, so none appears after the
    // clean-up in a list it emptied.
    pages.closedRing().writeWaiting();
    for (int box : boxes) {
        switch (box) {
        case 0: window.addressRow().clearAddressList(); break;
        case 1: window.addressRow().clearSearchList(); break;
        // The folder comes back with the next page closed.
        case 2:
            pages.settleHistory();
            // Another instance's pages keep their earlier visits in memory: they must not
            // write them back when they close (marked first: none lands in between).
            if (!window.history().markCleared(session.clock.now()))
                failed << window.history().folder() + QStringLiteral(".cleared-at");
            failed << TraceClean::removeFolder(window.history().folder());
            pages.forgetVisits();
            // The list kept against a crash forgets them at once too: a crash now would
            // write them back into the history.
            if (OpenPagesKeeper *keeper = window.openPagesKeeper())
                keeper->writeNow();
            // The downloads window's list is the browser's history of downloads.
            window.downloads().clearList();
            break;
        // The engine keeps no form entries; what it remembers of visits is the links.
        case 3: session.engine.forgetVisitedLinks(); break;
        case 4:
            if (!session.systemFolders.dataHome.isEmpty())
                failed << TraceClean::removeFile(session.systemFolders.dataHome + QStringLiteral("/recently-used.xbel"));
            break;
        case 5:
            session.engine.forgetCookies();
            if (!session.engine.clearSiteDataAtNextStart())
                failed << QStringLiteral("网站数据（%1）").arg(Paths::engineStorageDir());
            break;
        case 6:
            if (!session.engine.clearCacheAtNextStart())
                failed << QStringLiteral("网页缓存（%1）").arg(Paths::engineCacheDir());
            break;
        case 7: {
            // Pages still on screen keep their files.
            QStringList inUse;
            for (FormWeb *p : pages.pagesInTabOrder())
                inUse << p->pictures().galleryFile();
            for (FormImage *viewer : window.findChildren<FormImage *>())
                inUse << viewer->pageFile();
            failed << TraceClean::removeFiles(Paths::generatedPagesDir(), {QStringLiteral("*.htm")}, inUse);
            break;
        }
        // The records themselves, so neither Ctrl+Z nor a restart brings them back.
        case 8: pages.closedRing().clear(); break;
        default: break; // 9: nothing of the kind on this system
        }
    }
    return failed;
}

void wireTraceClean(Commands &c)
{
    Frmmain &window = c.window;
    PageStack &pages = c.pages;
    Session &session = c.session;
    c.on("Clear", [&window, &pages, &session] {
        Formclear dialog(&window);
        if (window.runDialog(dialog) != QDialog::Accepted)
            return;
        const QStringList failed = cleanTraces(dialog.ticked(), window, pages, session);
        session.dialogs.information(&window, PageText::kProductName, TraceClean::closingMessage(failed));
    });
}

} // namespace

void wireUserdataCommands(Commands &c)
{
    wireSwitches(c);
    wireFavorites(c);
    wireHistory(c);
    wireTraceClean(c);
}

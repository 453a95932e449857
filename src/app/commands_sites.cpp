#include "app/addressrow.h"
#include "app/commands.h"
#include "app/pagestack.h"
#include "app/sitetables.h"
#include "page/formweb.h"
#include "page/session.h"
#include "tabs/sites.h"
#include "userdata/options.h"

#include <QCursor>
#include <QMenu>

void wireSiteCommands(Commands &c)
{
    PageStack &pages = c.pages;
    Options &options = c.session.options;
    AddressRow &address = c.address;
    Toolbar &toolbar = c.toolbar;

    // Picture sites open in safe picture mode, the everyday sites without it.
    const auto site = [&pages, &options](const QString &location, int safeMode) {
        return [&pages, &options, location, safeMode] {
            options.setSafePictureMode(safeMode);
            pages.LoadNewForm(location);
        };
    };
    c.onButton("ImgComb", site(SiteTables::kBaiduHome, 0));
    c.onButton("Command7", site(SiteTables::k360Directory, 0));
    c.onButton("Command10", site(SiteTables::kTaobaoHome, 0));
    c.on("Fav169mt", site(SiteTables::kModelPictures, 1));
    c.on("Fav169bb", site(SiteTables::kGlamourPictures, 1));
    c.on("FavHuasheng", [&pages] { pages.LoadNewForm(Sites::kDefaultHomePage); });
    c.on("HomePage", [&pages] { pages.LoadNewForm(SiteTables::kProductSite); });

    for (const auto *table : {&SiteTables::searchWord(), &SiteTables::netSearch(), &SiteTables::music()}) {
        for (const SiteTables::Item &item : *table) {
            const QString location = QString::fromUtf8(item.address);
            if (item.usesWord)
                c.on(item.name, [&pages, &address, location] {
                    pages.LoadNewForm(SiteTables::siteSearchAddress(location, address.searchWord()));
                });
            else
                c.on(item.name, [&pages, location] { pages.LoadNewForm(location); });
        }
    }

    QMenu *searchMenu = c.menus.menu(QStringLiteral("SearchWord"));
    QObject::connect(&address, &AddressRow::searchMenuRequested, searchMenu,
                     [searchMenu] { searchMenu->popup(QCursor::pos()); });
    QObject::connect(&address, &AddressRow::searchRequested, &pages, [&pages, &toolbar](const QString &word) {
        if (toolbar.clearGalleryToggle())
            pages.focusActivePage();
        pages.LoadNewForm(Sites::searchAddress(word));
    });
}

#include "app/startup.h"

#include "app/sites.h"
#include "userdata/options.h"
#include "userdata/settingsstore.h"

namespace Startup {

void readOptions(const SettingsStore &store, Options &options)
{
    int topme = options.openInBackground();
    store.readInt(QStringLiteral("setup"), QStringLiteral("Topme"), topme);
    options.setOpenInBackground(topme);
    int download = options.autoDownloadPictures();
    store.readInt(QStringLiteral("setup"), QStringLiteral("Download"), download);
    options.setAutoDownloadPictures(download);
    const QString home = store.read(QStringLiteral("setup"), QStringLiteral("Homepage"));
    options.setHomePageUrl(home.size() <= 14 ? Sites::kDefaultHomePage : home);
    options.setSafePictureMode(0);
    options.setAdBlock(0);
}

} // namespace Startup

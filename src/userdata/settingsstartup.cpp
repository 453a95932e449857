#include "userdata/settingsstartup.h"

#include "platform/settingsstore.h"
#include "tabs/sites.h"
#include "userdata/options.h"

using namespace SettingKeys;

namespace SettingsStartup {

bool hasMarker(const SettingsStore &store)
{
    int marker = 0;
    return store.readInt(kFirstRunMarker, marker);
}

void writeFirstRunValues(SettingsStore &store, const QDate &today)
{
    store.write(kHomePage, Sites::kDefaultHomePage);
    // Only the presence of a number matters; the day of the first run is as good as any.
    store.write(kFirstRunMarker, today.toString(QStringLiteral("yyyyMMdd")));
}

void readSwitches(const SettingsStore &store, Options &options)
{
    int topme = options.openInBackground();
    store.readInt(kBackgroundTabs, topme);
    options.setOpenInBackground(topme);
    int download = options.autoDownloadPictures();
    store.readInt(kAutoDownload, download);
    options.setAutoDownloadPictures(download);
    int lastSession = options.reopenLastSession();
    store.readInt(kLastSession, lastSession);
    options.setReopenLastSession(lastSession);
    options.setSafePictureMode(0);
    options.setAdBlock(0);
}

QString homePage(const SettingsStore &store)
{
    const QString home = store.read(kHomePage);
    return home.size() <= 14 ? Sites::kDefaultHomePage : home;
}

} // namespace SettingsStartup

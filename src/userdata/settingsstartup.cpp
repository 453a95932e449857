#include "userdata/settingsstartup.h"

#include "app/sites.h"
#include "userdata/options.h"
#include "userdata/settingsstore.h"

#include <QDate>

namespace SettingsStartup {

namespace {
const QString kSetup = QStringLiteral("setup");
}

bool hasMarker(const SettingsStore &store)
{
    int marker = 0;
    return store.readInt(QStringLiteral("toolstimework"), QStringLiteral("softrig"), marker);
}

void writeFirstRunValues(SettingsStore &store)
{
    store.write(kSetup, QStringLiteral("Homepage"), Sites::kDefaultHomePage);
    // Only the presence of a number matters; the day of the first run is as good as any.
    store.write(QStringLiteral("toolstimework"), QStringLiteral("softrig"),
                QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
}

void readSwitches(const SettingsStore &store, Options &options)
{
    int topme = options.openInBackground();
    store.readInt(kSetup, QStringLiteral("Topme"), topme);
    options.setOpenInBackground(topme);
    int download = options.autoDownloadPictures();
    store.readInt(kSetup, QStringLiteral("Download"), download);
    options.setAutoDownloadPictures(download);
    options.setSafePictureMode(0);
    options.setAdBlock(0);
}

QString homePage(const SettingsStore &store)
{
    const QString home = store.read(kSetup, QStringLiteral("Homepage"));
    return home.size() <= 14 ? Sites::kDefaultHomePage : home;
}

} // namespace SettingsStartup

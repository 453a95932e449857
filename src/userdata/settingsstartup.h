#pragma once
#include <QDate>
#include <QString>

class Options;
class SettingsStore;

// What start-up reads from and writes to the settings store.
namespace SettingsStartup {

bool hasMarker(const SettingsStore &store);
void writeFirstRunValues(SettingsStore &store, const QDate &today);

// Reads "Topme" and "Download" into the switches (a missing or non-numeric value keeps
// the switch as it is; any other number than 0 means on). Safe picture mode and ad blocking start off in every run.
void readSwitches(const SettingsStore &store, Options &options);

// "Homepage", with 14 characters or fewer meaning the built-in default.
QString homePage(const SettingsStore &store);

inline const QString kShortcutName = QStringLiteral("Velmo浏览器");

// Writes the first-run setup: the desktop shortcut (through makeShortcut, which gets
// name and target), the default home page and the "toolstimework"/"softrig" marker.
// Runs at every start; does nothing while the marker holds a number, and at most once
// per start even when the store cannot be written (the marker then stays in memory).
// Returns true when the setup ran.
template <typename MakeShortcut>
bool firstRunCheck(SettingsStore &store, const QDate &today, const QString &program, MakeShortcut makeShortcut)
{
    if (hasMarker(store))
        return false;
    makeShortcut(kShortcutName, program);
    writeFirstRunValues(store, today);
    return true;
}

} // namespace SettingsStartup

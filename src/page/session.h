#pragma once
#include <QPointer>

#include "pictures/picturestate.h"
#include "platform/systemfolders.h"

class BrowserControl;
class Clock;
class Dialogs;
class FormWeb;
class Options;
class Shell;
class QWebEngineProfile;
class SettingsStore;

// Process-wide state shared by the main window and the page windows: the store, the
// option switches, the engine profile, the desktop, the dialogs and the clock, and which
// page and browser keyboard and wheel scrolling act on. Built by main() with the real
// desktop, dialogs and clock, or by a test with its fakes; nothing falls back to the
// real ones on its own.
struct Session {
    Session(SettingsStore &store, Options &options, QWebEngineProfile *profile, Shell &shell, Dialogs &dialogs,
            const Clock &clock)
        : store(store), options(options), profile(profile), shell(shell), dialogs(dialogs), clock(clock)
    {
    }

    SettingsStore &store;
    Options &options;
    QWebEngineProfile *profile;
    Shell &shell;
    Dialogs &dialogs;
    const Clock &clock;

    // Set only by FormWeb::SetActivate; cleared when that page closes.
    QPointer<FormWeb> currentPage;
    QPointer<BrowserControl> currentBrowser;

    // The last picture search's list, and the picture-saving run shared by all pages.
    PictureState pictures;

    // Pages out of sight that the user never clicked or typed in give their renderer up
    // (see FormWeb): at once when they finish loading out of sight, else after graceMs.
    struct Discarding {
        bool enabled = true;
        int graceMs = 30000;
    } discarding;

    // Filled by the first-run check at start-up, for the trace clean-up.
    SystemFolders systemFolders;
};

#pragma once
#include <QPointer>

#include "platform/systemfolders.h"

class BrowserControl;
class Dialogs;
class ClosedPages;
class FormWeb;
class Options;
class Shell;
class QWebEngineProfile;
class SettingsStore;

// Process-wide state shared by the main window and the page windows: the store, the
// option switches, the engine profile, and which page and browser keyboard and wheel
// scrolling act on. Built by main() (or a test) and handed to every window.
struct Session {
    SettingsStore &store;
    Options &options;
    QWebEngineProfile *profile;

    // Set only by FormWeb::SetActivate; cleared when that page closes.
    QPointer<FormWeb> currentPage;
    QPointer<BrowserControl> currentBrowser;

    // A page is saving pictures (re-entry guard shared by all pages).
    bool SavingPictures = false;

    // Where to ask the user; the real dialogs unless a test substitutes its own.
    Dialogs *dialogs = nullptr;
    // The desktop's open and start; a recording fake in tests.
    Shell *shell = nullptr;

    // Filled by the first-run check at start-up, for the trace clean-up.
    SystemFolders systemFolders;
};

#pragma once
#include <functional>
#include <QString>

#include "page/loginmemory.h"
#include "page/permissionmemory.h"
#include "pictures/picturestate.h"
#include "platform/systemfolders.h"

class PageControl;
class Clock;
class Dialogs;
class FormWeb;
class MemoryGauge;
class Options;
class Shell;
class PageEngine;
class SettingsStore;

// Process-wide state shared by the main window and the page windows: the store, the
// option switches, the engine profile, the desktop, the dialogs, the clock and the memory
// gauge, and which page and browser keyboard and wheel scrolling act on. Built by main()
// with the real ones, or by a test with its fakes; nothing falls back to the real ones on
// its own.
struct Session {
    Session(SettingsStore &store, Options &options, PageEngine &engine, Shell &shell, Dialogs &dialogs,
            const Clock &clock, const MemoryGauge &memory)
        : store(store), options(options), engine(engine), shell(shell), dialogs(dialogs), clock(clock), memory(memory)
    {
    }

    SettingsStore &store;
    Options &options;
    PageEngine &engine;
    Shell &shell;
    Dialogs &dialogs;
    const Clock &clock;
    // How much memory the machine and the browser have: pages out of sight sleep only
    // when it runs short.
    const MemoryGauge &memory;

    // The page keyboard and wheel scrolling act on: the page stack's active page (the
    // stack answers it; none before a window has one).
    std::function<FormWeb *()> currentPage = [] { return nullptr; };

    // The word last looked for with the find bar, in any page.
    QString findWord;

    // The last picture search's list, and the picture-saving run shared by all pages.
    PictureState pictures;

    // What the user let sites use, for this run.
    PermissionMemory permissions;
    // The logins the user gave sites, for this run.
    LoginMemory logins;

    // Filled by the first-run check at start-up, for the trace clean-up.
    SystemFolders systemFolders;
};

#pragma once
#include <QAction>
#include <QToolButton>

#include "app/mainmenus.h"
#include "app/toolbar.h"

class AddressRow;
class DownloadList;
class Frmmain;
class MouseWatch;
class PageStack;
struct Session;

// What the command wiring of every subsystem reaches: the window's parts and the
// session. Each subsystem's menu items and toolbar buttons are connected in a file of
// their own (commands_<subsystem>.cpp), so a new feature adds a file and a line.
struct Commands {
    Frmmain &window;
    PageStack &pages;
    Toolbar &toolbar;
    AddressRow &address;
    MainMenus &menus;
    MouseWatch &mouse;
    Session &session;
    DownloadList &downloads;

    // Connects a menu item (or one of a control array's items) and switches it on.
    template <typename Slot>
    QAction *on(const char *name, Slot slot, int index = -1)
    {
        const QString n = QString::fromLatin1(name);
        QAction *a = index < 0 ? menus.action(n) : menus.action(n, index);
        a->setEnabled(true);
        QObject::connect(a, &QAction::triggered, a, slot);
        return a;
    }

    // Connects a toolbar button and switches it on.
    template <typename Slot>
    QToolButton *onButton(const char *name, Slot slot, int index = -1)
    {
        QToolButton *b = toolbar.button(name, index);
        b->setEnabled(true);
        QObject::connect(b, &QToolButton::clicked, b, slot);
        return b;
    }
};

void wireTabCommands(Commands &c);      // opening, closing, restoring, the tab strip
void wirePageCommands(Commands &c);     // the active page: history, scrolling, reload, copy
void wireSiteCommands(Commands &c);     // built-in sites, site searches, the search box
void wireUserdataCommands(Commands &c); // option switches and the settings centre
void wireToolCommands(Commands &c);     // the desktop: other browser, new instance, folders
void wirePictureCommands(Commands &c);  // the gallery, saving pictures, the picture folder
void wireFileCommands(Commands &c);     // downloads
void wireKeyCommands(Commands &c);      // keys besides the menus' own (Ctrl+T, Ctrl+Tab, Esc ...)

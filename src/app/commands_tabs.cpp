#include "app/addressrow.h"
#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "tabs/opentarget.h"
#include "tabs/sites.h"
#include "tabs/tabstrip.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>

#include <memory>
#include <utility>

void wireTabCommands(Commands &c)
{
    PageStack &pages = c.pages;
    for (const char *name : {"Build", "build2"})
        c.on(name, [&pages] { pages.Build(); });
    for (const char *name : {"Cancel", "CancelClose"})
        c.on(name, [&pages] { pages.Restore(); });
    // "Current page" is the one in front; the tab menu's item closes the tab it was
    // opened on (its F9 from the keyboard, the one in front).
    auto menuSlot = std::make_shared<int>(-1);
    c.on("CloseThisPage", [&pages] { pages.closeShown(); });
    c.on("closeme", [&pages, menuSlot] {
        const int slot = std::exchange(*menuSlot, -1);
        if (slot >= 0 && pages.book().positionOf(slot) >= 0)
            pages.closeAt(pages.book().positionOf(slot));
        else
            pages.closeShown();
    });
    c.on("closeleft", [&pages] { pages.CloseLeft(pages.book().hoverPos()); });
    c.on("closeright", [&pages] { pages.CloseRight(pages.book().hoverPos()); });
    c.on("mnuCloseOther", [&pages] { pages.CloseOthers(pages.book().hoverPos()); });
    c.on("mnuFileClose", [&pages] { pages.CloseAll(); });
    for (QAction *item : c.menus.liHistory()) {
        item->setEnabled(true);
        QObject::connect(item, &QAction::triggered, item, [&pages, item] {
            // Records of earlier versions may hold any scheme.
            if (Sites::opensFromOutside(item->data().toString()))
                pages.LoadNewForm(item->data().toString());
        });
    }
    c.onButton("Command3", [&pages] { pages.Restore(); });
    c.onButton("Command8", [&pages] { pages.closeShown(); });

    TabStrip &strip = *c.window.tabStrip();
    Toolbar &toolbar = c.toolbar;
    QMenu *labelMenu = c.menus.menu(QStringLiteral("LabelPage"));
    // Its items run right after it hides; only then is the tab it was opened on forgotten.
    QObject::connect(labelMenu, &QMenu::aboutToHide, &pages,
                     [&pages, menuSlot] { QTimer::singleShot(0, &pages, [menuSlot] { *menuSlot = -1; }); });
    QObject::connect(&strip, &TabStrip::labelHovered, &pages,
                     [&pages](int slot) { pages.book().setHoverPos(pages.book().positionOf(slot)); });
    QObject::connect(&strip, &TabStrip::labelReleased, &pages,
                     [&pages, &strip, &toolbar, labelMenu, menuSlot](int slot, Qt::MouseButton button) {
                         if (toolbar.clearGalleryToggle())
                             pages.focusActivePage();
                         if (button == Qt::MiddleButton) {
                             pages.closeAt(pages.book().positionOf(slot));
                         } else if (button == Qt::RightButton) {
                             pages.book().setHoverPos(pages.book().positionOf(slot));
                             *menuSlot = slot;
                             labelMenu->popup(QCursor::pos());
                         } else if (!strip.looksActive(slot)) {
                             pages.activateSlot(slot);
                         }
                     });
    QObject::connect(&strip, &TabStrip::labelDoubleClicked, &pages, [&pages](int slot) {
        pages.book().setHoverPos(pages.book().positionOf(slot));
        pages.DelLine();
    });
    QObject::connect(&strip, &TabStrip::closeClicked, &pages, &PageStack::DelLine);
    QObject::connect(&strip, &TabStrip::addClicked, &pages, &PageStack::Build);
    QObject::connect(&strip, &TabStrip::addressesDropped, &pages,
                     [&pages](const QStringList &addresses) { pages.openAll(addresses, OpenTarget::foreground()); });
}

#include "app/addressrow.h"
#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "tabs/tabstrip.h"

#include <QCursor>
#include <QMenu>

void wireTabCommands(Commands &c)
{
    PageStack &pages = c.pages;
    for (const char *name : {"Build", "build2"})
        c.on(name, [&pages] { pages.Build(); });
    for (const char *name : {"Cancel", "CancelClose"})
        c.on(name, [&pages] { pages.Restore(); });
    for (const char *name : {"CloseThisPage", "closeme"})
        c.on(name, [&pages] { pages.DelLine(); });
    c.on("closeleft", [&pages] { pages.CloseLeft(); });
    c.on("closeright", [&pages] { pages.CloseRight(); });
    c.on("mnuCloseOther", [&pages] { pages.CloseOthers(); });
    c.on("mnuFileClose", [&pages] { pages.CloseAll(); });
    for (QAction *item : c.menus.liHistory()) {
        item->setEnabled(true);
        QObject::connect(item, &QAction::triggered, item, [&pages, item] { pages.LoadNewForm(item->data().toString()); });
    }
    c.onButton("Command3", [&pages] { pages.Restore(); });
    c.onButton("Command8", [&pages] { pages.closeShown(); });

    TabStrip &strip = *c.window.tabStrip();
    Toolbar &toolbar = c.toolbar;
    QMenu *labelMenu = c.menus.menu(QStringLiteral("LabelPage"));
    QObject::connect(&strip, &TabStrip::labelHovered, &pages,
                     [&pages](int slot) { pages.book().setHoverPos(pages.book().positionOf(slot)); });
    QObject::connect(&strip, &TabStrip::labelReleased, &pages,
                     [&pages, &strip, &toolbar, labelMenu](int slot, Qt::MouseButton button) {
                         if (toolbar.clearGalleryToggle())
                             pages.focusActivePage();
                         if (button == Qt::RightButton) {
                             pages.book().setHoverPos(pages.book().positionOf(slot));
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
}

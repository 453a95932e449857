// The keys users of a desktop browser press without looking for a menu: a second key on
// menu items that have one, and window keys for what no menu offers.
#include "app/addressrow.h"
#include "app/commands.h"
#include "app/frmmain.h"
#include "app/pagestack.h"
#include "page/formweb.h"
#include "page/pagecommands.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// A key of the window that is no menu item.
QAction *windowKey(Commands &c, const char *name, const QList<QKeySequence> &keys)
{
    auto *a = new QAction(&c.window);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    c.window.addAction(a);
    return a;
}

// A second key for a menu item, after the one its caption shows.
void alsoKey(QAction *item, const QKeySequence &key)
{
    QList<QKeySequence> keys = item->shortcuts();
    keys.append(key);
    item->setShortcuts(keys);
}

void stepTab(PageStack &pages, Toolbar &toolbar, int step)
{
    const TabBook &book = pages.book();
    if (book.count() < 2)
        return;
    const int from = qMax(0, book.activePos());
    if (toolbar.clearGalleryToggle())
        pages.focusActivePage();
    pages.activateSlot(book.slotAt((from + step + book.count()) % book.count()));
}

} // namespace

void wireKeyCommands(Commands &c)
{
    MainMenus &menus = c.menus;
    alsoKey(menus.action(QStringLiteral("Build")), QKeySequence(Qt::CTRL | Qt::Key_T));
    alsoKey(menus.action(QStringLiteral("CloseThisPage")), QKeySequence(Qt::CTRL | Qt::Key_W));
    alsoKey(menus.action(QStringLiteral("shuaxin")), QKeySequence(Qt::CTRL | Qt::Key_R));
    alsoKey(menus.action(QStringLiteral("BigP"), 0), QKeySequence(Qt::CTRL | Qt::Key_Equal));
    alsoKey(menus.action(QStringLiteral("BigP"), 0), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    alsoKey(menus.action(QStringLiteral("BigP"), 1), QKeySequence(Qt::CTRL | Qt::Key_Minus));

    PageStack &pages = c.pages;
    Toolbar &toolbar = c.toolbar;
    QObject::connect(windowKey(c, "NextTab", {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}),
                     &QAction::triggered, &pages, [&pages, &toolbar] { stepTab(pages, toolbar, 1); });
    QObject::connect(windowKey(c, "PreviousTab", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                                  QKeySequence(Qt::CTRL | Qt::Key_PageUp)}),
                     &QAction::triggered, &pages, [&pages, &toolbar] { stepTab(pages, toolbar, -1); });

    AddressRow &address = c.address;
    QObject::connect(windowKey(c, "FocusAddress", {QKeySequence(Qt::CTRL | Qt::Key_L)}), &QAction::triggered, &address,
                     [&address] {
                         address.textUrl()->setFocus(Qt::ShortcutFocusReason);
                         address.textUrl()->lineEdit()->selectAll();
                     });
    QObject::connect(windowKey(c, "ZoomReset", {QKeySequence(Qt::CTRL | Qt::Key_0)}), &QAction::triggered, &pages, [&pages] {
        if (FormWeb *p = pages.activePage()) {
            p->commands().setBigSize(100);
            p->commands().ZOOMIE(100);
        }
    });
    // Esc gives back the screen a page's element took, or stops the page in front while
    // it loads; otherwise it is the page's (its own dialogs, its own keys).
    QAction *stop = windowKey(c, "StopLoading", {QKeySequence(Qt::Key_Escape)});
    stop->setEnabled(false);
    QObject::connect(stop, &QAction::triggered, &pages, [&pages] {
        if (FormWeb *full = pages.fullScreenPage())
            full->leaveFullScreen();
        else if (FormWeb *p = pages.activePage())
            p->stop();
    });
    const auto escapeWanted = [stop, &pages] {
        const FormWeb *p = pages.activePage();
        stop->setEnabled(pages.fullScreenPage() || (p && p->loading()));
    };
    QObject::connect(&pages, &PageStack::frontLoadingChanged, stop, escapeWanted);
    QObject::connect(&pages, &PageStack::pageFullScreenChanged, stop, escapeWanted);
}

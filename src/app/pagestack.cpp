#include "app/pagestack.h"
#include "tabs/sites.h"

#include "app/addressrow.h"
#include "app/toolbar.h"
#include "engine/navigationrequests.h"
#include "page/formweb.h"
#include "page/session.h"
#include "page/rendererwatch.h"
#include "page/sleepwatch.h"
#include "platform/clock.h"
#include "platform/shell.h"

#include <QToolButton>
#include "userdata/history.h"
#include "tabs/openpolicy.h"
#include "tabs/stripgeometry.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"

namespace {
const QString kBlank = QStringLiteral("about:blank");
}

PageStack::PageStack(Session &session, const Parts &parts, int tabCapacity)
    : QObject(nullptr)
    , m_session(session)
    , m_parts(parts)
    , m_book(tabCapacity)
    , m_closed(session.store, parts.closedMenu, parts.address)
    , m_historyFlush(parts.history, session.clock, [this](const QString &text) { tell(text); })
    , m_sleep(new SleepWatch(session.store, session.memory, [this] { return pagesInTabOrder(); }, this))
    , m_renderers(new RendererWatch([this] { return pagesInTabOrder(); },
                                    [&session](qint64 pid) { session.shell.endProcess(pid); }, this))
{
    m_openNext.setInterval(0);
    connect(&m_openNext, &QTimer::timeout, this, &PageStack::openNextBehind);
    // Tied to this stack, not cleared by hand: a window made before the last one goes
    // keeps the new window's.
    session.currentPage = [stack = QPointer<PageStack>(this)]() -> FormWeb * {
        return stack && !stack->m_ending ? stack->activePage() : nullptr;
    };
}

PageStack::~PageStack()
{
    m_ending = true;
    // Pages (and their engine views) must go before the engine profile does.
    const auto pages = m_parts.client->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly);
    for (FormWeb *p : pages)
        delete p;
}

QList<FormWeb *> PageStack::pagesInTabOrder() const
{
    QList<FormWeb *> pages;
    for (int pos = 0; pos < m_book.count(); ++pos)
        if (FormWeb *p = page(m_book.slotAt(pos)))
            pages.append(p);
    return pages;
}

int PageStack::addLabel()
{
    const int slot = m_book.addLab();
    if (slot >= 0)
        m_parts.strip.resetLabel(slot);
    return slot;
}

void PageStack::refuseTab()
{
    // Every tab table entry is in use: say so in the status bar instead of opening.
    tell(OpenPolicy::refusal(m_book.capacity()));
}

void PageStack::tell(const QString &text)
{
    if (FormWeb *p = shownPage())
        p->showStatus(text);
}

void PageStack::tellOnceLoaded(const QString &text)
{
    FormWeb *p = shownPage();
    if (!p)
        return;
    if (p->loadedOnce())
        p->showStatus(text);
    else
        connect(p, &FormWeb::documentLoaded, p, [p, text] { p->showStatus(text); }, Qt::SingleShotConnection);
}

FormWeb *PageStack::createPage(int slot)
{
    auto *page = new FormWeb(m_session, *this, m_parts.client);
    page->setMyindex(slot);
    m_pages.insert(slot, page);
    m_zorder.prepend(page);
    connect(page, &FormWeb::selectionForSearch, &m_parts.address, &AddressRow::setSearchWord);
    connect(page, &FormWeb::searchInNewPage, this, [this](const QString &address) { LoadNewForm(address); });
    connect(page, &FormWeb::pictureChosen, this, &PageStack::pictureChosen);
    connect(page, &FormWeb::documentLoaded, m_sleep, &SleepWatch::afterLoad);
    connect(page, &FormWeb::documentLoaded, this, &PageStack::stripChanged);
    // A page whose close waited for its run leaves the list kept against a crash only now.
    connect(page, &QObject::destroyed, this, [this] {
        if (!m_ending)
            emit stripChanged();
    });
    connect(page, &FormWeb::printAsked, this, &PageStack::printAsked);
    connect(page, &FormWeb::loadingChanged, this, [this, page](bool loading) {
        if (page == activePage())
            emit frontLoadingChanged(loading);
    });
    // Whether the pages left on its process still answer is asked a turn later, not in
    // the turn that closes the tab.
    connect(page, &FormWeb::closedOnRenderer, m_renderers, [this, gone = QPointer<FormWeb>(page)](qint64 pid) {
        m_renderers->pageLeft(gone.data(), pid);
    }, Qt::QueuedConnection);
    return page;
}

int PageStack::openAll(const QStringList &given, const OpenTarget &first, int inFront)
{
    // From a command line, another program, a drop or a kept list: never a script or a
    // document no site sent.
    QStringList addresses;
    for (const QString &address : given)
        if (Sites::opensFromOutside(address))
            addresses << address;
    // What an earlier list still has to open goes first, where it was meant to be.
    while (!m_toOpenBehind.isEmpty())
        openNextBehind();
    if (addresses.isEmpty() || !open(addresses[0], first))
        return 0;
    const QStringList rest = OpenPolicy::restInOpeningOrder(addresses, m_book.capacity() - m_book.count());
    m_toOpenBehind += rest;
    // The rest open from the last: address i is the one opened with i - 1 left.
    if (inFront > 0 && inFront <= rest.size())
        m_frontWhenLeft = inFront - 1;
    if (!m_toOpenBehind.isEmpty())
        m_openNext.start();
    return int(rest.size()) + 1;
}

void PageStack::openNextBehind()
{
    // A full strip ends the list: the refusal was said once.
    FormWeb *opened = m_toOpenBehind.isEmpty() ? nullptr : open(m_toOpenBehind.takeFirst(), OpenTarget{OpenTarget::Background, true});
    if (!opened)
        m_toOpenBehind.clear();
    else if (m_toOpenBehind.size() == m_frontWhenLeft)
        m_toFront = opened;
    // To the front once the rest are in: each opens next to the active tab.
    if (m_toOpenBehind.isEmpty()) {
        m_frontWhenLeft = -1;
        if (m_toFront && m_toFront->myindex() >= 0)
            activateSlot(m_toFront->myindex());
        m_toFront = nullptr;
    }
    if (m_toOpenBehind.isEmpty())
        m_openNext.stop();
}

void PageStack::dropPendingOpens()
{
    // Pages of a list still to open (restored after a crash, a folder of favourites) are
    // the user's as if open: closed before they opened, they are closed pages.
    for (auto address = m_toOpenBehind.crbegin(); address != m_toOpenBehind.crend(); ++address) {
        m_closed.record(*address, *address);
        m_closed.showInMenu(*address, *address);
    }
    m_toOpenBehind.clear();
    m_frontWhenLeft = -1;
    m_toFront = nullptr;
    m_openNext.stop();
}

FormWeb *PageStack::LoadNewForm(const QString &address)
{
    return open(address, OpenTarget::newTab(m_session.options.openInBackground() != 0));
}

FormWeb *PageStack::open(const QString &address, const OpenTarget &target)
{
    const int slot = addLabel();
    if (slot < 0) {
        refuseTab();
        return nullptr;
    }
    const QString location = OpenPolicy::location(address);
    FormWeb *page = createPage(slot);
    page->navigate(location);
    page->place(clientRect());
    if (OpenPolicy::opensBehind(location, target)) {
        lowerPage(page);
        m_book.keepPreviousActive();
    } else {
        // The engine may not report the address yet: the box shows the one asked for.
        m_parts.address.setAddress(location);
        m_inWindow = page;
    }
    PaiLie();
    return page;
}

void PageStack::Build()
{
    open(kBlank, OpenTarget::foreground());
    m_parts.address.textUrl()->setFocus();
}

void PageStack::PaiLie()
{
    emit stripChanged();
    m_parts.strip.arrange(m_book, StripGeometry::toTwips(m_parts.client->width()));
    if (FormWeb *p = activePage()) {
        p->place(clientRect());
        raisePage(p);
        p->focusHolder();
        // The back and forward buttons follow the page that is active now.
        p->butenableable();
    }
    showFrontInWindow();
}

void PageStack::activateSlot(int slot)
{
    FormWeb *p = page(slot);
    if (!p)
        return;
    p->place(clientRect());
    p->focusHolder();
    p->butenableable();
    m_book.activate(slot);
    PaiLie();
}

void PageStack::goActive(const QString &address)
{
    // With no tab at all the address is not dropped.
    FormWeb *p = activePage();
    if (!p) {
        open(address, OpenTarget::foreground());
        return;
    }
    p->navigate(address);
    p->focusHolder();
}

void PageStack::closeShown()
{
    // The page shown is the active one: a close always leaves a tab active.
    closeAt(m_book.activePos());
}

void PageStack::showFrontInWindow()
{
    FormWeb *p = activePage();
    // The screen belongs to the page in front only.
    if (m_fullScreenPage && m_fullScreenPage != p)
        m_fullScreenPage->leaveFullScreen();
    if (!p)
        return;
    emit frontLoadingChanged(p->loading());
    setMainCaption(PageText::mainCaption(m_parts.strip.labelText(p->myindex())));
    m_parts.address.showSecurity(p->security());
    const QString location = p->addressShown();
    if (p != m_inWindow) {
        m_inWindow = p;
        m_parts.address.setAddress(location);
    } else if (!location.isEmpty()) {
        // Same page: what the user is typing stays.
        m_parts.address.showPageAddress(location);
    }
}

void PageStack::releaseSlot(int slot)
{
    FormWeb *p = page(slot);
    if (p && !m_parts.strip.labelText(slot).isEmpty())
        m_closed.showInMenu(p->caption(), p->location());
    m_parts.strip.removeLabel(slot);
    m_pages.remove(slot);
    if (p) {
        m_zorder.removeAll(p);
        // Out of the strip for good: its slot may be the next new tab's.
        p->setMyindex(-1);
        p->close();
    }
    // The page shown next is the active one, which arranging the strip raises: showing
    // the one under it here would show, resize and hide a page for nothing.
}

void PageStack::blankLastTab(FormWeb *p)
{
    // The last tab is never closed: its page goes to blank, and no record is made of it
    // (Back brings it back).
    p->navigate(kBlank);
    // Blank from now on, before the engine says so.
    m_parts.strip.setLabel(p->myindex(), PageText::tabLabel(kBlank));
    m_inWindow = nullptr;
    showFrontInWindow();
    m_parts.address.setAddress(kBlank);
}

void PageStack::applyChange(const TabBook::Change &change)
{
    if (!change.freed.isEmpty())
        m_parts.strip.moveCloseButton(-1000);
    for (int slot : change.freed)
        releaseSlot(slot);
}

void PageStack::DelLine()
{
    closeAt(m_book.hoverPos());
}

void PageStack::closeAt(int pos)
{
    const TabBook::Change change = m_book.delLine(pos);
    if (change.blankSlot >= 0) {
        if (FormWeb *p = page(change.blankSlot))
            blankLastTab(p);
        return;
    }
    if (change.freed.isEmpty())
        return;
    applyChange(change);
    PaiLie();
}

void PageStack::CloseRight(int pos)
{
    applyChange(m_book.closeRight(pos));
    PaiLie();
}

void PageStack::CloseLeft(int pos)
{
    applyChange(m_book.closeLeft(pos));
    PaiLie();
}

void PageStack::CloseOthers(int pos)
{
    applyChange(m_book.closeOthers(pos));
    PaiLie();
}

void PageStack::CloseAll()
{
    // All means a list still opening too.
    dropPendingOpens();
    const TabBook::Change change = m_book.closeAll();
    applyChange(change);
    PaiLie();
    if (FormWeb *p = page(change.blankSlot))
        blankLastTab(p);
}

void PageStack::Restore()
{
    const QString address = m_closed.restore();
    if (!address.isEmpty())
        LoadNewForm(address);
}

void PageStack::closeForExit()
{
    dropPendingOpens();
    for (FormWeb *p : pagesInTabOrder())
        p->closeForExit();
    // Pages closed by the user while their pictures were being saved record now too.
    for (FormWeb *p : pagesWaitingToClose())
        p->closeForExit();
    // Their records, in one write.
    m_closed.writeWaiting();
}

QList<FormWeb *> PageStack::pagesWaitingToClose() const
{
    QList<FormWeb *> waiting = m_parts.client->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly);
    waiting.removeIf([](const FormWeb *p) { return !p->closePending(); });
    return waiting;
}

void PageStack::forgetVisits()
{
    const auto all = m_parts.client->findChildren<FormWeb *>(QString(), Qt::FindDirectChildrenOnly);
    for (FormWeb *p : all)
        p->forgetVisits();
}

void PageStack::placeActive()
{
    if (FormWeb *p = activePage())
        p->place(clientRect());
}

void PageStack::raisePage(FormWeb *p)
{
    m_zorder.removeAll(p);
    m_zorder.prepend(p);
    updateShownPage();
}

void PageStack::lowerPage(FormWeb *p)
{
    m_zorder.removeAll(p);
    m_zorder.append(p);
    updateShownPage();
}

void PageStack::updateShownPage()
{
    // Only the top page is shown: covered pages need not render.
    for (int i = 0; i < m_zorder.size(); ++i) {
        FormWeb *p = m_zorder[i];
        if (i == 0) {
            p->show();
            p->raise();
        } else if (p->isVisible()) {
            p->hide();
        }
    }
}

QRect PageStack::clientRect() const
{
    return QRect(QPoint(0, 0), m_parts.client->size());
}



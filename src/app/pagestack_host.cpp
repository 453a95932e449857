// The page stack's answers to its pages (PageHost): a page speaks as itself, and once it
// left the strip its calls touch no tab.
#include "app/pagestack.h"

#include "app/addressrow.h"
#include "app/toolbar.h"
#include "engine/navigationrequests.h"
#include "page/formweb.h"
#include "page/session.h"
#include "tabs/opentarget.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"

#include <QToolButton>

int PageStack::slotOf(const FormWeb *p) const
{
    if (!p)
        return -1;
    const int slot = p->myindex();
    return slot >= 0 && m_pages.value(slot) == p ? slot : -1;
}

bool PageStack::isActive(const FormWeb *p) const
{
    const int slot = slotOf(p);
    return slot >= 0 && m_book.activeSlot() == slot;
}

void PageStack::setTabLabel(const FormWeb *p, const PageText::Label &label)
{
    const int slot = slotOf(p);
    if (slot >= 0) {
        m_parts.strip.setLabel(slot, label);
        emit stripChanged();
    }
}

void PageStack::setMainCaption(const QString &caption)
{
    m_parts.window->setWindowTitle(PageText::plainWindowTitle(caption));
}

void PageStack::setAddressText(const QString &text)
{
    m_parts.address.showPageAddress(text);
    if (const FormWeb *p = activePage())
        m_parts.address.showSecurity(p->security());
}

void PageStack::setBackForward(bool back, bool forward)
{
    m_parts.toolbar.setBackForward(back, forward);
}

void PageStack::recordClosedPage(const QString &caption, const QString &address)
{
    m_closed.record(caption, address);
    emit closedPageRecorded();
}

void PageStack::flushLeftOverHistory(const QVector<Visit> &newestFirst)
{
    m_historyFlush.flush(newestFirst, true);
}

void PageStack::flushHistory(const QVector<Visit> &newestFirst)
{
    m_historyFlush.flush(newestFirst);
}

void PageStack::pageDestroyed(FormWeb *p)
{
    if (p == m_fullScreenPage)
        setPageFullScreen(p, false);
    m_zorder.removeAll(p);
    for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
        if (it.value() == p) {
            m_pages.erase(it);
            break;
        }
    }
}

bool PageStack::galleryShown() const
{
    return m_parts.toolbar.button("Chk")->isChecked();
}

void PageStack::setGalleryToggle(bool checked)
{
    m_parts.toolbar.button("Chk")->setChecked(checked);
}

void PageStack::setPageFullScreen(const FormWeb *page, bool on)
{
    if (on == (m_fullScreenPage != nullptr) || (!on && page != m_fullScreenPage))
        return;
    m_fullScreenPage = on ? const_cast<FormWeb *>(page) : nullptr;
    emit pageFullScreenChanged(on);
}

void PageStack::focusActivePage(const FormWeb *asking)
{
    if (slotOf(asking) >= 0)
        focusActivePage();
}

void PageStack::focusActivePage()
{
    if (FormWeb *p = activePage()) {
        // Not while the user is typing into the address or search box.
        if (!m_parts.address.hasTyping())
            p->focusHolder();
    }
}

void PageStack::openNewWindow(FormWeb *opener, NewWindowRequest &request)
{
    // A page that left the strip opens nothing.
    if (opener && slotOf(opener) < 0) {
        request.cancel = true;
        return;
    }
    const int slot = addLabel();
    if (slot < 0) {
        refuseTab();
        request.cancel = true;
        return;
    }
    FormWeb *p = createPage(slot);
    const OpenTarget target = OpenTarget::newTab(m_session.options.openInBackground() != 0, request.userInitiated);
    if (target.background()) {
        lowerPage(p);
        m_book.keepPreviousActive();
    } else {
        raisePage(p);
    }
    p->receiveNewWindow(request, opener);
    p->place(clientRect());
    PaiLie();
}

void PageStack::showPage(const FormWeb *p)
{
    const int slot = slotOf(p);
    if (slot >= 0 && m_book.activeSlot() != slot)
        activateSlot(slot);
}

void PageStack::closePage(const FormWeb *p)
{
    const int slot = slotOf(p);
    if (slot < 0)
        return;
    const int pos = m_book.positionOf(slot);
    if (pos >= 0)
        closeAt(pos);
}

void PageStack::clearWebFocus()
{
    m_parts.address.clearWebFocus();
}

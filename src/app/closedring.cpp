#include "app/closedring.h"
#include "tabs/sites.h"

#include "app/addressrow.h"
#include "app/closedmenu.h"
#include "tabs/pagetext.h"
#include "platform/settingsstore.h"

#include <utility>

ClosedRing::ClosedRing(SettingsStore &store, ClosedMenu &menu, AddressRow &address)
    : m_pages(store)
    , m_menu(menu)
    , m_address(address)
    , m_store(store)
{
    m_writeSoon.setSingleShot(true);
    m_writeSoon.setInterval(kWriteAfterMs);
    QObject::connect(&m_writeSoon, &QTimer::timeout, &m_writeSoon, [this] { writeWaiting(); });
}

ClosedRing::~ClosedRing()
{
    writeWaiting();
}

void ClosedRing::record(const QString &caption, const QString &typed)
{
    // A password typed into the address is never written down.
    const QString address = PageText::withoutUserInfo(typed);
    if (!ClosedPages::recordable(address) || !Sites::opensFromOutside(address))
        return;
    m_waiting.append({caption, address});
    // From the first close of a burst: a record waits at most this long.
    if (!m_writeSoon.isActive())
        m_writeSoon.start();
}

void ClosedRing::writeWaiting()
{
    m_writeSoon.stop();
    if (m_waiting.isEmpty()) {
        if (!m_unsaved.isEmpty() && m_store.catchUp())
            m_unsaved.clear();
        return;
    }
    const auto waiting = std::exchange(m_waiting, {});
    {
        SettingsStore::Batch batch(m_store);
        for (const auto &[caption, address] : waiting) {
            m_pages.record(caption, address);
            m_address.addRecord(ClosedPages::listEntry(caption, address));
        }
    }
    if (m_store.lastWriteOk())
        m_unsaved.clear();
    else
        m_unsaved += waiting;
}

void ClosedRing::showInMenu(const QString &caption, const QString &address)
{
    m_menu.add(caption, PageText::withoutUserInfo(address));
}

QString ClosedRing::restore()
{
    writeWaiting();
    // A record of an earlier version may hold any scheme.
    const QString address = m_pages.restore();
    return Sites::opensFromOutside(address) ? address : QString();
}

void ClosedRing::load()
{
    writeWaiting();
    m_pages.load();
    m_menu.fill(m_pages.newest(20));
}

void ClosedRing::clear()
{
    m_writeSoon.stop();
    m_waiting.clear();
    m_menu.clear();
    m_pages.clear();
}

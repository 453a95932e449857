#include "app/closedring.h"

#include "app/addressrow.h"
#include "app/closedmenu.h"

ClosedRing::ClosedRing(SettingsStore &store, ClosedMenu &menu, AddressRow &address)
    : m_pages(store)
    , m_menu(menu)
    , m_address(address)
{
}

void ClosedRing::record(const QString &caption, const QString &address)
{
    if (m_pages.record(caption, address))
        m_address.addRecord(ClosedPages::recordText(caption, address));
}

void ClosedRing::showInMenu(const QString &caption, const QString &address)
{
    m_menu.add(caption, address);
}

void ClosedRing::load()
{
    m_pages.load();
    m_menu.fill(m_pages.newest(20));
}

void ClosedRing::clear()
{
    m_menu.clear();
    m_pages.clear();
}

#pragma once
#include <QString>

#include "tabs/closedpages.h"

class AddressRow;
class ClosedMenu;
class SettingsStore;

// The pages closed in this and earlier runs: the stored ring (restored newest first), the
// history menu's items and the address list's records, kept in step.
class ClosedRing
{
public:
    ClosedRing(SettingsStore &store, ClosedMenu &menu, AddressRow &address);

    // A page closes: its record goes into the ring and the address list.
    void record(const QString &caption, const QString &address);
    // A page left the strip: the history menu shows it.
    void showInMenu(const QString &caption, const QString &address);
    // The newest record not restored yet ("" when none).
    QString restore() { return m_pages.restore(); }
    // Reads the ring and fills the history menu from it.
    void load();
    // Forgets every closed page: the menu, the ring and its stored records.
    void clear();
    ClosedPages &pages() { return m_pages; }

private:
    ClosedPages m_pages;
    ClosedMenu &m_menu;
    AddressRow &m_address;
};

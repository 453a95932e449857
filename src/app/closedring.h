#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QTimer>

#include "tabs/closedpages.h"

class AddressRow;
class ClosedMenu;
class SettingsStore;

// The pages closed in this and earlier runs: the stored ring (restored newest first), the
// history menu's items and the address list's records, kept in step. A closed page's
// record reaches the settings file and the address list a moment after the close,
// together with those closed meanwhile: closing one tab after another costs one rewrite
// of the file, not one each, and none of it in the turn that closes the tab.
class ClosedRing
{
public:
    static constexpr int kWriteAfterMs = 250;

    ClosedRing(SettingsStore &store, ClosedMenu &menu, AddressRow &address);
    // Records still waiting are written.
    ~ClosedRing();

    // A page closes: its record goes into the ring and the address list soon.
    void record(const QString &caption, const QString &address);
    // A page left the strip: the history menu shows it.
    void showInMenu(const QString &caption, const QString &address);
    // The newest record not restored yet ("" when none); one still waiting counts.
    QString restore();
    // Reads the ring and fills the history menu from it.
    void load();
    // Forgets every closed page: the menu, the ring, its stored records and those waiting.
    void clear();
    // Writes the records waiting now (within the caller's batch, when there is one), and
    // tries again those a full disk kept in memory (unsaved()).
    void writeWaiting();
    // Records the disk refused so far (caption, address), oldest first: in memory only.
    const QList<QPair<QString, QString>> &unsaved() const { return m_unsaved; }
    // The ring with every record written.
    ClosedPages &pages()
    {
        writeWaiting();
        return m_pages;
    }

private:
    ClosedPages m_pages;
    ClosedMenu &m_menu;
    AddressRow &m_address;
    SettingsStore &m_store;
    QList<QPair<QString, QString>> m_waiting; // caption, address; oldest first
    QList<QPair<QString, QString>> m_unsaved;
    QTimer m_writeSoon;
};

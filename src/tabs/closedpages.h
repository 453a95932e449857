#pragma once
#include <QString>
#include <QVector>

class SettingsStore;

// The ring of 500 recently closed pages, kept in the settings store (section
// "CancelPage": "Count" = newest record number, "Page_0".."Page_499" = records of the
// form title + two blanks + address). Recording advances the cursor and stores it;
// restoring walks it back in memory only, so the next record after restores
// overwrites the restored entries from the cursor on.
class ClosedPages
{
public:
    static constexpr int kRing = 500;
    static constexpr int kMenuItems = 21; // LiHistory items 0..20

    struct Entry {
        QString title;
        QString address;
    };

    explicit ClosedPages(SettingsStore &store);

    // Reads "Count" (missing or not a number: 0).
    void load();
    // Forgets every record: the cursor goes to 0 and the stored section is deleted.
    void clear();
    int cursor() const { return m_cursor; }

    // Only addresses longer than 12 and shorter than 100 characters are recorded.
    static bool recordable(const QString &address);

    // Writes the record (recordText) as the next one. False when not recordable. Under
    // the store's lock: another running instance's newest record is never overwritten
    // (the new one goes after it); within one instance the cursor moved back by
    // restores is kept.
    bool record(const QString &title, const QString &address);

    // Address of the newest record not yet restored ("" when there is none; the cursor
    // then stays). The cursor moves back one.
    QString restore();

    // Up to 20 newest records, newest first, stopping at the first empty one; the ring
    // is not wrapped.
    QVector<Entry> newest(int max = 20) const;

    // The stored form: title + two blanks + the address fully encoded (no blank in it).
    static QString recordText(const QString &title, const QString &address);

    // An address-list entry: the stored form with the address as people read it.
    static QString listEntry(const QString &title, const QString &address);

    // Splits a record (or an address-list entry): the address is the text after its last
    // two blanks, whatever its scheme, and the title what stands before them, so a title
    // can never choose the address. Records stored before addresses were encoded, whose
    // tail is no address, split at their first "http"; a record with neither is used
    // whole for both.
    static Entry parse(const QString &record);

    // The address of a record or address-list entry.
    static QString addressPart(const QString &record);
    // What choosing an address-list entry opens: its address, without the title.
    static QString listChoice(const QString &entry) { return addressPart(entry); }

    // The menu item a newly closed page takes after item `menuCursor`: wraps to 0
    // after item 20.
    static int nextMenuItem(int menuCursor);

    // The menu cursor after the start-up fill made `filled` items.
    static int menuCursorAfterFill(int filled);

private:
    QString recordAt(int number) const;

    SettingsStore &m_store;
    int m_cursor = 0;
    // "Count" as this instance last read or wrote it: when the file says otherwise,
    // another instance has recorded pages since.
    int m_storedCount = -1;
};

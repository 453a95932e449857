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
    int cursor() const { return m_cursor; }

    // Only addresses longer than 12 and shorter than 100 characters are recorded.
    static bool recordable(const QString &address);

    // Writes title + "  " + address as the next record. False when not recordable.
    bool record(const QString &title, const QString &address);

    // Address of the newest record not yet restored ("" when there is none; the cursor
    // then stays). The cursor moves back one.
    QString restore();

    // Up to 20 newest records, newest first, stopping at the first empty one; the ring
    // is not wrapped.
    QVector<Entry> newest(int max = 20) const;

    // Splits a record: the title is what stands before the two blanks in front of the
    // first "http", the address the rest from "http" on. A record without "http" is
    // used whole for both.
    static Entry parse(const QString &record);

    // Address part of a record or address-list entry (from the first "http"; whole
    // text when it has none).
    static QString addressPart(const QString &record);
    // What choosing an address-list entry opens: the address part; for an entry without
    // "http" (a local file's record) the text after its last double blank, so the title
    // is still dropped.
    static QString listChoice(const QString &entry);

    // The menu item a newly closed page takes after item `menuCursor`: wraps to 0
    // after item 20.
    static int nextMenuItem(int menuCursor);

    // The menu cursor after the start-up fill made `filled` items.
    static int menuCursorAfterFill(int filled);

private:
    QString recordAt(int number) const;

    SettingsStore &m_store;
    int m_cursor = 0;
};

#pragma once
#include <QString>
#include <QVector>

#include "tabs/closedpages.h"

class QAction;

// The 21 LiHistory items of the history menu: filled with the newest closed pages at
// start-up, then each page closed in this run takes the next item, wrapping after the
// last. Items carry their address as data.
class ClosedMenu
{
public:
    explicit ClosedMenu(const QVector<QAction *> &items) : m_items(items) {}

    void fill(const QVector<ClosedPages::Entry> &entries);
    void add(const QString &caption, const QString &address);
    // Hides every item; the next closed page takes item 0.
    void clear();
    int cursor() const { return m_cursor; }

private:
    void show(int item, const QString &caption, const QString &address);

    QVector<QAction *> m_items;
    int m_cursor = -1;
};

#include "tabs/tabbook.h"

#include <QStringList>

TabBook::TabBook(int capacity)
    : m_capacity(capacity > 0 ? capacity : 1)
{
    m_order.fill(-1, m_capacity);
    m_free.reserve(m_capacity);
}

int TabBook::slotAt(int pos) const
{
    return pos >= 0 && pos < m_count ? m_order[pos] : -1;
}

int TabBook::positionOf(int slot) const
{
    if (slot < 0)
        return -1;
    for (int p = 0; p < m_count; ++p)
        if (m_order[p] == slot)
            return p;
    return -1;
}

int TabBook::addLab()
{
    if (isFull())
        return -1;
    const int at = m_active + 1;
    for (int p = m_count; p > at; --p)
        m_order[p] = m_order[p - 1];
    int slot;
    if (!m_free.isEmpty()) {
        slot = m_free.takeLast();
    } else {
        slot = m_count;
    }
    m_order[at] = slot;
    ++m_count;
    ++m_active;
    m_newSlot = m_order[m_active];
    return m_newSlot;
}

void TabBook::keepPreviousActive()
{
    if (m_active > 0)
        --m_active;
}

void TabBook::activate(int slot)
{
    const int pos = positionOf(slot);
    if (pos >= 0)
        m_active = pos;
}

TabBook::Change TabBook::delLine(int pos)
{
    Change c;
    if (!inRange(pos))
        return c;
    if (m_count == 1) {
        c.blankSlot = m_order[0];
        return c;
    }
    m_newSlot = m_order[pos];
    c.freed.append(m_newSlot);
    m_free.append(m_newSlot);
    for (int p = pos; p < m_count - 1; ++p)
        m_order[p] = m_order[p + 1];
    m_order[m_count - 1] = -1;
    --m_count;
    if (m_active == pos) {
        // The left neighbour takes over; at position 0 the right one, now standing there:
        // a window without an active tab would show one page and name another.
        m_active = pos > 0 ? pos - 1 : 0;
        c.showActive = true;
    } else if (pos < m_active) {
        --m_active;
    }
    return c;
}

TabBook::Change TabBook::closeRight(int pos)
{
    Change c;
    if (!inRange(pos))
        return c;
    for (int p = pos + 1; p < m_count; ++p) {
        c.freed.append(m_order[p]);
        m_free.append(m_order[p]);
        m_order[p] = -1;
    }
    m_count = pos + 1;
    if (m_active > pos) {
        m_active = pos;
        c.showActive = true;
    }
    return c;
}

TabBook::Change TabBook::closeLeft(int pos)
{
    Change c;
    if (!inRange(pos) || pos == 0)
        return c;
    for (int p = 0; p < pos; ++p) {
        c.freed.append(m_order[p]);
        m_free.append(m_order[p]);
    }
    for (int p = pos; p < m_count; ++p)
        m_order[p - pos] = m_order[p];
    for (int p = m_count - pos; p < m_count; ++p)
        m_order[p] = -1;
    m_count -= pos;
    if (m_active < pos) {
        m_active = 0;
        c.showActive = true;
    } else {
        m_active -= pos;
    }
    m_hover = 0;
    return c;
}

TabBook::Change TabBook::closeOthers(int pos)
{
    if (!inRange(pos))
        return Change();
    Change c = closeLeft(pos);
    // The tab kept is at position 0 now.
    const Change right = closeRight(0);
    c.freed += right.freed;
    c.showActive = c.showActive || right.showActive;
    return c;
}

TabBook::Change TabBook::closeAll()
{
    Change c;
    if (m_count == 0)
        return c;
    for (int p = 1; p < m_count; ++p) {
        c.freed.append(m_order[p]);
        m_free.append(m_order[p]);
        m_order[p] = -1;
    }
    m_count = 1;
    m_active = 0;
    m_newSlot = m_order[0];
    c.blankSlot = m_order[0];
    return c;
}

QString TabBook::describe() const
{
    QStringList parts;
    for (int p = 0; p < m_count; ++p)
        parts << QString::number(m_order[p]) + (p == m_active ? QStringLiteral("*") : QString());
    return parts.join(QLatin1Char(' '));
}

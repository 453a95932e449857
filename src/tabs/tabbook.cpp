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

TabBook::Change TabBook::delLine()
{
    Change c;
    if (!hoverInRange())
        return c;
    if (m_count == 1) {
        c.blankSlot = m_order[0];
        return c;
    }
    m_newSlot = m_order[m_hover];
    c.freed.append(m_newSlot);
    m_free.append(m_newSlot);
    for (int p = m_hover; p < m_count - 1; ++p)
        m_order[p] = m_order[p + 1];
    m_order[m_count - 1] = -1;
    --m_count;
    if (m_active == m_hover) {
        // The left neighbour takes over; at position 0 there is none and no tab is active.
        m_active = m_hover - 1;
        c.showActive = m_active >= 0;
    } else if (m_hover < m_active) {
        --m_active;
    }
    return c;
}

TabBook::Change TabBook::closeRight()
{
    Change c;
    if (!hoverInRange())
        return c;
    for (int p = m_hover + 1; p < m_count; ++p) {
        c.freed.append(m_order[p]);
        m_free.append(m_order[p]);
        m_order[p] = -1;
    }
    m_count = m_hover + 1;
    if (m_active > m_hover) {
        m_active = m_hover;
        c.showActive = true;
    }
    return c;
}

TabBook::Change TabBook::closeLeft()
{
    Change c;
    if (!hoverInRange() || m_hover == 0)
        return c;
    for (int p = 0; p < m_hover; ++p) {
        c.freed.append(m_order[p]);
        m_free.append(m_order[p]);
    }
    for (int p = m_hover; p < m_count; ++p)
        m_order[p - m_hover] = m_order[p];
    for (int p = m_count - m_hover; p < m_count; ++p)
        m_order[p] = -1;
    m_count -= m_hover;
    if (m_active < m_hover) {
        m_active = 0;
        c.showActive = true;
    } else {
        m_active -= m_hover;
    }
    m_hover = 0;
    return c;
}

TabBook::Change TabBook::closeOthers()
{
    if (!hoverInRange())
        return Change();
    Change c = closeLeft();
    const Change right = closeRight();
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

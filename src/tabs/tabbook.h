#pragma once
#include <QString>
#include <QVector>

// The tab bookkeeping of the main window, with no widget in it.
//
// Owns: the order of the tabs (TabOrder: slot by position), the number of open tabs,
// the active position (-1 only while no tab is open), the hovered position and the stack of released
// slots. A slot never changes while its tab is open; positions shift as tabs open and
// close. Invariants: TabOrder[0..count-1] are distinct open slots; a slot is open or on
// the free stack, never both; count never exceeds the capacity (5001 tables entries,
// slots 0..5000) - a tab beyond that is refused.
//
// Each closing operation returns a Change listing the slots to release, in order; the
// main window releases them (labels, page windows, closed-page records) and then
// re-arranges the strip.
class TabBook
{
public:
    static constexpr int kCapacity = 5001;

    struct Change {
        QVector<int> freed;      // slots released, in the order they were closed
        int blankSlot = -1;      // slot whose page must navigate to "about:blank"
        bool showActive = false; // address bar and caption must follow the new active tab
    };

    explicit TabBook(int capacity = kCapacity);

    int count() const { return m_count; }
    int activePos() const { return m_active; }
    int hoverPos() const { return m_hover; }
    void setHoverPos(int pos) { m_hover = pos; }
    int newSlot() const { return m_newSlot; }
    int capacity() const { return m_capacity; }
    bool isFull() const { return m_count >= m_capacity; }

    int slotAt(int pos) const;          // -1 outside 0..count-1
    int positionOf(int slot) const;     // -1 when the slot is not open
    int activeSlot() const { return slotAt(m_active); }
    bool isOpen(int slot) const { return positionOf(slot) >= 0; }
    QVector<int> freeSlots() const { return m_free; }

    // New slot right of the active tab, made the active position. Returns the slot, or
    // -1 when every table entry is in use (nothing changes then).
    int addLab();

    // A page opened behind the active tab: the previously active tab, just left of the
    // new one, stays active.
    void keepPreviousActive();

    void activate(int slot);

    // Each closes around a position it is given (the hovered one, the one in front, the
    // one a menu was opened on: the caller says which).
    Change delLine(int pos);     // close the tab at pos
    Change closeRight(int pos);  // tabs right of pos
    Change closeLeft(int pos);   // tabs left of pos (the hovered place goes to 0)
    Change closeOthers(int pos); // all but the tab at pos
    Change closeAll();    // all but the tab at position 0, which is blanked

    // "0 2* 1": slots in tab order, the active one starred.
    QString describe() const;

private:
    bool inRange(int pos) const { return pos >= 0 && pos < m_count; }

    int m_capacity;
    QVector<int> m_order; // TabOrder
    QVector<int> m_free;  // FreeSlots (top = back)
    int m_count = 0;
    int m_active = -1;
    int m_hover = 0;
    int m_newSlot = -1;
};

#pragma once
#include "pictures/picturelist.h"

// "One large-picture run at a time" for the whole program. A run asks for it and gives it
// back; nobody else sets or clears it.
class PictureRunLock
{
public:
    // True when owner holds the lock now (it may already have held it).
    bool tryTake(const void *owner)
    {
        if (m_owner && m_owner != owner)
            return false;
        m_owner = owner;
        return true;
    }
    // Only the holder can give it back.
    void release(const void *owner)
    {
        if (m_owner == owner)
            m_owner = nullptr;
    }
    bool held() const { return m_owner != nullptr; }
    bool heldBy(const void *owner) const { return owner && m_owner == owner; }

private:
    const void *m_owner = nullptr;
};

// Picture state the whole program shares: the last search's list, and the lock that lets
// one page at a time save its large pictures. Each run keeps its own folder and names.
struct PictureState {
    PictureList list;    // the addresses the last gallery search found
    PictureRunLock runLock;
};

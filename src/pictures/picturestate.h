#pragma once
#include <QString>

#include "pictures/picturelist.h"

// Picture state the whole program shares: the last search's list, and the saving run's
// folder, serial and busy flag.
struct PictureState {
    PictureList list;    // the addresses the last gallery search found
    QString folder;      // where the current (or last) saving run writes
    int serial = 0;      // serial of the next picture name
    bool saving = false; // some page is saving its large pictures
};

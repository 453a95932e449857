#pragma once
#include <QString>

#include "userdata/bookmarkfile.h"

class Favorites;

// Bookmarks of another browser's file among the favourites: web and file addresses only
// (a script bookmark never becomes an item that looks like a page), an address already
// among them once, appended in one write or not at all. Each folder of the file becomes a
// category folder under the favourites' folder.
struct BookmarkImport {
    int added = 0;
    int duplicates = 0;
    int notPages = 0;
    int categoriesMade = 0;
    bool saved = true;

    static BookmarkImport run(const Favorites &favorites, const QString &categoryFolder, const BookmarkFile::Read &read);
    // What it did, in a sentence for the user.
    QString summary() const;
};

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// The bookmark file other browsers export and import (an HTML page of nested lists:
// folders as <H3>, bookmarks as <A HREF>), read into favourites and written from them.
namespace BookmarkFile {
struct Bookmark {
    QString title;
    QString address;
    // Its folder as one category: the folders from the top joined by " - " ("" at the
    // top), since the favourites have one level of categories.
    QString category;
};
struct Read {
    QVector<Bookmark> bookmarks; // in file order
    QStringList categories;      // every folder's category, in file order, once each
};
// None when the bytes are not such a file.
std::optional<Read> read(const QByteArray &bytes);
// The favourites (title, address) as such a file, under one folder named folder.
QByteArray write(const QString &folder, const QVector<QPair<QString, QString>> &favourites);
} // namespace BookmarkFile

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The generated page that shows a document's pictures: centred, at their natural size,
// each a link to itself. Lines end in CR LF; there is no head and nothing is closed.
namespace GalleryPage {
// The page's bytes. Every address is escaped for HTML, and characters beyond ASCII are
// written as character references, so the bytes read the same in any 8-bit code page.
QByteArray bytes(const QStringList &addresses);
// The picture viewer's page for one picture: black, centred, the picture with the tool
// tip "图像"; the address escaped as in the gallery.
QByteArray viewerBytes(const QString &address);

// Where a page's gallery lives: a file of its own in the user's folder for generated
// pages.
QString newPath();
} // namespace GalleryPage

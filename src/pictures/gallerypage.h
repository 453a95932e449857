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
// Where the page lives: the user's own folder for generated pages.
QString path();
} // namespace GalleryPage

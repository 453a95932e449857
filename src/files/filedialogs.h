#pragma once
#include <QString>

class Dialogs;
class QWidget;

// The save and open dialogs of the files subsystem, with their shared list of file types,
// and the cleaning of a proposed file name.
namespace FileDialogs {

// The four file types, numbered from 1: all files, pictures, web pages, text.
enum Filter { All = 1, Pictures = 2, WebPages = 3, Text = 4 };
// As the file dialog takes it, the entry at index first (so it is the one selected).
QString filterList(int index);
// The chosen path ("" when cancelled); the proposed name is cleaned first.
QString showSaveDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &proposedName, int filter);
QString showOpenDialog(Dialogs &dialogs, QWidget *owner, const QString &title, const QString &folder, int filter);
// Writes text as GB18030 (GBK for every GBK character) with a closing CR LF, whole or
// not at all.
bool writeText(const QString &path, const QString &text);
// Markup as bytes that reopen as the page: in the character set its own markup declares
// (a <meta> charset), so a browser reads it back as written; GB18030 where it declares
// none, declares a GB one, or one this system cannot write. A closing CR LF as for text.
QByteArray sourceBytes(const QString &markup);
bool writeSource(const QString &path, const QString &markup);

} // namespace FileDialogs

#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QIODevice;

// The text files the browser writes itself are GBK text with CR LF line ends, read as
// GB18030 (a strict superset, so old files read byte for byte).
namespace GbkText {

// Lossless: every character, GBK or not, in GB18030.
QByteArray encode(const QString &text);
// For HTML files: characters GBK cannot hold (emoji, rare CJK) become numeric character
// references, so the file stays readable as GBK and a page shows every character.
QByteArray encodeHtml(const QString &text);
QString decode(const QByteArray &bytes);
// Lines split at CR LF, LF or a lone CR.
QStringList lines(const QString &text);
// Reads a device line by line (any line end), decoding as it goes, until the end or until
// the callback returns false: a reader that needs the first lines never reads the rest.
void forEachLine(QIODevice &device, const std::function<bool(const QString &line)> &take);

} // namespace GbkText

#include "userdata/gbktext.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace GbkText {

QByteArray encode(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QByteArray encodeHtml(const QString &text)
{
    QStringEncoder encoder("GB18030");
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        const QByteArray bytes = encoder.encode(QString::fromUcs4(&c, 1));
        // GB18030's four-byte sequences are exactly what GBK lacks.
        if (bytes.size() == 2)
            out.append(bytes);
        else
            out.append("&#" + QByteArray::number(uint(c)) + ';');
    }
    return out;
}

QString decode(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

QStringList lines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList out = text.split(breaks);
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace GbkText

#include "userdata/gbktext.h"

#include <QIODevice>
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

void forEachLine(QIODevice &device, const std::function<bool(const QString &line)> &take)
{
    QStringDecoder decoder("GB18030");
    QString pending;
    qsizetype scan = 0; // pending before this holds no line end: a long line is scanned once
    bool atEnd = false;
    while (!atEnd) {
        const QByteArray chunk = device.read(64 * 1024);
        atEnd = chunk.isEmpty();
        pending += atEnd ? QString(decoder.decode(QByteArrayView())) : QString(decoder.decode(chunk));
        qsizetype start = 0;
        qsizetype i = scan;
        for (; i < pending.size(); ++i) {
            const QChar c = pending.at(i);
            if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
                continue;
            // A CR at the end of a chunk may be the first half of a CR LF.
            if (c == QLatin1Char('\r') && i + 1 == pending.size() && !atEnd)
                break;
            if (!take(pending.mid(start, i - start)))
                return;
            if (c == QLatin1Char('\r') && i + 1 < pending.size() && pending.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        pending.remove(0, start);
        scan = qMax<qsizetype>(0, i - start);
    }
    if (!pending.isEmpty())
        take(pending);
}

} // namespace GbkText

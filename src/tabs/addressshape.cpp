#include "tabs/addressshape.h"

namespace {

bool asciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool asciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool blank(QChar c)
{
    return c == QLatin1Char(' ') || (c >= QLatin1Char('\t') && c <= QLatin1Char('\r'));
}

} // namespace

int AddressShape::schemeLength(const QString &text)
{
    if (text.isEmpty() || !asciiLetter(text.at(0)))
        return 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(':'))
            return int(i + 1);
        if (!asciiLetter(c) && !asciiDigit(c) && c != QLatin1Char('+') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            return 0;
    }
    return 0;
}

bool AddressShape::startsWithSchemeAndMore(const QString &text)
{
    const int scheme = schemeLength(text);
    return scheme > 0 && scheme < text.size() && !blank(text.at(scheme));
}

bool AddressShape::startsWithDottedName(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && !blank(text.at(end)) && text.at(end) != QLatin1Char('/'))
        ++end;
    if (end < text.size() && text.at(end) != QLatin1Char('/'))
        return false;
    const qsizetype dot = text.indexOf(QLatin1Char('.'), 1);
    return dot > 0 && dot < end - 1;
}

bool AddressShape::isHostAndPath(const QString &text)
{
    for (const QChar c : text) {
        if (blank(c))
            return false;
    }
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    const QStringView host = slash < 0 ? QStringView(text) : QStringView(text).left(slash);
    // The host's last dot: a name before it without a colon, something after it.
    const qsizetype dot = host.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && dot < host.size() - 1 && !host.left(dot).contains(QLatin1Char(':'));
}

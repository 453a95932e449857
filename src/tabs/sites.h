#pragma once
#include <QString>

#include "tabs/addressshape.h"

// Built-in addresses of the browser, and what the address box shows for a location.
namespace Sites {

// The web directory opened when the browser starts without an address. It always opens
// in its marked form, which is never shown in the address bar nor recorded as closed.
inline const QString kStartPage = QStringLiteral("http://www.2345.com/");
inline const QString kMarkedStartPage = kStartPage + QStringLiteral("?k527");

// The default home page: the forum listing page of 华声论坛.
inline const QString kDefaultHomePage = QStringLiteral("http://bbs.voc.com.cn/forum-50-1.html");

// The web search; the typed text is appended.
inline const QString kSearchAddress = QStringLiteral("http://www.baidu.com/s?wd=");

// A search word as it goes into an address: kept as typed (Chinese and all), but the
// characters that would change the address's meaning are encoded, so the search engine
// receives exactly what the user typed.
inline QString searchTerm(const QString &word)
{
    QString out;
    out.reserve(word.size());
    for (const QChar c : word) {
        switch (c.unicode()) {
        case '%': out += QLatin1String("%25"); break;
        case '&': out += QLatin1String("%26"); break;
        case '#': out += QLatin1String("%23"); break;
        case '+': out += QLatin1String("%2B"); break;
        case ' ': out += QLatin1String("%20"); break;
        default: out += c;
        }
    }
    return out;
}

// The web search for a word.
inline QString searchAddress(const QString &word)
{
    return kSearchAddress + searchTerm(word);
}

// A blank page shows as the start of an address the user can complete.
inline const QString kBlankShown = QStringLiteral("http://www.");

// What the address bar shows for a location: the marked start page as the plain one,
// a blank page as "http://www.".
inline QString shownAddress(const QString &location)
{
    if (location == kMarkedStartPage)
        return kStartPage;
    if (location == QLatin1String("about:blank"))
        return kBlankShown;
    return location;
}

// The address typed or pasted into the box: after the blank page's "http://www." a whole
// address of its own ("https://a.example/", "file:///tmp/x.html") stands alone; anything
// else completes the prefill ("sina.com.cn" gives "http://www.sina.com.cn").
inline QString typedAddress(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.startsWith(kBlankShown, Qt::CaseInsensitive))
        return t;
    const QString rest = t.mid(kBlankShown.size());
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    // A scheme: letters, digits, "+", "-", "." before a colon, then "//" or a path.
    bool scheme = colon > 0 && rest.at(0).isLetter();
    for (qsizetype i = 0; scheme && i < colon; ++i) {
        const QChar c = rest.at(i);
        scheme = c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.');
    }
    if (scheme && (rest.mid(colon + 1).startsWith(QLatin1String("//")) || rest.startsWith(QLatin1String("about:"), Qt::CaseInsensitive)))
        return rest;
    return t;
}

// The one list of schemes an address that did not come from the page itself opens with
// (a command line, another program, a drop, the kept lists, the closed pages): the web,
// ftp, local files and the blank page. Any other scheme never opens from there:
// javascript: would run in the site in front, data: and blob: would show what no site
// sent. Text with no scheme of its own ("sina.com.cn", "localhost:8080", a search word)
// is the address box's to complete.
inline bool opensFromOutside(const QString &address)
{
    const QString t = address.trimmed();
    const int length = AddressShape::schemeLength(t);
    if (length == 0)
        return true;
    const QString scheme = t.left(length - 1).toLower();
    for (const char *never : {"javascript", "vbscript", "data", "blob"})
        if (scheme == QLatin1String(never))
            return false;
    for (const char *known : {"http", "https", "ftp", "file", "about"})
        if (scheme == QLatin1String(known))
            return true;
    // A host and its port ("localhost:8080/x"), not a scheme: digits only, up to the path.
    qsizetype end = length;
    while (end < t.size() && t.at(end).isDigit() && t.at(end).unicode() < 128)
        ++end;
    return end > length && (end == t.size() || t.at(end) == QLatin1Char('/') || t.at(end) == QLatin1Char('?') || t.at(end) == QLatin1Char('#'));
}

// Only a web address goes to another program that shows web pages.
inline bool isWebAddress(const QString &address)
{
    const QString t = address.trimmed();
    return t.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) || t.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace Sites

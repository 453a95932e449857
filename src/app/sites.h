#pragma once
#include <QString>

// Built-in addresses of the browser.
namespace Sites {

// The web directory opened when the browser starts without an address. It always opens
// in its marked form, which is never shown in the address bar nor recorded as closed.
inline const QString kStartPage = QStringLiteral("http://www.2345.com/");
inline const QString kMarkedStartPage = kStartPage + QStringLiteral("?k527");

// The default home page: the forum listing page of 华声论坛.
inline const QString kDefaultHomePage = QStringLiteral("http://bbs.voc.com.cn/forum-50-1.html");

// What the address bar shows for a location: the marked start page as the plain one.
inline QString shownAddress(const QString &location)
{
    return location == kMarkedStartPage ? kStartPage : location;
}

} // namespace Sites

#pragma once
#include <QString>
#include <QVector>

// The outside sites behind the menus and toolbar buttons. Addresses are data: the
// browser opens them in new tabs, tests only read them.
namespace SiteTables {

struct Item {
    const char *name;    // control name of the menu item
    const char *caption;
    const char *address; // for search items the prefix the search word is appended to
    bool usesWord;       // search items: the word is appended (else the address opens as is)
    bool groupStart;     // a separator stands before the item
};

// The search-engine menu behind the search button.
const QVector<Item> &searchWord();
// "搜索排名(&S)": rankings and web directories; the search word is not used.
const QVector<Item> &netSearch();
// "音乐(&M)": video and music sites.
const QVector<Item> &music();

// Single addresses of the toolbar, the favourites menu and the help menu.
inline const QString kBaiduHome = QStringLiteral("http://www.baidu.com/");
inline const QString k360Directory = QStringLiteral("http://hao.360.com/");
inline const QString kTaobaoHome = QStringLiteral("http://www.taobao.com/");
inline const QString kModelPictures = QStringLiteral("http://www.169tp.com/");
inline const QString kGlamourPictures = QStringLiteral("http://www.169bb.com/");
inline const QString kProductSite = QStringLiteral("http://www.velmo.cn/");
// The tools' pages and the maker's mail address.
inline const QString kIpLookup = QStringLiteral("http://www.velmo.cn/ip/");
inline const QString kCalendar = QStringLiteral("http://www.velmo.cn/calendar/");
inline const QString kMakerMail = QStringLiteral("velmo@velmo.cn");

// What a site search opens: the prefix followed by the word as typed, or with no word
// the root of the prefix's host ("http://" and the host part).
QString siteSearchAddress(const QString &prefix, const QString &word);

} // namespace SiteTables

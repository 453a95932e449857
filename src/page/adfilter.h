#pragma once
#include <QString>

// The address filter run before every navigation of every page, frames included. Only
// long addresses are judged, only while ad blocking is on and safe picture mode off.
namespace AdFilter {

// Addresses of this length or shorter are never refused.
constexpr int kMaxUnjudgedLength = 80;

// Domain fragments of the search sites whose long addresses are let through.
inline const QString kAllowedFragments[] = {
    QStringLiteral(".baidu.com/"),  // Baidu
    QStringLiteral(".haosou.com/"), // Haosou
    QStringLiteral(".sogou.com/"),  // Sogou
    QStringLiteral(".so.com/"),     // 360 search
};

// True when the navigation to url must be cancelled.
bool refuses(const QString &url, int adBlock, int safePictureMode);

} // namespace AdFilter

#pragma once
#include <QString>
#include <QUrl>

// What a user types into a browser, as an address: full addresses, host names without
// a scheme ("host:port/path" too), local file paths (a relative one only when it
// exists) and "about:blank". Text that is no address at all still gives an address, so
// the engine shows its error page instead of nothing happening.
namespace TypedAddress {
QUrl toUrl(const QString &text);
}

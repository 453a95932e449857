#include "page/adfilter.h"

namespace AdFilter {

bool refuses(const QString &url, int adBlock, int safePictureMode)
{
    if (adBlock != 1 || safePictureMode != 0 || url.size() <= kMaxUnjudgedLength)
        return false;
    if (url.startsWith(QLatin1String("http://www.")))
        return false;
    // A fragment counts from character position 9 on (1-based), so a host that merely
    // begins like one does not.
    for (const QString &fragment : kAllowedFragments)
        if (url.indexOf(fragment, 8) >= 0)
            return false;
    return true;
}

} // namespace AdFilter

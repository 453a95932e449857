#include "tabs/stripgeometry.h"

#include <cmath>

namespace StripGeometry {

TabRow tabRow(int clientWidth, int tabs)
{
    TabRow row;
    if (tabs <= 0)
        return row;
    // Round half to even, as the integer assignment of the layout rule does.
    int w = int(std::nearbyint(double(clientWidth - 420) / double(tabs)));
    if (w > 2500)
        w = 2500;
    row.tabWidth = w;
    row.labelWidth = w - 30;
    row.lefts.reserve(tabs);
    for (int i = 0; i < tabs; ++i)
        row.lefts.append(w * i + 30);
    row.addLeft = tabs * w + 30;
    return row;
}

int tabsThatFit(int clientWidth, int minLabelWidth)
{
    // A label is (W - 420) / n - 30 wide.
    const int n = (clientWidth - 420) / (minLabelWidth + 30);
    return n > 1 ? n : 1;
}

AddressRow addressRow(int clientWidth)
{
    AddressRow row;
    row.textUrlWidth = clientWidth * 2 / 3;
    row.cmdGoLeft = row.textUrlWidth + 860;
    row.cmdSearchLeft = clientWidth - 1150;
    row.combSearchLeft = row.cmdGoLeft + 380;
    row.combSearchWidth = clientWidth - row.textUrlWidth - 2400;
    return row;
}

} // namespace StripGeometry

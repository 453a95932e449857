#pragma once
#include <QVector>

// Geometry of the main window's top strip, in twips (15 twips = 1 pixel). Widgets
// convert once, at the boundary.
namespace StripGeometry {

constexpr int kTwipsPerPixel = 15;
inline int toPixels(int twips) { return twips / kTwipsPerPixel; }
inline int toTwips(int pixels) { return pixels * kTwipsPerPixel; }

// Labels of the tab row for n tabs in a client width W.
struct TabRow {
    int tabWidth = 0;      // w
    int labelWidth = 0;    // w - 30; <= 0 means "keep the old width"
    QVector<int> lefts;    // Left of the label at each position
    int addLeft = 0;       // Left of the "+" label
};
TabRow tabRow(int clientWidth, int tabs);

// How many tabs the row holds in a client width before a label is narrower than
// minLabelWidth (at least one).
int tabsThatFit(int clientWidth, int minLabelWidth = 600);

// The address row after a resize to client width W.
struct AddressRow {
    int textUrlWidth = 0;
    int cmdGoLeft = 0;
    int cmdSearchLeft = 0;
    int combSearchLeft = 0;
    int combSearchWidth = 0; // <= 0 means "keep the old width"
};
AddressRow addressRow(int clientWidth);

// Left of the close button over a label.
inline int closeButtonLeft(int labelLeft, int labelWidth) { return labelLeft + labelWidth - 280; }

} // namespace StripGeometry

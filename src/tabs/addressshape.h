#pragma once
#include <QString>

// Whether a text is shaped like an address, read by hand: titles are checked on every load,
// and the first regular expression would bring the expression compiler's code in at start.
// Blanks are the ASCII ones: space, tab and line breaks.
namespace AddressShape {

// The length of a leading scheme with its colon ("http:" gives 5), or 0.
int schemeLength(const QString &text);

// A scheme followed by something other than a blank: "about:blank" but not "a:".
bool startsWithSchemeAndMore(const QString &text);

// A dotted name at the start, alone or before a path: "example.com", "a.b/c".
bool startsWithDottedName(const QString &text);

// The whole text is a host name with a dot, perhaps a port or more after a colon, perhaps
// a path, and no blanks: "a.example:8080/x".
bool isHostAndPath(const QString &text);

} // namespace AddressShape

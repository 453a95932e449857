#pragma once
#include <QString>

namespace FileNames {
// File names are UTF-8 here, as Qt takes them. When the user's locale cannot be loaded
// (a language not generated on this system) the C library falls back to ASCII, and the
// engine then cannot write or link a file with any other character in its name (a page
// saved complete under a Chinese name lost every picture link). The character type is
// then made C.UTF-8, for this process and the processes it starts; messages and formats
// stay as they were. Call before any thread starts: the C library's locale is not safe
// to change while another thread reads it.
void useUtf8();

// A file name made from text a page or a server chose (a title, a proposed name): the
// one rule for every name the browser proposes. Characters a file name may not hold are
// replaced ("\" removed, "/" a blank, ":" "：", "*" "，", "<" "[", ">" "]", "|" "I",
// "?" "？", '"' "'"); control and direction characters go; no leading dot, tilde or
// blank (nothing hidden, nothing read as home); at most 200 bytes, its extension kept.
// "" when nothing is left.
QString fromText(const QString &text);
} // namespace FileNames

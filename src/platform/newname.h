#pragma once
#include <QString>

namespace NewName {
enum class Move { Moved, Exists, Unsupported, Failed };
// Moves a file to a name no file has, whole and never over a file that is there: the
// one way a finished file is put in place without replacing anything. Unsupported: the
// file system can neither rename without replacing nor link (a FAT stick); the file
// stays where it is.
Move moveTo(const QString &from, const QString &to);
} // namespace NewName

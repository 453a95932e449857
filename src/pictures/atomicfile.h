#pragma once
#include <QByteArray>
#include <QString>

namespace AtomicFile {
// Writes a file under a temporary name and renames it into place: the file is either
// whole or not there (an old file stays as it was). The new file is the user's alone.
bool write(const QString &path, const QByteArray &bytes);
enum class NewFile { Written, Exists, Failed };
// The same, but never replacing a file: when the name is taken (even by a file that
// appeared a moment ago) nothing is written and the answer is Exists.
NewFile writeNew(const QString &path, const QByteArray &bytes);
} // namespace AtomicFile

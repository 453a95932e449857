#pragma once
#include <QDateTime>
#include <QString>

namespace PictureName {
// The program's download folder for pictures (with its trailing separator), created
// when missing.
QString downloadFolder();
// A folder as the savers use it: with a trailing separator.
QString folder(const QString &path);
// Year, month and day, "_", hour and minute, then the serial, ".jpg"; no leading zeros.
QString fileName(const QDateTime &when, int serial);
// The next name in the folder that no file has and no run has reserved, raising the
// serial past taken names; the name stays reserved until release(). Empty when none is
// free within a sane bound. Safe from any thread.
QString next(const QString &folder, int &serial, const QDateTime &when);
// The name is written (or given up): it is no longer held back from other runs.
void release(const QString &name);
} // namespace PictureName

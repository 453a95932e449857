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
// The next name in the folder that no file has, raising the serial past taken names.
// Empty when none is free within a sane bound.
QString next(const QString &folder, int &serial, const QDateTime &when);
} // namespace PictureName

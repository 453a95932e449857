#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Appends bytes to a file as one whole: either all of them reach the file, or the file
// is left exactly as it was (a short write on a full disk is cut off again), so a line
// is never left half written for the next one to be glued onto. A new file gets the
// given permissions. False when the bytes are not in the file.
bool appendWhole(const QString &path, const QByteArray &bytes,
                 QFileDevice::Permissions newFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner);

// Replaces a file's bytes whole (written aside, then renamed over it), keeping an
// existing file's permissions; the old file stays as it was when this fails.
bool replaceWhole(const QString &path, const QByteArray &bytes);

// A file's bytes, empty for a file that is not there; false when it is there but cannot
// be read (a file must not be rewritten from nothing then).
bool readWhole(const QString &path, QByteArray &bytes);

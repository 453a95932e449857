#pragma once
#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

// Appends bytes to a file as one whole: either all of them reach the file, or the file
// is left exactly as it was (a short write on a full disk is cut off again), so a line
// is never left half written for the next one to be glued onto. A new file gets the
// given permissions. False when the bytes are not in the file.
bool appendWhole(const QString &path, const QByteArray &bytes,
                 QFileDevice::Permissions newFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner);

// Replaces a file's bytes whole: written aside, synced, each step checked, and only then
// renamed over it. An existing file keeps its permissions; a new one gets newFile (or
// what the umask gives). When this fails the old file stays byte for byte as it was and
// nothing else is left behind.
bool replaceWhole(const QString &path, const QByteArray &bytes,
                  std::optional<QFileDevice::Permissions> newFile = std::nullopt);

// A file's bytes, empty for a file that is not there; false when it is there but cannot
// be read (a file must not be rewritten from nothing then).
bool readWhole(const QString &path, QByteArray &bytes);

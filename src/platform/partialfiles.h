#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/types.h>

// The files a running instance writes for transfers under way: the engine's partial files
// and the empty files that hold chosen names. Listed in a file of the instance's own, so
// that after the instance was killed the next start removes exactly these, never a file
// found by its name's pattern alone.
class PartialFiles
{
public:
    explicit PartialFiles(const QString &listFile);
    QString listFile() const { return m_listFile; }

    // A partial file: removed at the next start if it is still there then.
    bool addPartial(const QString &path);
    // An empty file made to hold a name: removed only while it is still that file, empty.
    bool addHeld(const QString &path, dev_t device, ino_t inode);
    // The transfer ended: its lines go.
    bool forget(const QString &path);

    // Removes what the list names (as above) and the list itself; for a list left by an
    // instance that no longer runs. The paths it removed.
    static QStringList cleanUp(const QString &listFile);

private:
    bool rewrite(const QByteArray &bytes);
    bool append(const QString &path, const QByteArray &fields);

    QString m_listFile;
};

#pragma once
#include <QString>
#include <sys/types.h>

// A file name held for a transfer from the moment the user chose it, so another window's
// dialog sees it taken and asks before replacing it. The transfer's bytes arrive under a
// name of its own and move in only at the end, and only over the very file that was held
// (the user's, confirmed in the dialog, or the empty one made to hold the name); where
// that file was replaced meanwhile, the bytes take the first free "name (n).ext".
class HeldName
{
public:
    HeldName() = default;
    // Holds path: an existing file as it is, else a new empty one. Invalid when neither
    // can be done (a folder that cannot be written).
    static HeldName hold(const QString &path);
    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    // Whether the empty file that holds the name was made here.
    bool made() const { return m_made; }
    dev_t device() const { return m_device; }
    ino_t inode() const { return m_inode; }

    // Moves the finished file complete into place; the path it now has ("" when it could
    // not be moved, and it stays where it is).
    QString finish(const QString &complete) const;
    // Gives the name back (the transfer ended without a file): the empty file made to
    // hold it goes, when it is still that one and still empty.
    void release() const;
    // The same for a hold read back from a list after the program was killed.
    static void release(const QString &path, dev_t device, ino_t inode);

    // "name (n).ext" for n = 2, 3, ...: the first that no file has.
    static QString freeName(const QString &path);

private:
    QString m_path;
    bool m_made = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

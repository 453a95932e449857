#pragma once
#include <QString>
#include <QStringList>

// Folders kept out of file managers' listings: each one's name is a line of the ".hidden"
// file in its parent folder (which file managers honour). Nothing is enciphered: anyone
// who looks (ls -a, a terminal, another program) still sees and reads them. The list of
// folders hidden here is "file.ifo" in the program folder (GBK lines, CR LF).
class HiddenFolders
{
public:
    explicit HiddenFolders(const QString &listFile);

    QStringList folders() const { return m_folders; }
    // Hides a folder and lists it; "" on success, else why it could not be hidden (the
    // root, a name with a line break, a parent that cannot be written).
    QString hide(const QString &folder);
    // Shows it again (exactly its line leaves ".hidden") and unlists it.
    QString release(const QString &folder);

    // ".hidden" text with name added or removed; every other line kept.
    static QByteArray withName(const QByteArray &hidden, const QString &name, bool present);

private:
    bool saveList() const;

    QString m_listFile;
    QStringList m_folders;
};

#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

// The favourites file Fav.rar in the program folder: one favourite a line, the title, a
// comma, the address (GBK, CR LF; readers split at the first comma and accept any line
// end). Stored titles are the title with five blanks appended, cut to 30 characters,
// commas removed.
class Favorites
{
public:
    explicit Favorites(const QString &path);

    struct Entry {
        QString title;
        QString address;
    };
    static constexpr int kMenuItems = 101;

    QString path() const { return m_path; }

    static QString storedTitle(const QString &title);
    // Appends one favourite with its title as stored; false when the file could not be
    // written.
    bool add(const QString &title, const QString &address) const;
    // Up to max favourites in file order; lines without a comma are skipped.
    QVector<Entry> entries(int max = kMenuItems) const;
    // Every non-empty line, as the organise dialog lists them.
    QStringList lines() const;
    // Replaces the file with these lines in one atomic write.
    bool save(const QStringList &lines) const;
    // The address of a line: the text after its first comma (the whole line without one).
    static QString addressOf(const QString &line);

private:
    QString m_path;
};

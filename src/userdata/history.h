#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVector>

// One visit a page window records: when, which title, which address.
struct Visit {
    QDateTime when;
    QString title;
    QString address;
};

// The day-by-day browsing history in the program folder's History/: one ".dat" file a
// day holding table rows (GBK, CR LF), and the ".html" page built from it. Rows and page
// escape every title and address, so no page can put markup or script into them. Files
// and folder are private to the user.
class History
{
public:
    explicit History(const QString &folder);

    static constexpr int kTitleChars = 38;
    static constexpr int kLinesRead = 1000;
    static const QString kPageTitle; // "网站访问历史"

    QString folder() const { return m_folder; }
    // "History/Y-M-D.dat" / ".html" for a day (no leading zeros).
    QString dayFile(const QDate &day, const QString &suffix) const;

    // One table row for a visit.
    static QString row(const Visit &visit);

    // Appends a window's visits, newest first, to the day's file in one write; false
    // when the file could not be written (the rows are lost, the next window goes on).
    bool append(const QVector<Visit> &newestFirst, const QDate &day) const;
    // The same in two steps, so the writing can be done away from the window: a window's
    // rows as the file holds them, and rows (of one window or several) appended whole.
    static QByteArray rowsOf(const QVector<Visit> &newestFirst);
    bool appendRows(const QByteArray &rows, const QDate &day) const;

    // The history was cleared at `at` (by this instance or another sharing the folder):
    // visits from before it are never written after. Kept beside the folder, which the
    // clean-up removes; false when it could not be written.
    bool markCleared(const QDateTime &at) const;
    // When it was cleared last (invalid: never).
    QDateTime clearedAt() const;

    // Builds the day's page from the first 1000 lines of its file and returns its path
    // ("" when it could not be written).
    QString buildPage(const QDate &day) const;
    // The page's text for the rows read (the template head, the rows, the end).
    static QString pageText(const QStringList &rows);

private:
    QString m_folder;
};

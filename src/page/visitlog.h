#pragma once
#include <QDateTime>
#include <QString>
#include <QVector>

#include "userdata/history.h"

// The visits of one page window, oldest first, as its document titles arrive: a row for
// each title that differs from the last one recorded (a page alternating between two
// titles gives a row for each change), none for the home page, the start page or the
// history page itself. They reach the day's history when the window closes.
class VisitLog
{
public:
    // The document at address shows title (already without bidi controls).
    void noteTitle(const QString &title, const QString &address, const QDateTime &when, const QString &homePage);
    QVector<Visit> rows() const { return m_rows; }
    // The history was cleared: rows so far go; the next title change starts a new one.
    void forget() { m_rows.clear(); }
    QVector<Visit> newestFirst() const { return QVector<Visit>(m_rows.crbegin(), m_rows.crend()); }

private:
    QVector<Visit> m_rows;
    QString m_lastTitle;
};

#pragma once
#include <QString>
#include <QStringList>

// Every text of 1 to maxLength characters drawn from alphabet, shortest first: for holding a
// hand-written check to a reference over all the small cases.
inline QStringList shortTexts(const QString &alphabet, int maxLength)
{
    QStringList all;
    QStringList previous{QString()};
    for (int length = 1; length <= maxLength; ++length) {
        QStringList longer;
        for (const QString &t : std::as_const(previous)) {
            for (const QChar c : alphabet)
                longer.append(t + c);
        }
        all += longer;
        previous = longer;
    }
    return all;
}

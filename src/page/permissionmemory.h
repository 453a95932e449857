#pragma once
#include <QHash>
#include <QUrl>

#include "engine/siterequests.h"

// The user's answers to sites' requests for a feature, kept for the run (never on disk).
// An answer belongs to the site in front (the top-level page's origin) and the origin
// that asked together: a frame let in inside one site is asked again inside another.
class PermissionMemory
{
public:
    // -1: not answered, else 0 or 1.
    int answer(const QUrl &top, const QUrl &origin, SiteFeature feature) const { return m_answers.value(key(top, origin, feature), -1); }
    void remember(const QUrl &top, const QUrl &origin, SiteFeature feature, bool granted)
    {
        m_answers.insert(key(top, origin, feature), granted);
    }

private:
    static QString key(const QUrl &top, const QUrl &origin, SiteFeature feature)
    {
        return top.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo).toString()
               + QLatin1Char(' ') + origin.toString() + QLatin1Char(' ') + QString::number(int(feature));
    }
    QHash<QString, int> m_answers;
};

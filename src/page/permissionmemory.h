#pragma once
#include <QHash>
#include <QUrl>

#include "engine/siterequests.h"

// The user's answers to sites' requests for a feature, kept for the run (never on disk).
class PermissionMemory
{
public:
    // -1: not answered, else 0 or 1.
    int answer(const QUrl &origin, SiteFeature feature) const { return m_answers.value(key(origin, feature), -1); }
    void remember(const QUrl &origin, SiteFeature feature, bool granted) { m_answers.insert(key(origin, feature), granted); }

private:
    static QString key(const QUrl &origin, SiteFeature feature)
    {
        return origin.toString() + QLatin1Char(' ') + QString::number(int(feature));
    }
    QHash<QString, int> m_answers;
};

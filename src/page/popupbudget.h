#pragma once
#include <QDateTime>
#include <QVector>
#include <algorithm>

// Windows a tab may open without a click: at most kWindows a minute for the tab together
// with every window it, or a window it opened, opened without a click (the chain shares
// one budget, kept across navigations, reloads and sleep). Clicks never count.
struct PopupBudget {
    static constexpr int kWindows = 20;
    static constexpr int kPerSeconds = 60;

    QVector<QDateTime> opened; // within the last minute
    bool told = false;         // the current burst of refusals was reported

    // Counts a window opened now; false (nothing counted) when the budget is spent.
    bool take(const QDateTime &now)
    {
        const QDateTime since = now.addSecs(-kPerSeconds);
        opened.erase(std::remove_if(opened.begin(), opened.end(), [&](const QDateTime &t) { return t <= since; }),
                     opened.end());
        if (opened.size() >= kWindows)
            return false;
        opened.append(now);
        told = false;
        return true;
    }
    // Whether a refusal should be reported: once a burst.
    bool tellOnce()
    {
        if (told)
            return false;
        told = true;
        return true;
    }
};

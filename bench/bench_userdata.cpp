// Times the history and favourites work a user waits on: flushing a window's visits,
// building the history page from a full day, rebuilding the favourites menu at start-up.
#include "app/favoritesmenu.h"
#include "userdata/favorites.h"
#include "userdata/history.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void row(const char *what, int n, qint64 ns)
{
    std::printf("| %-46s | %6d | %12.1f | %10.3f |\n", what, n, double(ns) / n / 1000.0, double(ns) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("| case | n | us per op | total ms |\n|---|---|---|---|\n");
    QElapsedTimer t;

    const History history(dir.filePath(QStringLiteral("History")));
    const QDate day(2026, 7, 5);
    QVector<Visit> visits;
    for (int i = 0; i < 20; ++i)
        visits.append({QDateTime::currentDateTime(), QStringLiteral("网页标题 %1 with some words").arg(i),
                       QStringLiteral("http://news.example/article/%1?from=list").arg(i)});
    const int flushes = 50; // 50 windows of 20 visits: a full 1,000-row day
    t.start();
    for (int i = 0; i < flushes; ++i)
        history.append(visits, day);
    row("flush a window's 20 visits (one append)", flushes, t.nsecsElapsed());

    t.restart();
    const int builds = 20;
    for (int i = 0; i < builds; ++i)
        history.buildPage(day);
    row("build the history page from 1,000 lines", builds, t.nsecsElapsed());

    const Favorites favorites(dir.filePath(QStringLiteral("Fav.rar")));
    for (int i = 0; i < 101; ++i)
        favorites.add(Favorites::storedTitle(QStringLiteral("收藏 %1").arg(i)), QStringLiteral("http://fav.example/%1").arg(i));
    QMenu menu;
    FavoritesMenu favMenu(&menu, favorites);
    t.restart();
    const int rebuilds = 100;
    for (int i = 0; i < rebuilds; ++i)
        favMenu.rebuild();
    row("favourites menu rebuild, 101 entries", rebuilds, t.nsecsElapsed());
    return 0;
}

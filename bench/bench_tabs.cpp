// Times the bookkeeping that runs on every tab open and close, and the closed-page ring
// on a real settings file. Prints one table row per case.
#include "tabs/closedpages.h"
#include "tabs/tabbook.h"
#include "platform/settingsstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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
    QCoreApplication app(argc, argv);
    std::printf("| case | n | us per op | total ms |\n|---|---|---|---|\n");

    QElapsedTimer t;
    TabBook book;
    t.start();
    for (int i = 0; i < TabBook::kCapacity; ++i)
        book.addLab();
    row("open 5001 tabs (addLab)", TabBook::kCapacity, t.nsecsElapsed());

    t.restart();
    int closes = 0;
    while (book.count() > 1) {
        book.setHoverPos(book.count() / 2);
        book.delLine(book.hoverPos());
        ++closes;
    }
    row("close from the middle down to one (delLine)", closes, t.nsecsElapsed());

    for (int i = 0; i < 5000; ++i)
        book.addLab();
    t.restart();
    book.closeAll();
    row("close all of 5001", 1, t.nsecsElapsed());

    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("VM2008.ini")));
    ClosedPages ring(store);
    ring.load();
    const QString title = QStringLiteral("新闻中心 - 一个相当长的网页标题用来模拟真实的页面");
    t.restart();
    for (int i = 0; i < 500; ++i)
        ring.record(title, QStringLiteral("http://news.example.com/articles/2026/12/%1.html").arg(i));
    row("record 500 closed pages (INI written each time)", 500, t.nsecsElapsed());

    t.restart();
    for (int i = 0; i < 50; ++i)
        ring.record(title, QStringLiteral("http://news.example.com/more/%1.html").arg(i));
    row("record into a full ring of 500", 50, t.nsecsElapsed());

    t.restart();
    SettingsStore reopened(store.path());
    ClosedPages again(reopened);
    again.load();
    const int filled = again.newest().size();
    row("start-up: open store, read 20 newest", filled, t.nsecsElapsed());
    return 0;
}

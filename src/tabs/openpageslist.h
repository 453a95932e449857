#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <optional>

// The pages open in a window, as kept on disk while the browser runs so that a run that
// did not end normally can give them back: address and title of each tab in the strip's
// order, and which one was in front. A file that is not one of these (cut short, another
// program's, binary) reads as nothing.
struct OpenPagesList {
    // A visit of the page's window not yet in the day's history (it goes there when the
    // window closes, or at the next start after a crash).
    struct Visit {
        QDateTime when;
        QString title;
        QString address;
        bool operator==(const Visit &) const = default;
    };
    struct Page {
        QString address;
        QString title;
        QVector<Visit> visits = {}; // oldest first
        bool operator==(const Page &) const = default;
    };
    // The newest visits kept for a page: the list is written whole, often.
    static constexpr int kMostVisits = 200;
    // The most pages a list holds; a longer one keeps its newest (last) ones.
    static constexpr int kMostPages = 10000;
    QVector<Page> pages;
    int active = -1; // index into pages; -1: none
    // Read only: pages of the file left out as no tab may load them.
    int leftOut = 0;
    // The oldest pages past kMostPages, cut off by keepNewest, and the page they were listed
    // in for the user ("" while not written).
    QVector<Page> older;
    QString olderFile;

    // Keeps the newest kMostPages; the ones before them move to older.
    void keepNewest();

    // Only these come back as tabs: a web or file address (never script or data, which
    // would run again at a click on 恢复).
    static bool loadable(const QString &address);
    // Pages that are not loadable are not written, and left out when read; titles lose
    // their control characters.
    QByteArray toBytes() const;
    static std::optional<OpenPagesList> fromBytes(const QByteArray &bytes);
    bool operator==(const OpenPagesList &) const = default;
};

#pragma once
#include <QHash>
#include <QObject>
#include <QUrl>
#include <deque>
#include <functional>

#include "engine/siterequests.h"
#include "page/permissionmemory.h"

class PageControl;
class QTimer;
class QuestionBar;
class QWidget;

// A page's requests for notifications, location, camera, microphone, the screen or the
// mouse, asked in a bar over that page, naming the site and the feature (允许 / 拒绝).
// Nothing is granted without the user; a request left unanswered for kAnswerWithinMs
// (counted from when its tab was last in front) is refused; the same request again while
// it waits joins it, and an answered one is answered the same way for the rest of the run.
class PermissionAsker : public QObject
{
    Q_OBJECT
public:
    PermissionAsker(QWidget *page, PageControl &web, PermissionMemory &memory);

    QuestionBar *bar() const { return m_bar; }
    // Across the top of the page, below top pixels.
    void place(int width, int top);
    // The page came to the front: the wait for an answer starts again.
    void pageShown();

    static constexpr int kAnswerWithinMs = 60000;
    // How long a request waits for the user (tests shorten it).
    void setAnswerWithin(int ms);
    // The bar's words: the site that asks, and the site in front where that is another.
    static QString question(const QUrl &top, const QUrl &origin, SiteFeature feature);

private:
    struct Request {
        QUrl origin;
        SiteFeature feature;
        QUrl top; // the page the user sees, when it asked
        bool operator==(const Request &other) const { return origin == other.origin && feature == other.feature; }
    };
    void asked(const QUrl &origin, SiteFeature feature);
    void withdrawn(const QUrl &origin, SiteFeature feature);
    void askNext();
    void answered(bool granted);

    PageControl &m_web;
    PermissionMemory &m_memory;
    QuestionBar *m_bar;
    QTimer *m_deadline;
    std::deque<Request> m_waiting; // front: the one the bar asks
    // How the bar's question ended other than by the user's click.
    enum class End { User, TimedOut, Withdrawn } m_end = End::User;
};

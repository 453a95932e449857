#pragma once
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <optional>

class Clock;
class PageControl;
class QWidget;

// A page out of sight giving its renderer up when memory runs short, and waking again:
// whether it may (nothing a reload would lose or repeat), the reader's place kept across,
// and the page kept drawn (out of sight, under the others) while its pictures are taken.
class PageSleep : public QObject
{
    Q_OBJECT
public:
    // page is the window shown and hidden; staysAwake gives the window's own reasons (a
    // question asked, pictures being saved, the window closing ...); asleep tells the
    // window the page went to sleep.
    PageSleep(QWidget *page, PageControl &web, const Clock &clock, std::function<bool()> staysAwake,
              std::function<void()> asleep);

    // What the tab's tool tip adds while the page sleeps.
    static const QString kAsleepNote;
    // A page the user scrolled, clicked or typed in this recently stays awake.
    static constexpr qint64 kWorkedWithinMs = 30 * 60 * 1000;

    // The user scrolled, clicked or typed in the page now.
    void noteWork();
    // Whether the page may sleep as far as the browser knows, without asking the page.
    bool maySleep() const;
    // Puts the page to sleep unless it, or what it holds, must stay awake; done tells.
    void trySleep(std::function<void(bool slept)> done);
    bool discarded() const;
    // When it went out of sight (invalid: never hidden).
    QDateTime hiddenSince() const { return m_hiddenSince; }

    // Runs then once a discarded page has reloaded, while context lives; false (then not
    // run) when the page was not discarded.
    bool wakeThen(QObject *context, std::function<void()> then);
    // Keeps a hidden page drawn while its pictures are taken; a page that was hidden is
    // hidden again after.
    void holdRendering(bool hold);
    // The window is to be hidden: false when it must stay drawn (it is lowered instead).
    bool mayHide();
    void visibilityChanged(bool was, bool now);
    // The window closed for good: nothing shows it again.
    void pageClosed() { m_closed = true; }

    // This page was opened by opener's page; whether a reload would cut the tie is asked
    // of the document after each load.
    void openedBy(PageSleep &opener);
    void documentLoaded();

private:
    QWidget *m_page;
    PageControl &m_web;
    const Clock &m_clock;
    std::function<bool()> m_staysAwake;
    std::function<void()> m_asleep;
    int m_renderHolds = 0;
    bool m_hideAfterRender = false;
    bool m_closed = false;
    QDateTime m_lastWork;
    QDateTime m_hiddenSince;
    std::optional<QPoint> m_scrollBeforeDiscard;
    // The page that opened this one, and those this one opened; whether this page's
    // document still holds its opener (assumed until it says).
    QPointer<PageSleep> m_openedBy;
    QList<QPointer<PageSleep>> m_opened;
    bool m_hasOpener = false;
};

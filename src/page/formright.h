#pragma once
#include <QDateTime>
#include <QTimer>
#include <QWidget>

class PageControl;
class Clock;
class PageEngine;

// "淘宝网": the product site's promotion page in a small window that slides into the
// lower-right corner of the screen 30 s after start, above the other windows and never
// taking the focus. Nothing of it exists before it is needed: its engine view is made
// shortly before it slides in, so it costs nothing at start. It comes only with its page
// loaded (a failed load shows nothing), and never stands over a page that has the whole
// screen. Closed by the user, it stays closed for the run.
class FormRight : public QWidget
{
    Q_OBJECT
public:
    FormRight(PageEngine &engine, const Clock &clock, const QString &address, QWidget *parent = nullptr);

    static constexpr int kViewAfterS = 25;
    static constexpr int kSlideAfterS = 30;
    // Looks at the clock (every second on its own; tests call it after moving a fake clock).
    void check();
    PageControl *Web() const { return m_web; }
    // Where it comes to rest: above the screen's work area's lower-right corner by the
    // design's margins.
    QPoint corner() const;
    // A page took the whole screen (on) or gave it back: the window steps aside meanwhile.
    void setScreenTaken(bool on);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void slideIn();
    // Back where it rests, once nothing keeps it away.
    void showIfDue();

    PageEngine &m_engine;
    const Clock &m_clock;
    QString m_address;
    QDateTime m_start;
    QTimer m_poll;
    PageControl *m_web = nullptr;
    bool m_due = false;
    bool m_loaded = false;
    bool m_screenTaken = false;
    bool m_slid = false;
    bool m_closedByUser = false;
};

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
// shortly before it slides in, so it costs nothing at start. Closed by the user, it stays
// closed for the run.
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

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    PageEngine &m_engine;
    const Clock &m_clock;
    QString m_address;
    QDateTime m_start;
    QTimer m_poll;
    PageControl *m_web = nullptr;
    bool m_slid = false;
    bool m_closedByUser = false;
};

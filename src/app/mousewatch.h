#pragma once
#include <QObject>

class PageStack;
class QTimer;
class QWidget;
class TabStrip;

// Two timers of the main window. Timer1 (300 ms) watches the left mouse button: when it
// comes up after being held, the active page hands its selection to the search box; a
// pointer below the tab row parks the close button. Timer2 (20 ms) scrolls the active
// page one pixel a tick while screen scrolling is on. The mouse's back and forward buttons
// and Alt+Left / Alt+Right step the active page through its history.
class MouseWatch : public QObject
{
    Q_OBJECT
public:
    MouseWatch(QWidget *window, PageStack &pages, TabStrip &strip);
    ~MouseWatch() override;

    // -1 up, 1 down, 0 stops.
    void setScrolling(int step);
    void stop();
    // One reading of Timer1: the button's state, and where the pointer is.
    void watch();

protected:
    // Presses released between two ticks still count.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    PageStack &m_pages;
    TabStrip &m_strip;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    int m_scrollStep = 0;
    bool m_wasDown = false;
    bool m_pressedSinceTick = false;
};

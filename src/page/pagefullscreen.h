#pragma once
#include <QObject>
#include <functional>

struct FullScreenRequest;
class PageControl;
class QLabel;
class QTimer;
class QWidget;

// A page's element filling the screen (a video, a game): allowed only to the tab in
// front, announced with a short "按 Esc 退出全屏", and left when the page says so or
// leave() is called (Esc, another tab in front, the page closing). The window's part (the
// screen, the strips hidden) is the host's, told through changed.
class PageFullScreen : public QObject
{
    Q_OBJECT
public:
    PageFullScreen(QWidget *page, PageControl &web, std::function<bool()> inFront, std::function<void(bool on)> changed);

    bool on() const { return m_on; }
    void leave();
    QLabel *notice() const { return m_notice; }
    // Places the notice over a page width pixels wide, above everything of it.
    void place(int width);

    static constexpr int kNoticeMs = 3000;
    static const QString kNotice;

private:
    void request(FullScreenRequest &request);
    void set(bool on);

    PageControl &m_web;
    std::function<bool()> m_inFront;
    std::function<void(bool)> m_changed;
    QLabel *m_notice;
    QTimer *m_noticeTimer;
    bool m_on = false;
};

#pragma once
#include <QObject>
#include <functional>

class FormWeb;
class QWidget;
struct Session;

// The reader's scrolling outside the engine's view: the page's focus holder takes the
// arrow, page, space, Home and End keys, and a wheel turn over the page window's own
// parts (its status bar, its edges) scrolls the current page. Over the view the engine
// scrolls by itself. Each turn or key counts as work in the page (it stays awake).
class ScrollKeys : public QObject
{
    Q_OBJECT
public:
    ScrollKeys(FormWeb &page, QWidget *focusHolder, Session &session, std::function<void()> worked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool wheel(QEvent *event);
    bool key(QEvent *event);

    FormWeb &m_page;
    QWidget *m_focusHolder;
    Session &m_session;
    std::function<void()> m_worked;
};

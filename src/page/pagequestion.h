#pragma once
#include <QFrame>
#include <QPointer>
#include <functional>

class QEventLoop;

// A question asked inside a page's own window: a framed box at the top of the page. The
// engine wants some answers at once and runs no task of any page until it has them, so
// they are waited for in an event loop of the box's own (the menus and the window go on
// meanwhile); closing the page or the browser ends the wait as cancelled.
class PageQuestion : public QFrame
{
    Q_OBJECT
public:
    // inFront: whether the page is the tab in front (only that one may ask and wait).
    PageQuestion(QWidget *page, const QString &name, std::function<bool()> inFront);
    ~PageQuestion() override;

    // The page closes: an open question ends as cancelled, and no new one is asked.
    void abort();
    bool asking() const { return m_loop != nullptr; }

protected:
    enum class Answer { Given, Cancelled, Gone };
    // Shown already: waits for the user. Gone: the box was destroyed meanwhile (the page
    // went), so nothing of it may be touched; otherwise it is hidden again.
    Answer waitForAnswer();
    // The user's answer to the question waited for; false when none is waited for.
    bool answerWith(bool given);
    bool closing() const { return m_closing; }
    bool inFront() const { return m_inFront(); }
    // At the top of the page, centred, at most widest pixels wide.
    void placeAtTop(int widest);

private:
    std::function<bool()> m_inFront;
    QPointer<QEventLoop> m_loop;
    bool m_closing = false;
};

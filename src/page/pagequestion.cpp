#include "page/pagequestion.h"

#include <QEventLoop>

PageQuestion::PageQuestion(QWidget *page, const QString &name, std::function<bool()> inFront)
    : QFrame(page)
    , m_inFront(std::move(inFront))
{
    setObjectName(name);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
}

PageQuestion::~PageQuestion()
{
    abort();
}

void PageQuestion::abort()
{
    m_closing = true;
    if (m_loop)
        m_loop->exit(0);
}

PageQuestion::Answer PageQuestion::waitForAnswer()
{
    QEventLoop loop;
    m_loop = &loop;
    // The page may be closed while the question is up: the box goes with it only once the
    // engine has its answer (the page is let go later), so the guard stays valid.
    QPointer<PageQuestion> self(this);
    const int result = loop.exec();
    if (!self)
        return Answer::Gone;
    m_loop = nullptr;
    hide();
    return result == 1 && !m_closing ? Answer::Given : Answer::Cancelled;
}

bool PageQuestion::answerWith(bool given)
{
    if (!m_loop)
        return false;
    m_loop->exit(given ? 1 : 0);
    return true;
}

void PageQuestion::placeAtTop(int widest)
{
    QWidget *page = parentWidget();
    const int w = qMin(widest, qMax(200, page->width() - 40));
    adjustSize();
    setGeometry((page->width() - w) / 2, 40, w, sizeHint().height());
}

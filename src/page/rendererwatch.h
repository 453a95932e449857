#pragma once
#include <QObject>
#include <functional>

class FormWeb;

// Renderer processes are shared by the tabs of a site. When a tab closes, the others on
// its process are asked for a script round trip: if none answers in time the process is
// stuck (a page in an endless script), and it is ended, so the tabs it held up say they
// stopped (F5 reloads each in a fresh process) instead of staying frozen for good.
class RendererWatch : public QObject
{
    Q_OBJECT
public:
    using Pages = std::function<QList<FormWeb *>()>;
    using EndProcess = std::function<void(qint64 pid)>;
    RendererWatch(Pages pages, EndProcess endProcess, QObject *parent = nullptr, int answerWithinMs = kAnswerWithinMs);

    // Long enough that a page busy with honest work (a storm of its own pop-ups, a heavy
    // script) is not taken for stuck: by then a browser tells its user the page hangs.
    static constexpr int kAnswerWithinMs = 15000;
    // A tab on this renderer closed (`leaving` is null once it is gone).
    void pageLeft(const FormWeb *leaving, qint64 pid);

signals:
    // The renderer was asked after a tab closed: stuck (and ended) or answering (or
    // waiting for the user's answer to one of its pages' questions).
    void checked(qint64 pid, bool stuck);

private:
    Pages m_pages;
    EndProcess m_endProcess;
    int m_answerWithinMs;
};

#pragma once
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <memory>

// How work on another thread answers an object on the window's thread: the answer is
// posted under the lock and only while the object is there to hear it; the object closes
// its box as it goes, so the work never waits for it nor it for the work.
template <typename Owner>
class AnswerBox
{
public:
    static std::shared_ptr<AnswerBox> openFor(Owner *owner) { return std::make_shared<AnswerBox>(owner); }
    explicit AnswerBox(Owner *owner)
        : m_owner(owner)
    {
    }
    void close()
    {
        QMutexLocker locked(&m_lock);
        m_owner = nullptr;
    }
    // Runs answer(owner) on the owner's thread, if it is still there.
    template <typename Answer>
    void post(Answer answer)
    {
        QMutexLocker locked(&m_lock);
        if (Owner *owner = m_owner)
            QMetaObject::invokeMethod(owner, [owner, answer] { answer(owner); }, Qt::QueuedConnection);
    }

private:
    QMutex m_lock;
    Owner *m_owner;
};

#include "page/rendererwatch.h"

#include "page/formweb.h"

#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>

RendererWatch::RendererWatch(Pages pages, EndProcess endProcess, QObject *parent, int answerWithinMs)
    : QObject(parent)
    , m_pages(std::move(pages))
    , m_endProcess(std::move(endProcess))
    , m_answerWithinMs(answerWithinMs)
{
}

void RendererWatch::pageLeft(const FormWeb *leaving, qint64 pid)
{
    if (pid <= 0)
        return;
    QList<QPointer<FormWeb>> sharing;
    for (FormWeb *p : m_pages())
        if (p != leaving && p->rendererPid() == pid)
            sharing.append(p);
    if (sharing.isEmpty())
        return;
    // A page whose question the user is reading cannot answer meanwhile: not stuck.
    const auto waitsForUser = [](const QList<QPointer<FormWeb>> &pages) {
        return std::any_of(pages.begin(), pages.end(), [](const QPointer<FormWeb> &p) { return p && p->asksUser(); });
    };
    auto answered = std::make_shared<bool>(false);
    QPointer<RendererWatch> self(this);
    for (const QPointer<FormWeb> &p : sharing) {
        p->ping([self, pid, answered] {
            if (self && !std::exchange(*answered, true))
                emit self->checked(pid, false);
        });
    }
    QTimer::singleShot(m_answerWithinMs, this, [this, pid, sharing, answered, waitsForUser] {
        if (*answered)
            return;
        if (waitsForUser(sharing)) {
            *answered = true;
            emit checked(pid, false);
            return;
        }
        // Only while a page still runs on it: the process may have gone and its number
        // been given to another.
        for (const QPointer<FormWeb> &p : sharing) {
            if (p && p->rendererPid() == pid) {
                *answered = true;
                m_endProcess(pid);
                emit checked(pid, true);
                return;
            }
        }
    });
}

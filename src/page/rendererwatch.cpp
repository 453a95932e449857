#include "page/rendererwatch.h"

#include "page/formweb.h"

#include <QPointer>
#include <QTimer>
#include <memory>
#include <utility>

RendererWatch::RendererWatch(Pages pages, EndProcess endProcess, QObject *parent)
    : QObject(parent)
    , m_pages(std::move(pages))
    , m_endProcess(std::move(endProcess))
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
    auto answered = std::make_shared<bool>(false);
    QPointer<RendererWatch> self(this);
    for (const QPointer<FormWeb> &p : sharing) {
        p->ping([self, pid, answered] {
            if (self && !std::exchange(*answered, true))
                emit self->checked(pid, false);
        });
    }
    QTimer::singleShot(kAnswerWithinMs, this, [this, pid, sharing, answered] {
        if (*answered)
            return;
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

#include "page/sleepwatch.h"

#include "page/formweb.h"
#include "page/pagesleep.h"
#include "platform/memory.h"
#include "platform/settingkeys.h"
#include "platform/settingsstore.h"

#include <algorithm>

SleepWatch::SleepWatch(const SettingsStore &store, const MemoryGauge &memory, Pages pages, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_memory(memory)
    , m_pages(std::move(pages))
{
    m_timer.setInterval(kLookEveryMs);
    connect(&m_timer, &QTimer::timeout, this, &SleepWatch::look);
    m_timer.start();
    // glibc keeps what a load freed (15 MB after ten picture-heavy tabs) until asked.
    m_trim.setSingleShot(true);
    m_trim.setInterval(kTrimAfterLoadsMs);
    connect(&m_trim, &QTimer::timeout, this, [] { Platform::trimWorkingSet(); });
}

void SleepWatch::afterLoad()
{
    m_trim.start();
}

void SleepWatch::look()
{
    if (m_asking && ++m_silentLooks < 3)
        return;
    m_asking.clear();
    ++m_look;
    const int limitMb = m_store.read(SettingKeys::kMemoryLimit).toInt();
    // The browser's own share costs a walk over its processes: read only when it counts.
    if (!m_memory.read(limitMb > 0).pressing(limitMb)) {
        emit looked(false, nullptr);
        return;
    }
    QList<FormWeb *> pages = m_pages();
    pages.erase(std::remove_if(pages.begin(), pages.end(), [](FormWeb *p) { return !p->sleep().maySleep(); }), pages.end());
    // Out of sight longest first; a page never shown has been out of sight all along.
    std::stable_sort(pages.begin(), pages.end(), [](FormWeb *a, FormWeb *b) {
        const QDateTime x = a->sleep().hiddenSince(), y = b->sleep().hiddenSince();
        return x.isValid() != y.isValid() ? !x.isValid() : x < y;
    });
    QList<QPointer<FormWeb>> candidates(pages.cbegin(), pages.cend());
    tryNext(candidates);
}

void SleepWatch::tryNext(QList<QPointer<FormWeb>> candidates)
{
    while (!candidates.isEmpty() && !candidates.first())
        candidates.removeFirst();
    if (candidates.isEmpty()) {
        m_asking.clear();
        emit looked(true, nullptr);
        return;
    }
    QPointer<FormWeb> page = candidates.takeFirst();
    m_asking = page;
    m_silentLooks = 0;
    QPointer<SleepWatch> self(this);
    const int look = m_look;
    page->sleep().trySleep([self, page, candidates, look](bool slept) {
        if (!self || self->m_look != look)
            return;
        if (!slept) {
            self->tryNext(candidates);
            return;
        }
        self->m_asking.clear();
        emit self->looked(true, page);
    });
}

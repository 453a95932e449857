#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class FormWeb;
class MemoryGauge;
class SettingsStore;

// Watches memory and, only while it runs short, puts pages out of sight to sleep: the
// page out of sight longest first, one a look, each page deciding for itself whether it
// may (see FormWeb::trySleep). With memory to spare no page ever sleeps. Also hands the
// browser's freed heap back after loads.
class SleepWatch : public QObject
{
    Q_OBJECT
public:
    using Pages = std::function<QList<FormWeb *>()>;
    // The memory limit the user set is read from store at each look.
    SleepWatch(const SettingsStore &store, const MemoryGauge &memory, Pages pages, QObject *parent = nullptr);

    static constexpr int kLookEveryMs = 10000;
    static constexpr int kTrimAfterLoadsMs = 1500;
    // One look now.
    void look();
    // A page finished loading: the heap its load freed goes back to the system once the
    // loads settle.
    void afterLoad();

signals:
    // A look ended: under pressure or not, and the page put to sleep (null: none).
    void looked(bool pressing, FormWeb *slept);

private:
    void tryNext(QList<QPointer<FormWeb>> candidates);

    const SettingsStore &m_store;
    const MemoryGauge &m_memory;
    Pages m_pages;
    QTimer m_timer;
    QTimer m_trim;
    // The page asked last, until it answers; a page gone, or silent for a few looks (its
    // renderer hung), is passed over.
    QPointer<FormWeb> m_asking;
    int m_silentLooks = 0;
    // Answers still owed belong to the look that asked.
    int m_look = 0;
};

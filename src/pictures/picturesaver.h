#pragma once
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

#include "pictures/picturelist.h"

class BrowserControl;
class Clock;
class ViewCapture;
struct PictureState;

// Saves the pictures of one page as JPEG files, taken from the page as it is drawn.
// Two kinds of run: the large pictures not saved since the last reset (at most 200),
// and every picture that makes a file of 30,000 bytes or more. Runs are asynchronous;
// each ends by calling its done function (never after the saver is gone).
class PictureSaver : public QObject
{
    Q_OBJECT
public:
    PictureSaver(BrowserControl *web, PictureState &state, const Clock &clock, QObject *parent);
    ~PictureSaver() override;

    static constexpr int kMaxSaved = 200;
    static constexpr int kMinFileBytes = 30000;
    static constexpr int kQuality = 80;

    enum class Start { Started, AlreadySaving, OtherPageSaving };
    // The large pictures into folder. Does nothing (done is called at once) while this
    // page or another is already saving its large pictures.
    Start saveLarge(const QString &folder, std::function<void()> done);
    // Every picture into folder, keeping only files of at least 30,000 bytes. Waits for
    // a run of this page that is under way.
    void saveEvery(const QString &folder, std::function<void()> done);
    // Forgets what was saved: the next run saves every picture again.
    void resetSaved();

    int found() const { return m_found; }
    bool busy() const { return m_mode != Idle; }
    // Asked after each picture: true ends the large-picture run (its page is closing).
    std::function<bool()> stopRequested;

signals:
    void foundChanged(int found);      // large pictures met by this run
    void progressed(int step);         // the red bar, 0 to 23 steps
    void finished(const QString &caption); // the counter's final caption
    void busyChanged(bool busy);

private:
    enum Mode { Idle, Large, Every };
    void begin(Mode mode, const QString &folder, std::function<void()> done);
    void onScanned(const QVariant &answer);
    void onTaken(int index, const QImage &picture);
    void advance();
    bool stepLarge();
    bool stepEvery();
    // The written file of a candidate: 1 written, 0 not, -1 still being written.
    int resultFor(int candidate);
    void end(const QString &caption);
    void schedule();
    bool alreadySaved(const QString &src) const;

    QPointer<BrowserControl> m_web;
    PictureState &m_state;
    const Clock &m_clock;
    ViewCapture *m_capture = nullptr;

    Mode m_mode = Idle;
    std::function<void()> m_done;
    QVector<std::function<void()>> m_queued;
    bool m_pageSaving = false;
    int m_found = 0;
    QStringList m_savedSrc; // the first m_savedCount entries are in use
    int m_savedCount = 0;
    int m_everyStep = 0;

    QVector<PageImage> m_candidates;
    QVector<int> m_captureIndex; // candidate -> capture slot, -1 when not taken
    // Pictures are encoded and written on the thread pool as they come, in parallel with
    // taking the next ones; results are used in document order.
    struct Job;
    struct Mailbox;
    QHash<int, std::shared_ptr<Job>> m_jobs; // by capture slot
    std::shared_ptr<Mailbox> m_mailbox;
    int m_pos = 0;
    bool m_counted = false; // the current candidate passed the count and duplicate steps
    bool m_scheduled = false;
};

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
#include "platform/answerbox.h"
#include "pictures/savedpictures.h"

class PageControl;
class Clock;
class PictureRunLock;
class ViewCapture;

// Saves the pictures of one page as JPEG files, taken from the page as it is drawn. What
// to save is SavedPictures' business; this class does the how: capture, encoding and
// writing on the thread pool, counters. Two kinds of run: the large pictures not saved
// since the last reset (at most 200), and every picture that makes a file of 30,000 bytes
// or more. A run owns its folder, its serial and the names it reserved. Runs are
// asynchronous; each ends by calling its done function (never after the saver is gone).
class PictureSaver : public QObject
{
    Q_OBJECT
public:
    PictureSaver(PageControl *web, PictureRunLock &lock, const Clock &clock, QObject *parent);
    ~PictureSaver() override;

    static constexpr int kMaxSaved = SavedPictures::kMax;
    static constexpr int kMinFileBytes = SavedPictures::kMinFileBytes;
    static constexpr int kQuality = 80;

    enum class Start { Started, AlreadySaving, OtherPageSaving };
    // The large pictures into folder. Does nothing (done is called at once) while this
    // page or another is already saving its large pictures.
    Start saveLarge(const QString &folder, std::function<void()> done);
    // Every picture into folder, keeping only files of at least 30,000 bytes. Waits for
    // a run of this page that is under way.
    void saveEvery(const QString &folder, std::function<void()> done);
    // Forgets what was saved: the next run saves every picture again.
    void resetSaved() { m_saved.reset(); }
    // Ends the run under way at the next picture (what is written stays written); runs
    // queued behind it are dropped, their done functions called.
    void stop();

    int found() const { return m_found; }
    bool busy() const { return m_mode != Idle; }
    // Asked after each picture: true ends the large-picture run (its page is closing).
    void setStopRequested(std::function<bool()> ask) { m_stopRequested = std::move(ask); }

signals:
    void foundChanged(int found);      // large pictures met by this run
    void progressed(int step);         // the red bar, 0 to 23 steps
    void finished(const QString &caption); // the counter's final caption
    void busyChanged(bool busy);

private:
    enum Mode { Idle, Large, Every };
    struct Run {
        QString folder;
        int serial = 0;
    };
    void begin(Mode mode, const QString &folder, std::function<void()> done);
    void scan();
    void onScanned(const QVariant &answer);
    void capture(const QVector<PageImage> &candidates, bool firstPass);
    void onTaken(int index, const QImage &picture);
    void advance();
    bool stepLarge();
    bool stepEvery();
    // The written file of a candidate: 1 written, 0 not, -1 still being written.
    int resultFor(int candidate);
    void end(const QString &caption);
    void schedule();

    QPointer<PageControl> m_web;
    std::function<bool()> m_stopRequested;
    PictureRunLock &m_lock;
    const Clock &m_clock;
    ViewCapture *m_capture = nullptr;
    SavedPictures m_saved;

    Mode m_mode = Idle;
    Run m_run;
    std::function<void()> m_done;
    // Runs asked for while one was under way: run(true) starts one, run(false) drops it.
    QVector<std::function<void(bool run)>> m_queued;
    bool m_stop = false;
    int m_found = 0;
    int m_everyStep = 0;

    QVector<PageImage> m_candidates;
    QVector<int> m_captureIndex; // candidate -> capture slot, -1 when not taken
    // Candidates left out of this pass (beyond the room, or an address planned twice)
    // that may be taken in another one once a write failed.
    QVector<PageImage> m_later;
    bool m_firstPass = true;
    // Pictures are encoded and written on the thread pool as they come, in parallel with
    // taking the next ones; results are used in document order.
    struct Job;
    QHash<int, std::shared_ptr<Job>> m_jobs; // by capture slot
    std::shared_ptr<AnswerBox<PictureSaver>> m_mailbox;
    int m_pos = 0;
    bool m_counted = false; // the current candidate passed the count and duplicate steps
    bool m_scheduled = false;
};

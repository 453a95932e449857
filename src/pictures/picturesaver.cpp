#include "pictures/picturesaver.h"

#include "engine/pagecontrol.h"
#include "pictures/atomicfile.h"
#include "pictures/jpegwriter.h"
#include "pictures/picturename.h"
#include "pictures/picturestate.h"
#include "pictures/viewcapture.h"
#include "platform/clock.h"

#include <QMutex>
#include <QSignalBlocker>
#include <QThreadPool>
#include <QTimer>
#include <atomic>

struct PictureSaver::Job {
    std::atomic<int> result{-1};
};

namespace {

// Writes one picture under a name of the run's folder that no file and no other run has;
// true when the whole file is there.
bool writePicture(const QImage &picture, QString name, int serial, const QString &folder, const QDateTime &when,
                  int minBytes)
{
    // Encoded first, so a small picture never becomes a file at all.
    const QByteArray bytes = JpegWriter::encode(picture, PictureSaver::kQuality);
    bool ok = false;
    // A file that appeared under the reserved name meanwhile is never replaced: the
    // next free name is taken instead.
    for (int tries = 0; !name.isEmpty() && bytes.size() >= minBytes && tries < 100; ++tries) {
        const AtomicFile::NewFile result = AtomicFile::writeNew(name, bytes);
        PictureName::release(name);
        if (result != AtomicFile::NewFile::Exists) {
            ok = result == AtomicFile::NewFile::Written;
            break;
        }
        name = PictureName::next(folder, serial, when);
    }
    return ok;
}

} // namespace

PictureSaver::PictureSaver(PageControl *web, PictureRunLock &lock, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_web(web)
    , m_lock(lock)
    , m_clock(clock)
    , m_capture(new ViewCapture(web, this))
    , m_mailbox(AnswerBox<PictureSaver>::openFor(this))
{
    connect(m_capture, &ViewCapture::taken, this, &PictureSaver::onTaken);
    connect(m_capture, &ViewCapture::finished, this, [this] { schedule(); });
}

PictureSaver::~PictureSaver()
{
    m_mailbox->close();
    // A run cut short by the page going must not leave the other pages locked out.
    m_lock.release(this);
}

PictureSaver::Start PictureSaver::saveLarge(const QString &folder, std::function<void()> done)
{
    if (m_lock.heldBy(this)) {
        if (done)
            done();
        return Start::AlreadySaving;
    }
    if (!m_lock.tryTake(this)) {
        if (done)
            done();
        return Start::OtherPageSaving;
    }
    if (busy()) {
        // A run of every picture is under way on this page; this one follows it.
        m_queued.append([this, folder, done](bool run) {
            if (run)
                begin(Large, folder, done);
            else if (done)
                done();
        });
        return Start::Started;
    }
    begin(Large, folder, std::move(done));
    return Start::Started;
}

void PictureSaver::saveEvery(const QString &folder, std::function<void()> done)
{
    if (busy()) {
        m_queued.append([this, folder, done](bool run) {
            if (run)
                begin(Every, folder, done);
            else if (done)
                done();
        });
        return;
    }
    begin(Every, folder, std::move(done));
}

void PictureSaver::stop()
{
    const auto queued = std::exchange(m_queued, {});
    m_lock.release(this);
    for (const auto &next : queued)
        next(false);
    if (busy())
        m_stop = true;
}

void PictureSaver::begin(Mode mode, const QString &folder, std::function<void()> done)
{
    m_mode = mode;
    m_done = std::move(done);
    m_run = Run{PictureName::folder(folder), 0};
    m_stop = false;
    m_everyStep = 0;
    if (mode == Large)
        m_found = 0;
    emit busyChanged(true);
    if (!m_web || m_web->LocationURL().isEmpty()) {
        // No document: nothing to walk.
        onScanned(QVariant());
        return;
    }
    m_web->runScript(PictureScan::script(true), this, [this](const QVariant &answer) { onScanned(answer); });
}

void PictureSaver::onScanned(const QVariant &answer)
{
    QVector<PageImage> candidates;
    for (const PageImage &image : PictureScan::parse(answer)) {
        if (SavedPictures::takes(image, m_mode == Large))
            candidates.append(image);
        else if (m_mode == Large && image.state == PageImage::Loading && PictureScan::isLarge(image.width, image.height))
            ++m_found; // met, but left for a later run
    }
    capture(candidates, true);
}

void PictureSaver::capture(const QVector<PageImage> &candidates, bool firstPass)
{
    m_candidates = candidates;
    m_captureIndex.clear();
    m_jobs.clear();
    m_later.clear();
    m_pos = 0;
    m_counted = false;
    m_firstPass = firstPass;
    QVector<ViewCapture::Target> targets;
    // Only pictures that can be saved are taken from the page: not those saved before,
    // not the same address twice, and no more than the run can save.
    QStringList planned;
    const int room = kMaxSaved - m_saved.count();
    for (const PageImage &image : std::as_const(m_candidates)) {
        bool take = true;
        if (m_mode == Large) {
            take = !m_saved.contains(image.src) && !planned.contains(image.src) && planned.size() < room;
            if (take)
                planned.append(image.src);
        }
        m_captureIndex.append(take ? targets.size() : -1);
        if (take)
            targets.append({image.element, image.rect});
    }
    if (targets.isEmpty())
        schedule();
    else
        m_capture->start(targets);
}

void PictureSaver::onTaken(int index, const QImage &picture)
{
    auto job = std::make_shared<Job>();
    m_jobs.insert(index, job);
    // Names are reserved here, in document order, so the serials follow the page.
    const QDateTime when = m_clock.now();
    const QString name = picture.isNull() ? QString() : PictureName::next(m_run.folder, m_run.serial, when);
    const int minBytes = m_mode == Every ? kMinFileBytes : 1;
    const QString folder = m_run.folder;
    const int serial = m_run.serial;
    std::shared_ptr<AnswerBox<PictureSaver>> mailbox = m_mailbox;
    QThreadPool::globalInstance()->start([job, picture, name, serial, folder, when, minBytes, mailbox] {
        job->result = writePicture(picture, name, serial, folder, when, minBytes) ? 1 : 0;
        // The pool thread tells the saver a file is done, while the saver is there.
        mailbox->post([](PictureSaver *saver) { saver->schedule(); });
    });
}

void PictureSaver::schedule()
{
    // One picture per turn of the event loop: the window stays responsive and the
    // counters are painted as they change.
    if (m_scheduled || m_mode == Idle)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        advance();
    });
}

int PictureSaver::resultFor(int candidate)
{
    const int slot = m_captureIndex.value(candidate, -1);
    if (slot < 0)
        return 0;
    const std::shared_ptr<Job> job = m_jobs.value(slot);
    if (!job)
        return m_capture->running() ? -1 : 0;
    return job->result;
}

void PictureSaver::advance()
{
    if (m_mode == Idle)
        return;
    if (m_pos >= m_candidates.size()) {
        if (m_mode == Large && !m_stop && !m_saved.full()) {
            // A picture left out of this pass may go where a write failed.
            QVector<PageImage> again;
            for (const PageImage &image : std::as_const(m_later))
                if (!m_saved.contains(image.src))
                    again.append(image);
            if (!again.isEmpty()) {
                capture(again, false);
                return;
            }
        }
        if (m_mode == Large && m_found > 0)
            emit foundChanged(m_found);
        end(QStringLiteral("%1 %2").arg(m_mode == Large ? QStringLiteral("  自动下载图片") : QStringLiteral("  下载图片"))
                .arg(m_saved.count()));
        return;
    }
    if (m_mode == Large ? stepLarge() : stepEvery()) {
        if (m_stop || (m_stopRequested && m_stopRequested())) {
            end(QString());
            return;
        }
        schedule();
    }
}

bool PictureSaver::stepLarge()
{
    const PageImage &image = m_candidates[m_pos];
    if (!m_counted) {
        if (m_firstPass) {
            ++m_found;
            emit foundChanged(m_found);
        }
        if (m_saved.contains(image.src)) {
            ++m_pos;
            return true;
        }
        if (m_saved.full()) {
            // The run saves no more; the picture is neither saved nor counted.
            m_pos = m_candidates.size();
            return true;
        }
        if (m_captureIndex.value(m_pos, -1) < 0) {
            // Not taken in this pass: perhaps in the next, if a write fails.
            m_later.append(image);
            ++m_pos;
            return true;
        }
        m_saved.add(image.src);
        m_counted = true;
    }
    const int written = resultFor(m_pos);
    if (written < 0)
        return false; // the capture or the pool calls back
    if (written == 0)
        m_saved.remove(image.src); // not saved, not counted
    emit progressed(m_saved.count() % 24);
    m_counted = false;
    ++m_pos;
    return true;
}

bool PictureSaver::stepEvery()
{
    const int written = resultFor(m_pos);
    if (written < 0)
        return false;
    if (written == 1) {
        m_saved.add(m_candidates[m_pos].src);
        m_everyStep = (m_everyStep + 1) % 24;
        emit progressed(m_everyStep);
    }
    ++m_pos;
    return true;
}

void PictureSaver::end(const QString &caption)
{
    const Mode mode = m_mode;
    m_mode = Idle;
    m_stop = false;
    if (m_capture->running()) {
        QSignalBlocker quiet(m_capture);
        m_capture->cancel();
    }
    m_jobs.clear();
    m_candidates.clear();
    m_later.clear();
    if (mode == Large)
        m_lock.release(this);
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    QPointer<PictureSaver> self(this);
    emit busyChanged(false);
    if (self && !caption.isEmpty())
        emit finished(caption);
    if (self && done)
        done();
    if (self && m_mode == Idle && !m_queued.isEmpty()) {
        auto next = m_queued.takeFirst();
        next(true);
    }
}

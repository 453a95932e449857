#include "pictures/picturesaver.h"

#include "engine/browsercontrol.h"
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

// How a pool thread tells the saver a file is done: under the lock, and only while the
// saver is there to hear it.
struct PictureSaver::Mailbox {
    QMutex lock;
    PictureSaver *saver = nullptr;
};

PictureSaver::PictureSaver(BrowserControl *web, PictureState &state, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_web(web)
    , m_state(state)
    , m_clock(clock)
    , m_capture(new ViewCapture(web, this))
    , m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->saver = this;
    connect(m_capture, &ViewCapture::taken, this, &PictureSaver::onTaken);
    connect(m_capture, &ViewCapture::finished, this, [this] { schedule(); });
}

PictureSaver::~PictureSaver()
{
    {
        QMutexLocker locked(&m_mailbox->lock);
        m_mailbox->saver = nullptr;
    }
    // A run cut short by the page going must not leave the other pages locked out.
    if (m_pageSaving)
        m_state.saving = false;
}

PictureSaver::Start PictureSaver::saveLarge(const QString &folder, std::function<void()> done)
{
    if (m_pageSaving) {
        if (done)
            done();
        return Start::AlreadySaving;
    }
    if (m_state.saving) {
        if (done)
            done();
        return Start::OtherPageSaving;
    }
    m_state.saving = true;
    m_pageSaving = true;
    m_state.serial = 0;
    m_found = 0;
    if (busy()) {
        // A run of every picture is under way on this page; this one follows it.
        m_queued.append([this, folder, done] { begin(Large, folder, done); });
        return Start::Started;
    }
    begin(Large, folder, std::move(done));
    return Start::Started;
}

void PictureSaver::saveEvery(const QString &folder, std::function<void()> done)
{
    if (busy()) {
        m_queued.append([this, folder, done] { begin(Every, folder, done); });
        return;
    }
    begin(Every, folder, std::move(done));
}

void PictureSaver::resetSaved()
{
    m_savedCount = 0;
}

void PictureSaver::begin(Mode mode, const QString &folder, std::function<void()> done)
{
    m_mode = mode;
    m_done = std::move(done);
    m_state.folder = PictureName::folder(folder);
    m_everyStep = 0;
    m_candidates.clear();
    m_captureIndex.clear();
    m_jobs.clear();
    m_pos = 0;
    m_counted = false;
    emit busyChanged(true);
    if (!m_web || m_web->LocationURL().isEmpty()) {
        // No document: nothing to walk.
        onScanned(QVariant());
        return;
    }
    m_web->runScript(PictureScan::script(true), [this](const QVariant &answer) { onScanned(answer); });
}

void PictureSaver::onScanned(const QVariant &answer)
{
    const QVector<PageImage> images = PictureScan::parse(answer);
    QVector<QRectF> rects;
    // Only pictures that can be saved are taken from the page: not those saved before,
    // not the same address twice, and no more than the run can save.
    QStringList planned;
    const int room = kMaxSaved - m_savedCount;
    for (const PageImage &image : images) {
        if (PictureScan::isBareHttp(image))
            continue;
        if (m_mode == Large && !PictureScan::isLarge(image.width, image.height))
            continue;
        m_candidates.append(image);
        bool take = true;
        if (m_mode == Large) {
            take = !alreadySaved(image.src) && !planned.contains(image.src) && planned.size() < room;
            if (take)
                planned.append(image.src);
        }
        m_captureIndex.append(take ? rects.size() : -1);
        if (take)
            rects.append(image.rect);
    }
    if (rects.isEmpty())
        schedule();
    else
        m_capture->start(rects);
}

void PictureSaver::onTaken(int index, const QImage &picture)
{
    auto job = std::make_shared<Job>();
    m_jobs.insert(index, job);
    // Names are taken here, in document order, so the serials follow the page.
    const QString name = picture.isNull() ? QString() : PictureName::next(m_state.folder, m_state.serial, m_clock.now());
    const int minBytes = m_mode == Every ? kMinFileBytes : 1;
    std::shared_ptr<Mailbox> mailbox = m_mailbox;
    QThreadPool::globalInstance()->start([job, picture, name, minBytes, mailbox] {
        bool ok = false;
        if (!name.isEmpty()) {
            // Encoded first, so a small picture never becomes a file at all.
            const QByteArray bytes = JpegWriter::encode(picture, kQuality);
            ok = bytes.size() >= minBytes && AtomicFile::write(name, bytes);
        }
        job->result = ok ? 1 : 0;
        QMutexLocker locked(&mailbox->lock);
        if (mailbox->saver)
            QMetaObject::invokeMethod(mailbox->saver, &PictureSaver::schedule, Qt::QueuedConnection);
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

bool PictureSaver::alreadySaved(const QString &src) const
{
    const int inUse = qMin(m_savedCount, int(m_savedSrc.size()));
    for (int i = 0; i < inUse; ++i) {
        if (m_savedSrc.at(i) == src)
            return true;
    }
    return false;
}

void PictureSaver::advance()
{
    if (m_mode == Idle)
        return;
    if (m_pos >= m_candidates.size()) {
        if (m_mode == Large)
            end(QStringLiteral("  自动下载图片 %1").arg(m_savedCount));
        else
            end(QStringLiteral("  下载图片 %1").arg(m_savedCount));
        return;
    }
    if (m_mode == Large ? stepLarge() : stepEvery())
        schedule();
}

bool PictureSaver::stepLarge()
{
    const PageImage &image = m_candidates[m_pos];
    if (!m_counted) {
        ++m_found;
        emit foundChanged(m_found);
        if (alreadySaved(image.src)) {
            ++m_pos;
            return true;
        }
        if (m_savedCount >= kMaxSaved) {
            // The run saves no more; the picture is neither saved nor counted.
            m_pos = m_candidates.size();
            return true;
        }
        if (m_savedCount < m_savedSrc.size())
            m_savedSrc[m_savedCount] = image.src;
        else
            m_savedSrc.append(image.src);
        ++m_savedCount;
        m_counted = true;
    }
    const int written = resultFor(m_pos);
    if (written < 0)
        return false; // the capture or the pool calls back
    if (written == 0)
        --m_savedCount; // not saved, not counted; its entry is reused
    emit progressed(m_savedCount % 24);
    m_counted = false;
    ++m_pos;
    if (stopRequested && stopRequested()) {
        m_pageSaving = false;
        m_state.saving = false;
        m_pos = m_candidates.size();
        end(QString());
        return false;
    }
    return true;
}

bool PictureSaver::stepEvery()
{
    const int written = resultFor(m_pos);
    if (written < 0)
        return false;
    if (written == 1) {
        ++m_savedCount;
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
    if (m_capture->running()) {
        QSignalBlocker quiet(m_capture);
        m_capture->cancel();
    }
    m_jobs.clear();
    m_candidates.clear();
    if (mode == Large && m_pageSaving) {
        m_pageSaving = false;
        m_state.saving = false;
    }
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
        next();
    }
}

// The view operations of the browser control: what capture, the gallery and the page
// window's lifetime need, so nothing outside the engine folder touches the engine.
#include "engine/browsercontrol.h"
#include "engine/enginedownloads.h"

#include "engine/enginepage.h"
#include "engine/printkeeper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

QImage BrowserControl::grabView(const QRect &rect) const
{
    if (!m_view)
        return QImage();
    return (rect.isValid() ? m_view->grab(rect) : m_view->grab()).toImage();
}

QSize BrowserControl::viewSize() const
{
    return m_view ? m_view->size() : QSize();
}

qreal BrowserControl::devicePixelRatio() const
{
    return m_view ? m_view->devicePixelRatioF() : 1.0;
}

void BrowserControl::setCaptureHeight(int height)
{
    if (!m_view)
        return;
    if (m_captureHeight == 0)
        m_geometryBeforeCapture = m_view->geometry();
    m_captureHeight = height;
    m_view->resize(m_view->width(), height);
}

void BrowserControl::restoreViewSize()
{
    if (!m_view || m_captureHeight == 0)
        return;
    // Unless the page window has laid the view out anew meanwhile.
    if (m_view->height() == m_captureHeight)
        m_view->setGeometry(m_geometryBeforeCapture);
    m_captureHeight = 0;
}

qreal BrowserControl::zoomFactor() const
{
    return m_page ? m_page->zoomFactor() : 1.0;
}

void BrowserControl::setLocalPageAccess(bool remoteUrls, bool fileUrls)
{
    QWebEngineSettings *s = m_page->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, remoteUrls);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, fileUrls);
}

void BrowserControl::setAudioMuted(bool muted)
{
    if (m_page)
        m_page->setAudioMuted(muted);
}

QWidget *BrowserControl::inputWidget() const
{
    return m_view ? m_view->focusProxy() : nullptr;
}

void BrowserControl::runPageScript(const QString &script)
{
    if (m_page)
        m_page->runJavaScript(script);
}

qint64 BrowserControl::rendererPid() const
{
    return m_page ? m_page->renderProcessPid() : 0;
}

void BrowserControl::downloadTo(const QString &address, const QString &path, QObject *context, std::function<void(bool)> done)
{
    if (!m_page) {
        done(false);
        return;
    }
    const QUrl url(address);
    m_engine.downloads->claim(url, context, [path, context, done](QWebEngineDownloadRequest *request) {
        const QFileInfo target(path);
        request->setDownloadDirectory(target.absolutePath());
        request->setDownloadFileName(target.fileName());
        QObject::connect(request, &QWebEngineDownloadRequest::isFinishedChanged, context, [request, done] {
            if (request->isFinished())
                done(request->state() == QWebEngineDownloadRequest::DownloadCompleted);
        });
        request->accept();
    }, [done] { done(false); });
    m_page->download(url, QFileInfo(path).fileName());
}

void BrowserControl::download(const QString &address)
{
    if (m_page)
        m_page->download(QUrl::fromUserInput(address));
}

void BrowserControl::savePage(const QString &path, PageFormat format, QObject *context, std::function<void(bool)> done)
{
    if (!m_page || m_page->url().isEmpty()) {
        done(false);
        return;
    }
    // The engine makes the desktop's download folder for every saved page, wherever the
    // page goes: one it made for nothing is taken away again (only while empty).
    const QString engineFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const bool hadFolder = engineFolder.isEmpty() || QFileInfo::exists(engineFolder);
    m_engine.downloads->claim(m_page->url(), context, [context, done, engineFolder, hadFolder](QWebEngineDownloadRequest *request) {
        QObject::connect(request, &QWebEngineDownloadRequest::isFinishedChanged, request, [request, done, engineFolder, hadFolder,
                                                                                         alive = QPointer<QObject>(context)] {
            if (!request->isFinished())
                return;
            if (!hadFolder)
                QDir().rmdir(engineFolder);
            if (alive)
                done(request->state() == QWebEngineDownloadRequest::DownloadCompleted);
        });
        if (request->state() == QWebEngineDownloadRequest::DownloadRequested)
            request->accept();
    }, [done] { done(false); });
    m_page->save(path, format == PageFormat::SingleFile ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                                        : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

void BrowserControl::edit(Edit command)
{
    if (!m_page)
        return;
    // The engine edits in the frame that has the focus: the page takes it first, as a
    // click into it would give it.
    m_view->setFocus(Qt::OtherFocusReason);
    switch (command) {
    case Edit::Copy: m_page->triggerAction(QWebEnginePage::Copy); break;
    case Edit::Cut: m_page->triggerAction(QWebEnginePage::Cut); break;
    case Edit::Paste: m_page->triggerAction(QWebEnginePage::Paste); break;
    case Edit::SelectAll: m_page->triggerAction(QWebEnginePage::SelectAll); break;
    }
}

void BrowserControl::find(const QString &word, bool backward, bool matchCase, QObject *context,
                          std::function<void(int, int)> done)
{
    if (!m_page) {
        done(0, 0);
        return;
    }
    QWebEnginePage::FindFlags flags;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    if (matchCase)
        flags |= QWebEnginePage::FindCaseSensitively;
    std::weak_ptr<bool> alive = m_alive;
    m_page->findText(word, flags, [alive, asker = QPointer<QObject>(context), done](const QWebEngineFindTextResult &result) {
        auto a = alive.lock();
        if (a && *a && asker)
            done(result.activeMatch(), result.numberOfMatches());
    });
}

void BrowserControl::printToPdf(const QPageLayout &layout, const QPageRanges &ranges, QObject *context,
                                std::function<void(const QByteArray &)> done)
{
    if (!m_page) {
        done({});
        return;
    }
    // The answer belongs to whoever asked, and comes also after the page's tab closed
    // (the page is kept until then).
    QPointer<QObject> asker(context);
    std::shared_ptr<PrintJobs> jobs = m_printJobs;
    ++jobs->running;
    PrintKeeper &keeper = m_engine.printKeeper;
    m_page->printToPdf([asker, done, jobs, &keeper](const QByteArray &pdf) {
        --jobs->running;
        if (asker)
            done(pdf);
        if (jobs->running == 0 && jobs->kept) {
            keeper.release(jobs->kept);
            jobs->kept = nullptr;
        }
    }, layout, ranges);
}

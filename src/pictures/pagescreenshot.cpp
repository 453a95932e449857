#include "pictures/pagescreenshot.h"

#include "engine/pagecontrol.h"
#include "pictures/viewcapture.h"

#include <QtMath>

namespace {
const char *kStyleId = "__velmo_screenshot_style";
}

PageScreenshot::PageScreenshot(PageControl *browser, QObject *parent)
    : QObject(parent)
    , m_browser(browser)
    , m_capture(new ViewCapture(browser, this))
{
    // The whole picture is held while it is taken: the chunks stay small beside it.
    m_capture->setMaxChunk(4096);
    connect(m_capture, &ViewCapture::progressed, this, &PageScreenshot::progressed);
    connect(m_capture, &ViewCapture::taken, this, [this](int, const QImage &picture) { done(picture); });
    m_measuring = new QTimer(this);
    m_measuring->setSingleShot(true);
    m_measuring->setInterval(ViewCapture::kStallMs);
    connect(m_measuring, &QTimer::timeout, this, [this] { done(QImage()); });
}

void PageScreenshot::setStallMs(int ms)
{
    m_measuring->setInterval(ms);
    m_capture->setStallMs(ms);
}

void PageScreenshot::start()
{
    if (m_running)
        return;
    m_running = true;
    if (!m_browser || m_browser->LocationURL().isEmpty()) {
        // No document (a blank tab never used): nothing to take.
        done(QImage());
        return;
    }
    // No scroll bars in the picture: they are hidden (not taken away, so the page keeps
    // its scroll position), and the document is measured as it is laid out then.
    const quint64 run = ++m_run;
    m_measuring->start();
    m_browser->runScript(
        QStringLiteral("(function(){var s=document.scrollingElement||document.documentElement;"
                       "var st=document.getElementById('%1');if(!st){st=document.createElement('style');st.id='%1';"
                       "st.textContent='::-webkit-scrollbar{display:none!important}';"
                       "(document.head||document.documentElement).appendChild(st);}"
                       "return [s.scrollWidth,s.scrollHeight,window.scrollX,window.scrollY,window.innerWidth];})()")
            .arg(QLatin1String(kStyleId)),
        this, [this, run](const QVariant &answer) {
            if (run != m_run || !m_running)
                return;
            m_measuring->stop();
            onMeasured(answer);
        });
}

void PageScreenshot::onMeasured(const QVariant &answer)
{
    const QVariantList v = answer.toList();
    if (v.size() < 5 || !m_browser) {
        done(QImage());
        return;
    }
    m_scroll = QPointF(v[2].toDouble(), v[3].toDouble());
    // CSS pixels to the picture's pixels: the page zoom and the screen's scale.
    const qreal scale = ViewCapture::viewPixelsPerCssPixel(*m_browser, v[4].toDouble()) * m_browser->devicePixelRatio();
    const qreal width = v[0].toDouble() + 4;
    const qreal height = v[1].toDouble() + 4;
    m_documentHeight = qCeil(height * scale);
    const qreal maxCss = qFloor(kMaxSide / scale);
    m_whole = height <= maxCss && width <= maxCss;
    m_capture->start({ViewCapture::Target{-1, QRectF(0, 0, qMin(width, maxCss), qMin(height, maxCss))}});
}

void PageScreenshot::done(const QImage &picture)
{
    if (!m_running)
        return;
    m_running = false;
    m_measuring->stop();
    // A capture under way (the page stopped answering during it) ends too.
    m_capture->cancel();
    if (m_browser) {
        // Scroll bars back, and the reader's place with them.
        m_browser->runScript(QStringLiteral("(function(){var st=document.getElementById('%1');if(st)st.remove();"
                                            "window.scrollTo(%2,%3);})()")
                                 .arg(QLatin1String(kStyleId))
                                 .arg(m_scroll.x())
                                 .arg(m_scroll.y()));
    }
    emit finished(picture, m_whole, m_documentHeight);
}

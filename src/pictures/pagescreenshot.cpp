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
    connect(m_capture, &ViewCapture::taken, this, [this](int index, const QImage &picture) {
        if (picture.isNull()) {
            done(false);
            return;
        }
        emit partTaken(index, m_parts, picture);
        if (index == m_parts - 1)
            done(true);
    });
    m_measuring = new QTimer(this);
    m_measuring->setSingleShot(true);
    m_measuring->setInterval(ViewCapture::kStallMs);
    connect(m_measuring, &QTimer::timeout, this, [this] { done(false); });
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
        done(false);
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
        done(false);
        return;
    }
    m_scroll = QPointF(v[2].toDouble(), v[3].toDouble());
    // CSS pixels to the picture's pixels: the page zoom and the screen's scale.
    const qreal scale = ViewCapture::viewPixelsPerCssPixel(*m_browser, v[4].toDouble()) * m_browser->devicePixelRatio();
    const qreal width = v[0].toDouble() + 4;
    const qreal height = v[1].toDouble() + 4;
    m_documentHeight = qCeil(height * scale);
    const qreal maxCss = qFloor(kMaxSide / scale);
    const qreal takenWidth = qMin(width, maxCss);
    m_whole = width <= maxCss;
    QVector<ViewCapture::Target> targets;
    if (height <= maxCss) {
        targets.append({-1, QRectF(0, 0, takenWidth, height)});
    } else {
        const int parts = qCeil(height / maxCss);
        const TooTall choice = m_decide ? m_decide(m_documentHeight, parts) : TooTall::FirstPart;
        if (!m_running || !m_browser || choice == TooTall::Cancel) {
            done(false);
            return;
        }
        if (choice == TooTall::FirstPart) {
            m_whole = false;
            targets.append({-1, QRectF(0, 0, takenWidth, maxCss)});
        } else {
            // Each part starts on the row after the last one's.
            for (int i = 0; i < parts; ++i)
                targets.append({-1, QRectF(0, i * maxCss, takenWidth, qMin(maxCss, height - i * maxCss))});
        }
    }
    m_parts = int(targets.size());
    m_capture->start(targets);
}

void PageScreenshot::done(bool taken)
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
    emit finished(taken, m_whole, m_documentHeight);
}

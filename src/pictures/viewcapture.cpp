#include "pictures/viewcapture.h"

#include "engine/browsercontrol.h"
#include "engine/enginepage.h"

#include <QPainter>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtMath>

namespace {

// Colours pages rarely paint, for the marker that tells a new frame is on screen; they
// take turns, so each position has a marker of its own to wait for.
const QColor kMarkers[2] = {QColor(1, 254, 3), QColor(3, 1, 254)};
// The marker sits in the view's bottom rows (CSS pixels); those rows are never cut out.
constexpr int kMarkerRows = 5;
constexpr int kPollMs = 8;
// About three seconds of polling before a step is given up.
constexpr int kPollTries = 375;

bool isMarker(const QColor &c, const QColor &marker)
{
    return qAbs(c.red() - marker.red()) < 8 && qAbs(c.green() - marker.green()) < 8
           && qAbs(c.blue() - marker.blue()) < 8;
}

const char *kMarkerId = "__velmo_capture_marker";

} // namespace

ViewCapture::ViewCapture(BrowserControl *browser, QObject *parent)
    : QObject(parent)
    , m_browser(browser)
{
}

ViewCapture::~ViewCapture() = default;

void ViewCapture::start(const QVector<QRectF> &rects)
{
    m_items.clear();
    m_nextToEmit = 0;
    m_running = true;
    m_savedGeometry = QRect();
    for (const QRectF &r : rects) {
        Item item{r, r.top(), QImage(), false};
        if (r.width() < 1 || r.height() < 1)
            item.done = true;
        m_items.append(item);
    }
    if (!m_browser || !m_browser->view()) {
        finish();
        return;
    }
    m_zoom = m_browser->page()->zoomFactor();
    m_browser->runScript(QStringLiteral("[window.scrollX,window.scrollY,document.documentElement.scrollHeight]"),
                         [this](const QVariant &answer) {
                             const QVariantList v = answer.toList();
                             if (v.size() < 3) {
                                 finish();
                                 return;
                             }
                             m_savedScroll = QPointF(v[0].toDouble(), v[1].toDouble());
                             QWebEngineView *view = m_browser->view();
                             const int documentHeight = qCeil(v[2].toDouble() * m_zoom);
                             m_chunk = qBound(view->height(), documentHeight, qMax(view->height(), kMaxChunk));
                             if (m_chunk > view->height()) {
                                 m_savedGeometry = view->geometry();
                                 view->resize(view->width(), m_chunk);
                                 waitForViewport(0);
                             } else {
                                 nextPosition();
                             }
                         });
}

void ViewCapture::waitForViewport(int tries)
{
    // The engine takes the new size a little later; wait until the page sees it.
    m_browser->runScript(QStringLiteral("window.innerHeight"), [this, tries](const QVariant &answer) {
        const int expected = qFloor(m_chunk / m_zoom);
        if (qAbs(answer.toInt() - expected) <= 1 || tries >= kPollTries) {
            nextPosition();
            return;
        }
        QTimer::singleShot(kPollMs, this, [this, tries] { waitForViewport(tries + 1); });
    });
}

void ViewCapture::nextPosition()
{
    if (!m_browser) {
        finish();
        return;
    }
    int first = -1;
    for (int i = 0; i < m_items.size(); ++i) {
        if (!m_items[i].done) {
            first = i;
            break;
        }
    }
    if (first < 0) {
        finish();
        return;
    }
    const Item &item = m_items[first];
    m_turn = 1 - m_turn;
    const QColor marker = kMarkers[m_turn];
    const QString script = QStringLiteral(
        "(function(){var d=document.documentElement,x=(%3>d.clientWidth)?%1:0;window.scrollTo(x,%2);"
        "var m=document.getElementById('%4');if(!m){m=document.createElement('div');m.id='%4';"
        "m.style.cssText='position:fixed;right:0;bottom:0;width:4px;height:4px;margin:0;padding:0;border:0;"
        "z-index:2147483647';(document.body||d).appendChild(m);}m.style.background='%5';"
        "var b=m.getBoundingClientRect();return [window.scrollX,window.scrollY,d.clientWidth,d.clientHeight,b.left,b.top];})()")
                               .arg(item.rect.left())
                               .arg(item.covered)
                               .arg(item.rect.right())
                               .arg(QLatin1String(kMarkerId))
                               .arg(marker.name());
    m_browser->runScript(script, [this](const QVariant &answer) { onScrolled(answer); });
}

void ViewCapture::onScrolled(const QVariant &answer)
{
    const QVariantList v = answer.toList();
    if (v.size() < 6) {
        finish();
        return;
    }
    m_scroll = QPointF(v[0].toDouble(), v[1].toDouble());
    m_viewport = QSizeF(v[2].toDouble(), qMax(1.0, v[3].toDouble() - kMarkerRows));
    m_marker = QPoint(qFloor((v[4].toDouble() + 2) * m_zoom), qFloor((v[5].toDouble() + 2) * m_zoom));
    pollMarker(0);
}

QColor ViewCapture::pixelAt(const QPoint &p) const
{
    const QImage one = m_browser->view()->grab(QRect(p, QSize(1, 1))).toImage();
    return one.isNull() ? QColor() : one.pixelColor(0, 0);
}

void ViewCapture::pollMarker(int tries)
{
    if (!m_browser) {
        finish();
        return;
    }
    if (isMarker(pixelAt(m_marker), kMarkers[m_turn])) {
        grabAndCut();
        return;
    }
    if (tries >= kPollTries) {
        // No frame came (the view is not drawn): nothing more can be taken.
        finish();
        return;
    }
    QTimer::singleShot(kPollMs, this, [this, tries] { pollMarker(tries + 1); });
}

bool ViewCapture::cut(const QImage &shot, qreal bottom)
{
    const qreal scale = m_zoom * shot.devicePixelRatio();
    const qreal top = m_scroll.y();
    bool progressed = false;
    for (Item &item : m_items) {
        if (item.done || item.covered < top - 0.5 || item.covered >= bottom)
            continue;
        const qreal end = qMin(item.rect.bottom(), bottom);
        if (item.image.isNull()) {
            item.image = QImage(qMax(1, qRound(item.rect.width() * scale)), qMax(1, qRound(item.rect.height() * scale)),
                                QImage::Format_RGB32);
            item.image.fill(Qt::white);
        }
        const int destY = qRound((item.covered - item.rect.top()) * scale);
        const int destEnd = qRound((end - item.rect.top()) * scale);
        const QRect source(qRound((item.rect.left() - m_scroll.x()) * scale), qRound((item.covered - top) * scale),
                           item.image.width(), destEnd - destY);
        const QRect clipped = source.intersected(shot.rect());
        if (!clipped.isEmpty()) {
            QPainter p(&item.image);
            p.drawImage(QPoint(0, destY) + clipped.topLeft() - source.topLeft(), shot, clipped);
        }
        item.covered = end;
        progressed = true;
        if (item.covered >= item.rect.bottom() - 0.5)
            item.done = true;
    }
    return progressed;
}

void ViewCapture::grabAndCut()
{
    const QImage shot = m_browser->view()->grab().toImage();
    // The marker's rows are left for the next position, unless the document ends there.
    if (!cut(shot, m_scroll.y() + m_viewport.height()) && !cut(shot, m_scroll.y() + m_viewport.height() + kMarkerRows)) {
        // The first picture left cannot be brought into view (it lies past the document's
        // end): it is as done as it will get.
        for (Item &item : m_items) {
            if (!item.done) {
                item.done = true;
                break;
            }
        }
    }
    emitReady();
    if (m_running)
        QTimer::singleShot(0, this, &ViewCapture::nextPosition);
}

void ViewCapture::emitReady()
{
    QPointer<ViewCapture> self(this);
    while (self && m_nextToEmit < m_items.size() && m_items[m_nextToEmit].done) {
        const int index = m_nextToEmit++;
        const QImage picture = m_items[index].image;
        m_items[index].image = QImage();
        emit taken(index, picture);
    }
}

void ViewCapture::finish()
{
    if (!m_running)
        return;
    m_running = false;
    // What was not taken whole is not taken.
    for (Item &item : m_items) {
        if (!item.done)
            item.image = QImage();
        item.done = true;
    }
    if (m_browser && m_browser->view()) {
        QWebEngineView *view = m_browser->view();
        // Back to the size the page window gave it, unless it has laid the view out anew.
        if (m_savedGeometry.isValid() && view->height() == m_chunk)
            view->setGeometry(m_savedGeometry);
        m_browser->runScript(QStringLiteral("(function(){var m=document.getElementById('%1');if(m)m.remove();"
                                            "window.scrollTo(%2,%3);})()")
                                 .arg(QLatin1String(kMarkerId))
                                 .arg(m_savedScroll.x())
                                 .arg(m_savedScroll.y()));
    }
    QPointer<ViewCapture> self(this);
    emitReady();
    if (self)
        emit finished();
}

#include "pictures/viewcapture.h"

#include "engine/pagecontrol.h"

#include <QPainter>
#include <QTimer>
#include <QtMath>
#include <algorithm>

namespace {

// Colours pages rarely paint, for the marker that tells a new frame is on screen; they
// take turns, so each position has a marker of its own to wait for.
const QColor kMarkers[2] = {QColor(17, 231, 187), QColor(187, 17, 231)};
// The marker sits in the view's bottom rows (CSS pixels); those rows are never cut out.
constexpr int kMarkerRows = 5;
constexpr int kPollMs = 8;
// About three seconds of polling before a step is given up.
constexpr int kPollTries = 375;
// Layout positions closer than this are the same position.
constexpr qreal kSame = 0.5;

bool isMarker(const QColor &c, const QColor &marker)
{
    return qAbs(c.red() - marker.red()) < 8 && qAbs(c.green() - marker.green()) < 8
           && qAbs(c.blue() - marker.blue()) < 8;
}

bool sameBox(const QRectF &a, const QRectF &b)
{
    return qAbs(a.x() - b.x()) < kSame && qAbs(a.y() - b.y()) < kSame && qAbs(a.width() - b.width()) < kSame
           && qAbs(a.height() - b.height()) < kSame;
}

const char *kMarkerId = "__velmo_capture_marker";

QString jsRect(const QRectF &r)
{
    return QStringLiteral("[%1,%2,%3,%4]").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

ViewCapture::ViewCapture(PageControl *browser, QObject *parent)
    : QObject(parent)
    , m_browser(browser)
{
    m_stall.setSingleShot(true);
    m_stall.setInterval(kStallMs);
    connect(&m_stall, &QTimer::timeout, this, &ViewCapture::finish);
}

ViewCapture::~ViewCapture() = default;

qreal ViewCapture::viewPixelsPerCssPixel(const PageControl &browser, qreal innerWidth)
{
    const qreal zoom = browser.zoomFactor();
    const qreal measured = innerWidth > 0 ? browser.viewSize().width() / innerWidth : zoom;
    return qAbs(measured - zoom) > 0.02 ? measured : zoom;
}

int ViewCapture::chunkHeight(const QSize &view, qreal devicePixelRatio, int documentHeight, int maxChunk)
{
    const int byArea = int(kChunkPixels / qMax(1.0, view.width() * devicePixelRatio * devicePixelRatio));
    return qBound(view.height(), documentHeight, qMax(view.height(), qMin(maxChunk, byArea)));
}

void ViewCapture::start(const QVector<Target> &targets)
{
    m_items.clear();
    m_nextToEmit = 0;
    m_running = true;
    const quint64 run = ++m_run;
    m_stall.start();
    for (const Target &t : targets) {
        Item item;
        item.target = t;
        item.done = t.element < 0 && (t.rect.width() < 1 || t.rect.height() < 1);
        m_items.append(item);
    }
    if (!m_browser) {
        finish();
        return;
    }
    // The document's scrolling element is the body on a page without a doctype.
    m_browser->runScript(QStringLiteral("(function(){var s=document.scrollingElement||document.documentElement;"
                                        "return [window.scrollX,window.scrollY,s.scrollHeight,window.innerWidth];})()"),
                         this, [this, run](const QVariant &answer) {
                             if (!isCurrent(run))
                                 return;
                             m_stall.start();
                             const QVariantList v = answer.toList();
                             if (v.size() < 4 || !m_browser) {
                                 finish();
                                 return;
                             }
                             m_zoom = viewPixelsPerCssPixel(*m_browser, v[3].toDouble());
                             m_savedScroll = QPointF(v[0].toDouble(), v[1].toDouble());
                             const int viewHeight = m_browser->viewSize().height();
                             const int documentHeight = qCeil(v[2].toDouble() * m_zoom);
                             m_chunk = chunkHeight(m_browser->viewSize(), m_browser->devicePixelRatio(), documentHeight,
                                                   m_maxChunk);
                             if (m_chunk > viewHeight) {
                                 m_browser->setCaptureHeight(m_chunk);
                                 waitForViewport(0);
                             } else {
                                 nextPosition();
                             }
                         });
}

void ViewCapture::waitForViewport(int tries)
{
    // The engine takes the new size a little later; wait until the page sees it.
    const quint64 run = m_run;
    m_browser->runScript(QStringLiteral("window.innerHeight"), this, [this, tries, run](const QVariant &answer) {
        if (!isCurrent(run))
            return;
        const int expected = qFloor(m_chunk / m_zoom);
        if (qAbs(answer.toInt() - expected) <= 1 || tries >= kPollTries) {
            nextPosition();
            return;
        }
        QTimer::singleShot(kPollMs, this, [this, tries, run] {
            if (isCurrent(run))
                waitForViewport(tries + 1);
        });
    });
}

void ViewCapture::nextPosition()
{
    if (!m_browser) {
        finish();
        return;
    }
    m_asked.clear();
    QStringList boxes;
    int firstLeft = -1;
    for (int i = 0; i < m_items.size() && firstLeft < 0; ++i)
        if (!m_items[i].done)
            firstLeft = i;
    // Only the boxes that may show at this position are measured (the first target left,
    // those begun, those near the first as last seen): on a page of hundreds of pictures,
    // measuring every box left at every position took longer than drawing the frame.
    const qreal span = m_chunk / qMax(0.01, m_zoom); // the view's height, CSS pixels
    const qreal firstTop = firstLeft >= 0 ? m_items[firstLeft].target.rect.top() : 0;
    for (int i = 0; i < m_items.size(); ++i) {
        const Item &item = m_items[i];
        if (item.done)
            continue;
        const QRectF &r = item.target.rect;
        if (i != firstLeft && item.rowsDone == 0 && (r.bottom() < firstTop - span || r.top() > firstTop + 2 * span))
            continue;
        m_asked.append(i);
        const Target &t = m_items[i].target;
        boxes.append(t.element >= 0 ? QString::number(t.element) : jsRect(t.rect));
    }
    if (m_asked.isEmpty()) {
        finish();
        return;
    }
    const Item &first = m_items[m_asked.first()];
    const qreal scale = m_zoom * m_dpr;
    m_turn = 1 - m_turn;
    // The first target's next row goes to the top of the view (a row above, against
    // rounding); every target's box is measured as laid out now.
    const QString script = QStringLiteral(
        "(function(){var s=document.scrollingElement||document.documentElement,d=document.documentElement,"
        "L=window.__velmoPics||[],want=[%1];"
        // A box measured inside an element zoomed by the page's style comes divided by
        // that zoom: it is multiplied back, into the document's own pixels. The root's
        // zoom is the engine's (page zoom, screen scale), already in the view's scale.
        "function z(e){var k=1;for(;e&&e.nodeType===1&&e!==d;e=e.parentNode){var v=parseFloat(getComputedStyle(e).zoom);if(v>0)k*=v;}return k;}"
        "function box(w){if(typeof w!=='number')return w;var e=L[w];if(!e||!e.isConnected)return null;"
        "var r=e.getBoundingClientRect(),k=z(e);return [r.left*k+window.scrollX,r.top*k+window.scrollY,r.width*k,r.height*k];}"
        "var f=box(want[0]);if(f){var x=(f[0]+f[2]>s.clientWidth)?f[0]:0;window.scrollTo(x,Math.max(0,f[1]+%2-1));}"
        "var m=document.getElementById('%3');if(!m){m=document.createElement('div');m.id='%3';"
        "m.style.cssText='position:fixed;right:0;bottom:0;width:4px;height:4px;margin:0;padding:0;border:0;"
        "z-index:2147483647;zoom:1';(document.body||d).appendChild(m);}m.style.background='%4';"
        "var b=m.getBoundingClientRect(),k=z(m),out=[window.scrollX,window.scrollY,s.clientWidth,s.clientHeight,b.left*k,b.top*k];"
        "for(var i=0;i<want.length;i++)out.push(box(want[i]));return out;})()")
                               .arg(boxes.join(QLatin1Char(',')))
                               .arg(first.rowsDone / scale)
                               .arg(QLatin1String(kMarkerId))
                               .arg(kMarkers[m_turn].name());
    const quint64 run = m_run;
    m_browser->runScript(script, this, [this, run](const QVariant &answer) {
        if (isCurrent(run)) {
            m_stall.start();
            onScrolled(answer);
        }
    });
}

void ViewCapture::onScrolled(const QVariant &answer)
{
    const QVariantList v = answer.toList();
    if (v.size() != 6 + m_asked.size()) {
        finish();
        return;
    }
    m_scroll = QPointF(v[0].toDouble(), v[1].toDouble());
    m_viewport = QSizeF(v[2].toDouble(), qMax(1.0, v[3].toDouble() - kMarkerRows));
    m_marker = QPoint(qFloor((v[4].toDouble() + 2) * m_zoom), qFloor((v[5].toDouble() + 2) * m_zoom));
    for (int k = 0; k < m_asked.size(); ++k) {
        Item &item = m_items[m_asked[k]];
        const QVariantList b = v[6 + k].toList();
        if (b.size() != 4) {
            // The element left the document: it cannot be taken.
            item.image = QImage();
            item.done = true;
            continue;
        }
        const QRectF box(b[0].toDouble(), b[1].toDouble(), b[2].toDouble(), b[3].toDouble());
        if (!sameBox(box, item.target.rect) && item.rowsDone > 0) {
            // It moved or changed size since its first rows were taken: start it again.
            item.image = QImage();
            item.rowsDone = 0;
        }
        item.target.rect = box;
        if (box.width() < 1 || box.height() < 1) {
            item.image = QImage();
            item.done = true;
        }
    }
    pollMarker(0);
}

void ViewCapture::pollMarker(int tries)
{
    if (!m_browser) {
        finish();
        return;
    }
    const QImage one = m_browser->grabView(QRect(m_marker, QSize(1, 1)));
    if (!one.isNull() && isMarker(one.pixelColor(0, 0), kMarkers[m_turn])) {
        grabAndCut();
        return;
    }
    if (tries >= kPollTries) {
        // No frame came (the view is not drawn): nothing more can be taken.
        finish();
        return;
    }
    QTimer::singleShot(kPollMs, this, [this, tries, run = m_run] {
        if (isCurrent(run))
            pollMarker(tries + 1);
    });
}

bool ViewCapture::cut(const QImage &shot, int limitRows, qreal scale)
{
    // Whole device pixels inside the box only: a fractional edge belongs to a neighbour.
    const auto inner = [scale](qreal from, qreal to, int &first, int &end) {
        first = qCeil(from * scale - 0.02);
        end = qFloor(to * scale + 0.02);
    };
    bool progressed = false;
    for (int index : std::as_const(m_asked)) {
        Item &item = m_items[index];
        if (item.done)
            continue;
        const QRectF &r = item.target.rect;
        int left, right, top, bottom;
        inner(r.left() - m_scroll.x(), r.right() - m_scroll.x(), left, right);
        inner(r.top() - m_scroll.y(), r.bottom() - m_scroll.y(), top, bottom);
        const QSize size(right - left, bottom - top);
        if (size.width() < 1 || size.height() < 1) {
            item.done = true;
            continue;
        }
        if (!item.image.isNull() && item.image.size() != size) {
            item.image = QImage();
            item.rowsDone = 0;
        }
        const int from = top + item.rowsDone; // the next row, in the shot
        const int rows = qMin(size.height() - item.rowsDone, limitRows - from);
        if (from < 0 || rows <= 0)
            continue;
        // Made only once the picture is in a shot: a page holds hundreds of them.
        if (item.image.isNull()) {
            item.image = QImage(size, QImage::Format_RGB32);
            item.image.fill(Qt::white);
        }
        const QRect source(left, from, size.width(), rows);
        const QRect clipped = source.intersected(shot.rect());
        if (!clipped.isEmpty())
            m_copies.append({index, clipped, QPoint(clipped.left() - left, item.rowsDone + clipped.top() - from)});
        item.rowsDone += rows;
        progressed = true;
        if (item.rowsDone >= size.height())
            item.done = true;
    }
    return progressed;
}

void ViewCapture::grabAndCut()
{
    QImage shot = m_browser->grabView();
    m_dpr = shot.devicePixelRatio();
    // Cut in the shot's own (device) pixels.
    shot.setDevicePixelRatio(1);
    m_shot = shot;
    const qreal scale = m_zoom * m_dpr;
    // The marker's rows are left for the next position, unless the document ends there.
    if (!cut(shot, qFloor(m_viewport.height() * scale), scale)
        && !cut(shot, qFloor((m_viewport.height() + kMarkerRows) * scale), scale)) {
        // The first target left cannot be brought into view any further (it reaches past
        // the document's end): a picture cannot be taken whole; a rectangle of the
        // document keeps the page's background there (white).
        for (int index : std::as_const(m_asked)) {
            Item &item = m_items[index];
            if (item.done)
                continue;
            if (item.target.element < 0 && !item.image.isNull())
                item.rowsDone = item.image.height();
            else
                item.image = QImage();
            item.done = true;
            break;
        }
    }
    qint64 rows = 0, total = 0;
    for (const Item &item : std::as_const(m_items)) {
        const int h = qMax(1, qCeil(item.target.rect.height() * scale));
        total += h;
        rows += item.done ? h : qMin(item.rowsDone, h);
    }
    QPointer<ViewCapture> self(this);
    emit progressed(int(rows * 100 / qMax<qint64>(1, total)));
    if (!self)
        return;
    const bool more = m_running && std::any_of(m_items.cbegin(), m_items.cend(), [](const Item &i) { return !i.done; });
    // The engine draws the next position while this one's pixels are copied.
    if (more) {
        nextPosition();
        if (!self)
            return;
    }
    applyCopies();
    emitReady();
    if (m_running && !more)
        QTimer::singleShot(0, this, [this, run = m_run] {
            if (isCurrent(run))
                nextPosition();
        });
}

void ViewCapture::applyCopies()
{
    for (const Copy &copy : std::as_const(m_copies)) {
        Item &item = m_items[copy.item];
        if (!item.image.isNull())
            QPainter(&item.image).drawImage(copy.to, m_shot, copy.source);
    }
    m_copies.clear();
    m_shot = QImage();
}

void ViewCapture::emitReady()
{
    QPointer<ViewCapture> self(this);
    while (self && m_nextToEmit < m_items.size() && m_items[m_nextToEmit].done) {
        const int index = m_nextToEmit++;
        QImage picture = m_items[index].image;
        m_items[index].image = QImage();
        if (!picture.isNull() && m_items[index].rowsDone < picture.height())
            picture = QImage();
        emit taken(index, picture);
    }
}

void ViewCapture::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_stall.stop();
    applyCopies();
    // What was not taken whole is not taken.
    for (Item &item : m_items) {
        if (!item.done)
            item.image = QImage();
        item.done = true;
    }
    if (m_browser) {
        m_browser->restoreViewSize();
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

#pragma once
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QVector>

class BrowserControl;
class QTimer;

// Takes pictures out of a page as it is drawn: for each rectangle of the document (CSS
// pixels) the exact pixels shown there, at the displayed size, for any origin and
// without loading anything again. The view is made as tall as the document allows (in
// chunks), scrolled to each part in turn, and grabbed once a marker of a new colour shows
// that the new frame is painted; a rectangle taller than a chunk is put together from several grabs.
// The view's size and scroll position are restored at the end. The view must be shown
// (the page window sees to that for hidden tabs).
class ViewCapture : public QObject
{
    Q_OBJECT
public:
    ViewCapture(BrowserControl *browser, QObject *parent);
    ~ViewCapture() override;

    // Starts taking the rectangles; taken() follows for each, in the given order.
    void start(const QVector<QRectF> &rects);
    bool running() const { return m_running; }
    // Stops taking: the rest comes as null pictures, and the view is restored.
    void cancel() { finish(); }

    // Tallest view used for one grab; taller views come out black on some GPUs.
    static constexpr int kMaxChunk = 8192;

signals:
    // The picture of rects[index]; a null image when it could not be taken.
    void taken(int index, const QImage &picture);
    void finished();

private:
    struct Item {
        QRectF rect;   // document, CSS pixels
        qreal covered; // document rows done so far
        QImage image;
        bool done = false;
    };
    void waitForViewport(int tries);
    void nextPosition();
    void onScrolled(const QVariant &answer);
    void pollMarker(int tries);
    void grabAndCut();
    // Cuts what the shot shows of the pictures, down to a document row; false when no
    // picture gained a row.
    bool cut(const QImage &shot, qreal bottom);
    void emitReady();
    void finish();
    QColor pixelAt(const QPoint &p) const;

    QPointer<BrowserControl> m_browser;
    QVector<Item> m_items;
    int m_nextToEmit = 0;
    bool m_running = false;
    QRect m_savedGeometry;
    QPointF m_savedScroll;
    int m_chunk = 0;
    // The position of the current grab (document CSS pixels) and the viewport size.
    QPointF m_scroll;
    QSizeF m_viewport;
    QPoint m_marker;
    qreal m_zoom = 1;
    int m_turn = 0;
};

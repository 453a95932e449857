#pragma once
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QVector>

class PageControl;

// Takes pictures out of a page as it is drawn: for each target the exact pixels shown in
// its box, at the displayed size, for any origin and without loading anything again.
// A target is an element of the list the last picture scan left in the document (its box
// is measured again at every position, after any change of size the capture makes, so a
// picture that moves is taken where it is) or a fixed rectangle of the document.
// The view is made as tall as the document allows (in chunks), scrolled to each part in
// turn, and grabbed once a marker of a new colour shows that the new frame is painted; a
// target taller than a chunk is put together from several grabs. Only whole device pixels
// inside a box are taken, so no row of a neighbour creeps in. The view's size and scroll
// position are restored at the end. The view must be shown (the page window sees to that
// for hidden tabs). Works on pages with and without a doctype.
class ViewCapture : public QObject
{
    Q_OBJECT
public:
    struct Target {
        int element = -1; // index into the last scan's list; -1 for a fixed rectangle
        QRectF rect;      // document, CSS pixels (for an element: where the scan saw it)
    };

    ViewCapture(PageControl *browser, QObject *parent);
    ~ViewCapture() override;

    // Starts taking the targets; taken() follows for each, in the given order.
    void start(const QVector<Target> &targets);
    bool running() const { return m_running; }
    // Stops taking: the rest comes as null pictures, and the view is restored.
    void cancel() { finish(); }

    // View pixels to a CSS pixel: the page's zoom, unless the engine lays pages out in
    // device pixels (a scaled screen), as the page's innerWidth against the view shows.
    static qreal viewPixelsPerCssPixel(const PageControl &browser, qreal innerWidth);

    // Tallest view used for one grab; taller views come out black on some GPUs.
    static constexpr int kMaxChunk = 8192;
    // Most device pixels in one grab. The window's thread is held while the engine hands
    // over each frame of a view this big, and while the grab copies it: about 5 million
    // pixels (4,000 rows of a 1,200-pixel view) halve those holds against 8,192 rows, and
    // a run takes no longer.
    static constexpr qint64 kChunkPixels = 5000000;
    // The height the view is made for a capture (view pixels): as tall as the document,
    // within the limits above, and never below the view's own.
    static int chunkHeight(const QSize &view, qreal devicePixelRatio, int documentHeight, int maxChunk = kMaxChunk);
    // A lower bound for one capture: fewer pixels in flight at once (each grab is copied
    // twice on its way), for more positions.
    void setMaxChunk(int height) { m_maxChunk = qBound(1, height, kMaxChunk); }
    // A run whose page gives no answer for this long (a page stuck in a script) ends
    // as not taken, so the page's later pictures and screenshots are not refused for good.
    static constexpr int kStallMs = 20000;
    void setStallMs(int ms) { m_stall.setInterval(ms); }

signals:
    // The picture of targets[index]; a null image when it could not be taken whole.
    void taken(int index, const QImage &picture);
    // Percent of all the targets' rows taken so far.
    void progressed(int percent);
    void finished();

private:
    struct Item {
        Target target;
        QImage image;
        int rowsDone = 0; // device rows taken so far
        bool done = false;
    };
    void waitForViewport(int tries);
    void nextPosition();
    void onScrolled(const QVariant &answer);
    void pollMarker(int tries);
    void grabAndCut();
    // Cuts what the shot (device pixels, scale of them to a CSS pixel) shows of the
    // pictures down to its row limitRows; false when no picture gained a row.
    bool cut(const QImage &shot, int limitRows, qreal scale);
    // Paints what the last cut took out of its shot into the pictures.
    void applyCopies();
    void emitReady();
    void finish();

    QPointer<PageControl> m_browser;
    QVector<Item> m_items;
    QVector<int> m_asked; // items whose boxes the last position measured
    // The rows a cut took, painted once the next position is asked for.
    struct Copy {
        int item;
        QRect source; // in m_shot
        QPoint to;    // in the item's picture
    };
    QVector<Copy> m_copies;
    QImage m_shot;
    int m_nextToEmit = 0;
    bool m_running = false;
    QPointF m_savedScroll;
    int m_chunk = 0;
    int m_maxChunk = kMaxChunk;
    QTimer m_stall;
    // Which run an answer belongs to: one that comes after its run ended is dropped.
    quint64 m_run = 0;
    bool isCurrent(quint64 run) const { return run == m_run && m_running; }
    // The position of the current grab (document CSS pixels) and the viewport size.
    QPointF m_scroll;
    QSizeF m_viewport;
    QPoint m_marker;
    qreal m_zoom = 1;
    qreal m_dpr = 1; // device pixels to a view pixel, from the first grab on
    int m_turn = 0;
};

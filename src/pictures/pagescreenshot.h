#pragma once
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <functional>

class PageControl;
class ViewCapture;

// The whole document of a browser as one picture, taken from the page as drawn: the
// scroll bars are put away for the moment, the document's scroll width and height plus
// 4 pixels each are captured in chunks and joined, and the page is left as it was
// (size, scroll position, scroll bars). A document taller than a JPEG can hold (65,500
// pixels a side with the JPEG library here) is taken in several pictures, one under the
// other without a gap or a row twice, or only as far as the first one goes, as the caller
// decides; a document wider than that is taken as wide as it can be, and said to be partial.
class PageScreenshot : public QObject
{
    Q_OBJECT
public:
    explicit PageScreenshot(PageControl *browser, QObject *parent = nullptr);

    static constexpr int kMaxSide = 65500;

    // What to do with a document taller than one picture: documentHeight in pixels, parts
    // the pictures the whole of it takes. Without an answer: the first picture alone.
    enum class TooTall { Cancel, FirstPart, AllParts };
    void setTooTall(std::function<TooTall(int documentHeight, int parts)> decide) { m_decide = std::move(decide); }

    void start();
    bool running() const { return m_running; }
    // A page that gives no answer for this long (stuck in a script) ends the screenshot
    // as failed (ViewCapture::kStallMs unless set).
    void setStallMs(int ms);

signals:
    // Percent of the document taken so far.
    void progressed(int percent);
    // One picture of the document, top to bottom (index of count), as soon as it is taken;
    // the caller may let it go once written: the next one is taken meanwhile.
    void partTaken(int index, int count, const QImage &picture);
    // The end: taken is false when nothing (or not every part asked for) could be taken or
    // the caller cancelled; whole is false when only part of the document was taken,
    // documentHeight its full height in pixels.
    void finished(bool taken, bool whole, int documentHeight);

private:
    void onMeasured(const QVariant &answer);
    void done(bool taken);

    QPointer<PageControl> m_browser;
    ViewCapture *m_capture = nullptr;
    bool m_running = false;
    bool m_whole = true;
    int m_parts = 0;
    std::function<TooTall(int, int)> m_decide;
    int m_documentHeight = 0;
    QPointF m_scroll;
    QTimer *m_measuring = nullptr;
    quint64 m_run = 0;
};

#pragma once
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>

class PageControl;
class ViewCapture;

// The whole document of a browser as one picture, taken from the page as drawn: the
// scroll bars are put away for the moment, the document's scroll width and height plus
// 4 pixels each are captured in chunks and joined, and the page is left as it was
// (size, scroll position, scroll bars). A document taller or wider than a JPEG can hold
// (65,500 pixels a side with the JPEG library here) is taken as far as it can be, and
// said to be partial.
class PageScreenshot : public QObject
{
    Q_OBJECT
public:
    explicit PageScreenshot(PageControl *browser, QObject *parent = nullptr);

    static constexpr int kMaxSide = 65500;

    void start();
    bool running() const { return m_running; }
    // A page that gives no answer for this long (stuck in a script) ends the screenshot
    // as failed (ViewCapture::kStallMs unless set).
    void setStallMs(int ms);

signals:
    // Percent of the document taken so far.
    void progressed(int percent);
    // The picture (null when nothing could be taken); whole is false when the document
    // was larger than a picture can be, documentHeight its full height in pixels.
    void finished(const QImage &picture, bool whole, int documentHeight);

private:
    void onMeasured(const QVariant &answer);
    void done(const QImage &picture);

    QPointer<PageControl> m_browser;
    ViewCapture *m_capture = nullptr;
    bool m_running = false;
    bool m_whole = true;
    int m_documentHeight = 0;
    QPointF m_scroll;
    QTimer *m_measuring = nullptr;
    quint64 m_run = 0;
};

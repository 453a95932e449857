#pragma once
#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

// A page window's way out, in one place. Asked to close while its pictures are being
// saved, it waits out of sight and silent and goes when the run ends (the slow tick tries
// again meanwhile); the program's end does not wait. A window that never got a document
// and was refused (a pop-up), or that was never placed in the strip, goes by itself.
class PageClosing : public QObject
{
    Q_OBJECT
public:
    // What it needs of its page window.
    struct Page {
        QWidget *window;
        std::function<bool()> savingPictures;
        // Out of sight and silent while a close waits.
        std::function<void()> waitOutOfSight;
        // The engine reports an address for the page.
        std::function<bool()> hasDocument;
        // Still without one: the address box shows none while the page is in front.
        std::function<void()> noDocumentYet;
        std::function<bool()> refused;
        // Its tab closes, as a double click on its label would.
        std::function<void()> closeTab;
        std::function<bool()> placed;
    };
    explicit PageClosing(Page page);

    enum class Step { Go, Wait, Gone };
    // The window is asked to close: Go (it is closed from now on: the caller ends it),
    // Wait (out of sight until the run ends), or Gone (it went already).
    Step asked();
    // The program ends: the page goes now, whatever runs.
    void closeForExit();
    bool closed() const { return m_closed; }
    // Asked to close, it waits for its run to end.
    bool pending() const { return m_pending && !m_closed; }

    // A transfer of the page ended: whether a document arrived is watched (Timer2).
    void watchForDocument() { m_documentWatch->start(); }
    // A document arrived once since the page opened.
    bool documentArrived() const { return m_documentArrived; }

    // The slow tick: a waiting close is tried again, a window never placed goes. True
    // while a close still waits (the tick must go on).
    bool tick();

private:
    void checkDocument();

    Page m_page;
    QTimer *m_documentWatch;
    bool m_pending = false;
    bool m_closed = false;
    bool m_exiting = false;
    bool m_documentArrived = false;
};

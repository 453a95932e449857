#pragma once
#include <QObject>

class QSocketNotifier;

// A logout, a shutdown or Ctrl+C (SIGTERM, SIGHUP, SIGINT) as an ordinary event on the
// user-interface thread: the browser then shuts down as its File menu's exit does,
// recording its pages. The signal handler only writes to a pipe; everything else runs
// in the event loop. A second signal while shutting down ends the program at once.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // Takes the three signals over.
    void install();

    // The signal that asked for the shutdown (0: none).
    int caught() const { return m_caught; }
    // After the shutdown: ends the process the way the signal would have (nothing for 0).
    static void endAs(int signal);

signals:
    void shutdownRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    int m_caught = 0;
};

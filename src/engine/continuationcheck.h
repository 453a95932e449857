#pragma once
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;

// Whether a transfer taken up again went on with the same file: the engine splices what
// the server sends as a part onto what it had, also when the server sends a part of a
// file that changed meanwhile. The last bytes it had are asked of the server again and
// compared. A server that cannot say (no part where asked, an error, a login) is not
// judged.
class ContinuationCheck : public QObject
{
    Q_OBJECT
public:
    enum class Verdict { Same, Changed, Unknown };
    static constexpr qint64 kCompared = 4096;
    static constexpr int kTimeoutMs = 15000;

    // Compares the bytes of file just before from with the server's; answer() runs once,
    // while context lives.
    static void run(const QUrl &url, const QString &file, qint64 from, QObject *context,
                    std::function<void(Verdict)> answer);

private:
    explicit ContinuationCheck(QObject *context);
    QNetworkAccessManager *m_network;
};

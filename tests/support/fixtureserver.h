#pragma once
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// Local HTTP server for tests, on 127.0.0.1 with an ephemeral port. Serves the files of
// tests/fixtures and a few generated routes, and counts requests by path.
//
//   /title?t=TEXT        page whose <title> is TEXT (HTML-escaped in the source)
//   /long-title?n=N      page whose title is N characters long
//   /page?id=X           small page titled "Page X"
//   /notitle             page without a title
//   /never               accepts the request and never answers
//   anything?delay=MS    answers after MS milliseconds
class FixtureServer : public QObject
{
    Q_OBJECT
public:
    explicit FixtureServer(QObject *parent = nullptr);
    bool start();
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString &pathAndQuery) const;
    QString address(const QString &pathAndQuery) const { return url(pathAndQuery).toString(); }
    int requestCount(const QString &path) const { return m_counts.value(path); }
    void resetCounts() { m_counts.clear(); }

signals:
    void requestSeen(const QString &path);

private:
    void onConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QUrl &url);

    QTcpServer m_server;
    QHash<QString, int> m_counts;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

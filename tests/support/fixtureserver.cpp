#include "fixtureserver.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {

QByteArray page(const QString &title, const QString &body = QStringLiteral("<p>fixture</p>"))
{
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">");
    if (!title.isNull())
        html += QStringLiteral("<title>") + title.toHtmlEscaped() + QStringLiteral("</title>");
    html += QStringLiteral("</head><body>") + body + QStringLiteral("</body></html>");
    return html.toUtf8();
}

QByteArray contentType(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("css")) return "text/css";
    if (suffix == QLatin1String("js")) return "application/javascript";
    if (suffix == QLatin1String("mp4")) return "video/mp4";
    if (suffix == QLatin1String("mp3")) return "audio/mpeg";
    return "text/html; charset=utf-8";
}

} // namespace

FixtureServer::FixtureServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &FixtureServer::onConnection);
}

bool FixtureServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl FixtureServer::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(pathAndQuery));
}

void FixtureServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FixtureServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buf = m_buffers[socket];
    buf += socket->readAll();
    const int end = buf.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> requestLine = buf.left(buf.indexOf("\r\n")).split(' ');
    buf.clear();
    if (requestLine.size() < 2) {
        socket->disconnectFromHost();
        return;
    }
    const QUrl url = QUrl(QStringLiteral("http://127.0.0.1") + QString::fromLatin1(requestLine[1]));
    m_counts[url.path()] += 1;
    emit requestSeen(url.path());
    const int delay = QUrlQuery(url).queryItemValue(QStringLiteral("delay")).toInt();
    if (url.path() == QLatin1String("/never"))
        return;
    if (delay > 0) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(delay, this, [this, guard, url] {
            if (guard)
                respond(guard, url);
        });
        return;
    }
    respond(socket, url);
}

void FixtureServer::respond(QTcpSocket *socket, const QUrl &url)
{
    const QUrlQuery query(url);
    const QString path = url.path();
    QByteArray body;
    QByteArray type = "text/html; charset=utf-8";
    QByteArray status = "200 OK";
    if (path == QLatin1String("/title")) {
        body = page(query.queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded));
    } else if (path == QLatin1String("/long-title")) {
        const int n = query.queryItemValue(QStringLiteral("n")).toInt();
        QString title;
        for (int i = 0; i < n; ++i)
            title += QChar(u'A' + i % 26);
        body = page(title);
    } else if (path == QLatin1String("/page")) {
        body = page(QStringLiteral("Page ") + query.queryItemValue(QStringLiteral("id")));
    } else if (path == QLatin1String("/notitle")) {
        body = page(QString());
    } else {
        QFile file(QStringLiteral(VELMO_FIXTURES_DIR) + path);
        if (!path.contains(QLatin1String("..")) && file.open(QIODevice::ReadOnly)) {
            body = file.readAll();
            type = contentType(path);
        } else {
            status = "404 Not Found";
            body = page(QStringLiteral("Not found"));
        }
    }
    QByteArray head = "HTTP/1.1 " + status + "\r\nContent-Type: " + type
                      + "\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    socket->write(head + body);
    socket->disconnectFromHost();
}

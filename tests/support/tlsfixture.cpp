#include "tlsfixture.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>

TlsFixture::TlsFixture(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->peek(1 << 16).contains("\r\n\r\n"))
                    return;
                const QList<QByteArray> line = socket->readAll().split(' ');
                m_requests << QString::fromLatin1(line.value(1));
                const QByteArray body = "<!DOCTYPE html><html><head><title>Secure page</title></head><body>secure</body></html>";
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
                              + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    });
}

bool TlsFixture::start(const QString &certificate)
{
    const QString dir = QStringLiteral(VELMO_FIXTURES_DIR "/tls/");
    QFile certFile(dir + certificate + QStringLiteral(".pem"));
    QFile keyFile(dir + QStringLiteral("key.pem"));
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return false;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(QSslCertificate(&certFile, QSsl::Pem));
    config.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem));
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(config);
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl TlsFixture::url(const QString &path) const
{
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

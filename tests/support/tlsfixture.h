#pragma once
#include <QObject>
#include <QStringList>
#include <QSslServer>
#include <QUrl>

// A local HTTPS server on 127.0.0.1 with one of the certificates of fixtures/tls (all
// self-signed: "self-signed" for 127.0.0.1, "expired" for 127.0.0.1 in 2020, "other-name"
// for other.example). Every request gets a page titled "Secure page".
class TlsFixture : public QObject
{
    Q_OBJECT
public:
    explicit TlsFixture(QObject *parent = nullptr);
    bool start(const QString &certificate);
    QUrl url(const QString &path = QStringLiteral("/")) const;
    // The paths of the HTTP requests that came through the TLS handshake.
    QStringList requests() const { return m_requests; }

private:
    QSslServer m_server;
    QStringList m_requests;
};

#include "platform/instancelink.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

// A handover: "velmo-open", one address per line, then an empty line. The answer "ok";
// the sender then says "ack", which tells it was still waiting and will not open the
// addresses itself: only then are they opened here (each address opens once).
const QByteArray kHello = "velmo-open\n";
const QByteArray kAnswer = "ok\n";
const QByteArray kAck = "ack\n";
// A connection that has not said all it has to say by then is dropped.
constexpr int kConnectionMs = 2000;

} // namespace

InstanceLink::InstanceLink(QObject *parent)
    : QObject(parent)
{
}

InstanceLink::~InstanceLink() = default;

bool InstanceLink::forward(const QString &socketPath, const QStringList &addresses, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message = kHello;
    for (const QString &address : addresses.mid(0, kMaxAddresses)) {
        QString line = address;
        line.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        message += line.toUtf8() + '\n';
    }
    message += '\n';
    if (message.size() > kMaxBytes)
        return false;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    if (answer != kAnswer)
        return false;
    socket.write(kAck);
    return socket.waitForBytesWritten(timeoutMs);
}

bool InstanceLink::listen(const QString &socketPath)
{
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath)) {
        // A socket is there: in use by a live instance, or left by one that died.
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        if (probe.waitForConnected(200)) {
            delete m_server;
            m_server = nullptr;
            return false;
        }
        QLocalServer::removeServer(socketPath);
        if (!m_server->listen(socketPath)) {
            delete m_server;
            m_server = nullptr;
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, &InstanceLink::onConnection);
    return true;
}

void InstanceLink::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // Idle connections cannot pile up: few at a time, and each only briefly.
        if (m_open >= kMaxConnections) {
            socket->abort();
            continue;
        }
        ++m_open;
        connect(socket, &QObject::destroyed, this, [this] { --m_open; });
        QTimer::singleShot(kConnectionMs, socket, [socket] { socket->abort(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void InstanceLink::onReadyRead(QLocalSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    if (buffer.size() > kMaxBytes || (buffer.size() >= kHello.size() && !buffer.startsWith(kHello))) {
        socket->abort();
        return;
    }
    socket->setProperty("buffer", buffer);
    const qsizetype end = buffer.indexOf("\n\n");
    if (end < 0)
        return;
    const QByteArray after = buffer.mid(end + 2);
    if (after.isEmpty() && !socket->property("answered").toBool()) {
        socket->setProperty("answered", true);
        socket->write(kAnswer);
        socket->flush();
        return;
    }
    if (after != kAck)
        return; // not yet (or never: the sender gave up and opens them itself)
    QStringList addresses;
    const QList<QByteArray> lines = buffer.mid(kHello.size(), end - kHello.size()).split('\n');
    for (const QByteArray &line : lines) {
        if (!line.isEmpty() && addresses.size() < kMaxAddresses)
            addresses.append(QString::fromUtf8(line));
    }
    socket->disconnectFromServer();
    emit addressesReceived(addresses);
}

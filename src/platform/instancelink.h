#pragma once
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per user for links: the running browser listens on a socket in the user's
// own runtime folder; a browser started with addresses hands them over and ends. A socket
// left by an instance that died is taken over; one that hangs is waited for only briefly.
class InstanceLink : public QObject
{
    Q_OBJECT
public:
    explicit InstanceLink(QObject *parent = nullptr);
    ~InstanceLink() override;

    // Hands the addresses to the running browser. True once it has taken them; false
    // when none runs or it did not answer within timeoutMs.
    static bool forward(const QString &socketPath, const QStringList &addresses, int timeoutMs);
    // Listens for addresses; false when another live instance already does.
    bool listen(const QString &socketPath);

    // Bounds on what one handover may carry.
    static constexpr int kMaxAddresses = 100;
    static constexpr int kMaxBytes = 1 << 20;
    // Connections open at once; more are closed at once.
    static constexpr int kMaxConnections = 32;

signals:
    void addressesReceived(const QStringList &addresses);

private:
    void onConnection();
    void onReadyRead(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
    int m_open = 0;
};

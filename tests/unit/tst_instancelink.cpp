#include "platform/instancelink.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <future>

// The link between instances: a handover opens its addresses once, and only while the
// sender still waits for the answer; idle connections do not pile up.
class TstInstanceLink : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("link")); }

private slots:
    void aHandoverOpensItsAddressesOnce()
    {
        InstanceLink link;
        QVERIFY(link.listen(path()));
        QSignalSpy received(&link, &InstanceLink::addressesReceived);
        // The sender blocks as a starting instance does; the receiver runs its loop.
        auto sent = std::async(std::launch::async, [this] {
            return InstanceLink::forward(path(), {QStringLiteral("http://a.example/"), QStringLiteral("b c")}, 5000);
        });
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.first().first().toStringList(), (QStringList{QStringLiteral("http://a.example/"), QStringLiteral("b c")}));
        QVERIFY(sent.get());
    }

    void aSenderThatGaveUpOpensNothingHere()
    {
        // As from an instance that waited for a frozen one and opened the address itself.
        InstanceLink link;
        QVERIFY(link.listen(path()));
        QSignalSpy received(&link, &InstanceLink::addressesReceived);
        QLocalSocket gaveUp;
        QSignalSpy answered(&gaveUp, &QLocalSocket::readyRead);
        gaveUp.connectToServer(path());
        QVERIFY(gaveUp.waitForConnected(2000));
        gaveUp.write("velmo-open\nhttp://late.example/\n\n");
        QVERIFY(gaveUp.waitForBytesWritten(2000));
        QVERIFY(answered.wait(5000)); // the answer came
        gaveUp.abort();
        // The connection is gone without the sender's "ack": nothing opens.
        QTRY_VERIFY_WITH_TIMEOUT(link.findChildren<QLocalSocket *>().isEmpty(), 5000);
        QCOMPARE(received.count(), 0);
    }

    void idleConnectionsAreFewAndBrief()
    {
        InstanceLink link;
        QVERIFY(link.listen(path()));
        QList<QLocalSocket *> idle;
        for (int i = 0; i < 100; ++i) {
            auto *s = new QLocalSocket(this);
            s->connectToServer(path());
            idle.append(s);
        }
        QTRY_VERIFY(link.findChildren<QLocalSocket *>().size() <= InstanceLink::kMaxConnections);
        QTRY_VERIFY(!link.findChildren<QLocalSocket *>().isEmpty());
        // None of them ever says anything: all are closed after a short while.
        QTRY_VERIFY_WITH_TIMEOUT(link.findChildren<QLocalSocket *>().isEmpty(), 10000);
        qDeleteAll(idle);
    }
};

QTEST_GUILESS_MAIN(TstInstanceLink)
#include "tst_instancelink.moc"

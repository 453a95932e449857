#include "tabs/closedpages.h"
#include "platform/settingsstore.h"

#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// The closed-page ring in a real INI file.
class TstClosedPages : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;

    QString freshIni() { return m_dir.filePath(QStringLiteral("VM2008-%1.ini").arg(++m_n)); }
    static QString addr(int i) { return QStringLiteral("http://127.0.0.1:8080/page?id=%1").arg(i); }

private slots:
    void recordsTitleTwoBlanksAndAddress()
    {
        SettingsStore store(freshIni());
        ClosedPages ring(store);
        ring.load();
        QCOMPARE(ring.cursor(), 0);
        QVERIFY(ring.record(QStringLiteral("新闻 & <b>"), addr(1)));
        QCOMPARE(ring.cursor(), 1);
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Count")), QStringLiteral("1"));
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Page_1")),
                 QStringLiteral("新闻 & <b>  ") + addr(1));
        // Survives a restart of the store.
        SettingsStore again(store.path());
        ClosedPages reread(again);
        reread.load();
        QCOMPARE(reread.cursor(), 1);
        QCOMPARE(reread.newest().value(0).title, QStringLiteral("新闻 & <b>"));
    }

    void onlyMediumLengthAddressesAreRecorded()
    {
        QVERIFY(!ClosedPages::recordable(QStringLiteral("about:blank")));
        QVERIFY(!ClosedPages::recordable(QString(12, u'x')));
        QVERIFY(ClosedPages::recordable(QString(13, u'x')));
        QVERIFY(ClosedPages::recordable(QString(99, u'x')));
        QVERIFY(!ClosedPages::recordable(QString(100, u'x')));
        SettingsStore store(freshIni());
        ClosedPages ring(store);
        ring.load();
        QVERIFY(!ring.record(QStringLiteral("t"), QStringLiteral("http://") + QString(93, u'a')));
        QCOMPARE(ring.cursor(), 0);
        QVERIFY(store.read(QStringLiteral("CancelPage"), QStringLiteral("Count")).isEmpty());
    }

    void ringWrapsFrom499ToZero()
    {
        SettingsStore store(freshIni());
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("499"));
        ClosedPages ring(store);
        ring.load();
        QVERIFY(ring.record(QStringLiteral("wrap"), addr(7)));
        QCOMPARE(ring.cursor(), 0);
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Count")), QStringLiteral("0"));
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Page_0")), QStringLiteral("wrap  ") + addr(7));
    }

    void restoresNewestFirstThenOverwritesFromTheCursor()
    {
        SettingsStore store(freshIni());
        ClosedPages ring(store);
        ring.load();
        for (int i = 1; i <= 6; ++i)
            ring.record(QStringLiteral("T%1").arg(i), addr(i));
        QCOMPARE(ring.cursor(), 6);
        QCOMPARE(ring.restore(), addr(6));
        QCOMPARE(ring.restore(), addr(5));
        QCOMPARE(ring.restore(), addr(4));
        QCOMPARE(ring.cursor(), 3);
        // Restores move only the memory cursor; the stored count stays.
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Count")), QStringLiteral("6"));
        ring.record(QStringLiteral("new"), addr(99));
        QCOMPARE(ring.cursor(), 4);
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Page_4")), QStringLiteral("new  ") + addr(99));
        QCOMPARE(store.read(QStringLiteral("CancelPage"), QStringLiteral("Page_5")), QStringLiteral("T5  ") + addr(5));
    }

    void restoreBelowZeroReadsRecord499()
    {
        SettingsStore store(freshIni());
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_0"), QStringLiteral("zero  ") + addr(0));
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_499"), QStringLiteral("last  ") + addr(499));
        ClosedPages ring(store);
        ring.load();
        QCOMPARE(ring.restore(), addr(0));
        QCOMPARE(ring.cursor(), -1);
        QCOMPARE(ring.restore(), addr(499));
        QCOMPARE(ring.cursor(), 498);
        // An empty record stops the walk without moving the cursor.
        QCOMPARE(ring.restore(), QString());
        QCOMPARE(ring.cursor(), 498);
        // A record made after restoring record 0 is written as record 0 again.
        SettingsStore s2(freshIni());
        s2.write(QStringLiteral("CancelPage"), QStringLiteral("Page_0"), QStringLiteral("zero  ") + addr(0));
        ClosedPages r2(s2);
        r2.load();
        r2.restore();
        r2.record(QStringLiteral("again"), addr(1));
        QCOMPARE(r2.cursor(), 0);
    }

    void theAddressIsWhatFollowsTheLastTwoBlanks()
    {
        // A title naming another address cannot choose where the page reopens.
        SettingsStore store(freshIni());
        ClosedPages ring(store);
        ring.load();
        QVERIFY(ring.record(QStringLiteral("Bank http://evil.example/#"), QStringLiteral("http://bank.example/login")));
        QCOMPARE(ring.newest().value(0).title, QStringLiteral("Bank http://evil.example/#"));
        QCOMPARE(ring.restore(), QStringLiteral("http://bank.example/login"));

        // A local page, its path with blanks and Chinese, is stored encoded and reopens.
        const QString local = QUrl::fromLocalFile(QStringLiteral("/tmp/本地 页面.html")).toString();
        QVERIFY(ring.record(QStringLiteral("本地  页面"), local));
        const QString stored = store.read(QStringLiteral("CancelPage"), QStringLiteral("Page_1"));
        QVERIFY(stored.endsWith(QStringLiteral("  file:///tmp/%E6%9C%AC%E5%9C%B0%20%E9%A1%B5%E9%9D%A2.html")));
        QCOMPARE(ClosedPages::parse(stored).title, QStringLiteral("本地  页面"));
        QCOMPARE(QUrl(ring.restore()), QUrl(local));
        QCOMPARE(ClosedPages::listChoice(ClosedPages::recordText(QStringLiteral("t"), local)), ClosedPages::parse(stored).address);

        // Records of earlier versions keep working.
        QCOMPARE(ClosedPages::parse(QStringLiteral("标题  https://x.example/a")).address, QStringLiteral("https://x.example/a"));
        QCOMPARE(ClosedPages::listChoice(QStringLiteral("本地  页面  file:///tmp/a b.html")), QStringLiteral("file:///tmp/a b.html"));
        QCOMPARE(ClosedPages::listChoice(QStringLiteral("标题  http://a.example/x  y")), QStringLiteral("http://a.example/x  y"));
        const ClosedPages::Entry odd = ClosedPages::parse(QStringLiteral("ftp-only record"));
        QCOMPARE(odd.title, QStringLiteral("ftp-only record"));
        QCOMPARE(odd.address, QStringLiteral("ftp-only record"));
    }

    void startupListStopsAtFirstGapAndDoesNotWrap()
    {
        SettingsStore store(freshIni());
        for (int i = 0; i <= 30; ++i)
            store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_%1").arg(i), QStringLiteral("T%1  ").arg(i) + addr(i));
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_499"), QStringLiteral("old  ") + addr(499));
        store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("30"));
        ClosedPages ring(store);
        ring.load();
        QVector<ClosedPages::Entry> list = ring.newest();
        QCOMPARE(list.size(), 20);
        QCOMPARE(list.first().title, QStringLiteral("T30"));
        QCOMPARE(list.last().title, QStringLiteral("T11"));

        store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), QStringLiteral("3"));
        ring.load();
        list = ring.newest();
        QCOMPARE(list.size(), 4); // 3, 2, 1, 0 - never 499
        QCOMPARE(list.last().address, addr(0));

        store.write(QStringLiteral("CancelPage"), QStringLiteral("Page_2"), QString());
        list = ring.newest();
        QCOMPARE(list.size(), 1);
    }

    void menuCursor()
    {
        QCOMPARE(ClosedPages::nextMenuItem(-1), 0);
        QCOMPARE(ClosedPages::nextMenuItem(5), 6);
        QCOMPARE(ClosedPages::nextMenuItem(19), 20);
        QCOMPARE(ClosedPages::nextMenuItem(20), 0);
        QCOMPARE(ClosedPages::menuCursorAfterFill(0), 0);
        QCOMPARE(ClosedPages::menuCursorAfterFill(7), 7);
        QCOMPARE(ClosedPages::menuCursorAfterFill(20), 19);
    }

    void badCountReadsAsZero()
    {
        for (const QString &bad : {QStringLiteral("abc"), QStringLiteral("600"), QStringLiteral("-5"), QString()}) {
            SettingsStore store(freshIni());
            store.write(QStringLiteral("CancelPage"), QStringLiteral("Count"), bad);
            ClosedPages ring(store);
            ring.load();
            QCOMPARE(ring.cursor(), 0);
        }
    }
};

QTEST_APPLESS_MAIN(TstClosedPages)
#include "tst_closedpages.moc"

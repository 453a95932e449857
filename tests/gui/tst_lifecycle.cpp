#include "platform/paths.h"
#include "tools/defaultbrowser.h"
#include "support/fixtureserver.h"
#include "support/testenv.h"

#include <QDirIterator>
#include <QScopeGuard>
#include <QLocalServer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

// The browser and its settings file as separate processes see them: two instances
// writing at once, a writer killed mid-write, and the signals of a logout.
class TstLifecycle : public QObject
{
    Q_OBJECT
    FixtureServer m_server;
    QTemporaryDir m_dir;
    int m_n = 0;

    QString freshIni() { return m_dir.filePath(QStringLiteral("s%1/VM2008.ini").arg(++m_n)); }
    static QProcess *writer(const QString &ini, int count, const QString &prefix, QObject *parent)
    {
        auto *p = new QProcess(parent);
        p->start(QStringLiteral(VELMO_STOREWRITER), {ini, QString::number(count), prefix});
        return p;
    }

    // The browser's environment with a home of its own.
    static QProcessEnvironment isolated(const QString &home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "VELMO_HOME"})
            env.remove(QString::fromLatin1(var));
        return env;
    }

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }

    void twoInstancesKeepEveryRecord()
    {
        const QString ini = freshIni();
        QObject owner;
        QProcess *a = writer(ini, 60, QStringLiteral("a"), &owner);
        QProcess *b = writer(ini, 60, QStringLiteral("b"), &owner);
        QVERIFY(a->waitForFinished(60000) && b->waitForFinished(60000));
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("CancelPage/Count")).toInt(), 120);
        QSet<QString> seen;
        for (int n = 1; n <= 120; ++n)
            seen.insert(s.value(QStringLiteral("CancelPage/Page_%1").arg(n)).toString());
        QCOMPARE(seen.size(), 120);
        for (const QString &who : {QStringLiteral("a"), QStringLiteral("b")})
            for (int i = 0; i < 60; ++i)
                QVERIFY(seen.contains(QStringLiteral("%1%2  http://w.example/%1/%2").arg(who).arg(i)));
    }

    void killedMidWriteTheFileIsOldOrNew()
    {
        const QString ini = freshIni();
        QDir().mkpath(QFileInfo(ini).absolutePath());
        QFile seed(ini);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write("[setup]\nHomepage=http://home.example/start\n");
        seed.close();
        const QRegularExpression record(QStringLiteral("^k\\d+  http://w\\.example/k/\\d+$"));
        for (int cycle = 0; cycle < 50; ++cycle) {
            QProcess w;
            w.start(QStringLiteral(VELMO_STOREWRITER), {ini, QStringLiteral("-1"), QStringLiteral("k")});
            // Kill after a random number of records, in the middle of the next write.
            const int after = QRandomGenerator::global()->bounded(1, 20);
            int lines = 0;
            // A writer killed between making QSettings' own lock file and writing its
            // process id into it leaves a lock that Qt sees as stale only after 30 s.
            while (lines < after && w.waitForReadyRead(45000))
                lines += w.readAll().count('\n');
            QVERIFY(lines >= after);
            ::kill(w.processId(), SIGKILL);
            QVERIFY(w.waitForFinished(10000));

            QSettings s(ini, QSettings::IniFormat);
            QCOMPARE(s.status(), QSettings::NoError);
            QCOMPARE(s.value(QStringLiteral("setup/Homepage")).toString(), QStringLiteral("http://home.example/start"));
            const int count = s.value(QStringLiteral("CancelPage/Count")).toInt();
            QVERIFY(count >= 0 && count < 500); // the ring's number wraps from 499 to 0
            QVERIFY(record.match(s.value(QStringLiteral("CancelPage/Page_%1").arg(count)).toString()).hasMatch());
            s.beginGroup(QStringLiteral("CancelPage"));
            for (const QString &key : s.childKeys())
                if (key != QLatin1String("Count"))
                    QVERIFY2(record.match(s.value(key).toString()).hasMatch(), qPrintable(key));
        }
    }

    // Registered as the default browser, asked through the desktop's own tools: both name
    // our entry, and xdg-open of an address hands it to the running window.
    void theDesktopsToolsOpenLinksInTheRegisteredBrowser()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-utils is not installed");
        QTemporaryDir home;
        QProcessEnvironment env = isolated(home.path());
        env.remove(QStringLiteral("BROWSER"));
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        env.remove(QStringLiteral("DESKTOP_SESSION"));
        QString entry;
        {
            // Registered as the menu item does, in the home the browser runs in.
            const QByteArray config = qgetenv("XDG_CONFIG_HOME"), data = qgetenv("XDG_DATA_HOME");
            qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
            qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toUtf8());
            QCOMPARE(DefaultBrowser::registerAsDefault(QStringLiteral(VELMO_BINARY)), QString());
            entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QLatin1String(DefaultBrowser::kInstalledEntry)).isEmpty()
                        ? QLatin1String(DefaultBrowser::kUserEntry)
                        : QLatin1String(DefaultBrowser::kInstalledEntry);
            qputenv("XDG_CONFIG_HOME", config);
            qputenv("XDG_DATA_HOME", data);
        }
        const auto ask = [&env](const QString &program, const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(program, args);
            p.waitForFinished(20000);
            return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        };
        for (const char *type : {"x-scheme-handler/http", "x-scheme-handler/https", "text/html"})
            QCOMPARE(ask(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), QLatin1String(type)}), entry);
        QCOMPARE(ask(QStringLiteral("xdg-settings"), {QStringLiteral("get"), QStringLiteral("default-web-browser")}), entry);
        QCOMPARE(ask(QStringLiteral("xdg-settings"), {QStringLiteral("check"), QStringLiteral("default-web-browser"), entry}),
                 QStringLiteral("yes"));

        m_server.resetCounts();
        QProcess running;
        running.setProcessEnvironment(env);
        running.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/page?id=running"))});
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/page")), 1, 30000);
        // The desktop opens a link: a display is said to be there, as in a session.
        QProcessEnvironment session = env;
        session.insert(QStringLiteral("DISPLAY"), QString::fromUtf8(qgetenv("DISPLAY").isEmpty() ? ":0" : qgetenv("DISPLAY")));
        QProcess open;
        open.setProcessEnvironment(session);
        open.start(QStringLiteral("xdg-open"), {m_server.address(QStringLiteral("/page?id=linked"))});
        QVERIFY(open.waitForFinished(20000));
        QCOMPARE(open.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/page")), 2, 30000);
        QCOMPARE(running.state(), QProcess::Running);
        ::kill(running.processId(), SIGTERM);
        QVERIFY(running.waitForFinished(30000));
    }

    void aSecondStartHandsItsAddressesOver()
    {
        QTemporaryDir home;
        QProcessEnvironment env = isolated(home.path());
        m_server.resetCounts();
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/pictures?n=1&w=10&h=10"))});
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/picture")) >= 1, 30000);

        // The second process ends at once; the running window opens one tab per address.
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/pictures?n=1&w=11&h=11")),
                                                     m_server.address(QStringLiteral("/pictures?n=1&w=12&h=12"))});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        // Both documents arrived (their pictures were asked for), once each.
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/picture")) >= 3, 30000);
        QCOMPARE(m_server.requestCount(QStringLiteral("/pictures")), 3);
        // One tab each: a second tab for an address would have asked for it again.
        QCOMPARE(first.state(), QProcess::Running);
        ::kill(first.processId(), SIGTERM);
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(m_server.requestCount(QStringLiteral("/pictures")), 3);

        // A first instance killed outright leaves its socket; the next start is not held up
        // by it and opens its page in a window of its own.
        QProcess killed;
        killed.setProcessEnvironment(env);
        killed.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/page?id=killed"))});
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/page")), 1, 30000);
        ::kill(killed.processId(), SIGKILL);
        QVERIFY(killed.waitForFinished(10000));
        QProcess next;
        next.setProcessEnvironment(env);
        next.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/page?id=next"))});
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/page")), 2, 30000);
        QCOMPARE(next.state(), QProcess::Running);
        ::kill(next.processId(), SIGTERM);
        QVERIFY(next.waitForFinished(30000));
    }

    // One run saw the first address of the command line open as an empty tab on a loaded
    // machine. Started again and again with a fast page while another program keeps a
    // core busy, the page arrives every time: its picture is asked for, and the list kept
    // against a crash names it in its tab.
    void theFirstAddressArrivesOnABusyMachine()
    {
        QTemporaryDir home;
        const QProcessEnvironment env = isolated(home.path());
        QProcess busy;
        busy.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        QVERIFY(busy.waitForStarted(10000));
        const auto idle = qScopeGuard([&busy] {
            busy.kill();
            busy.waitForFinished(10000);
        });
        const auto listed = [&home](const QByteArray &needle) {
            QDirIterator lists(home.path(), {QStringLiteral("open-pages*.json")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (lists.hasNext()) {
                QFile f(lists.next());
                if (f.open(QIODevice::ReadOnly) && f.readAll().contains(needle))
                    return true;
            }
            return false;
        };
        for (int start = 0; start < 12; ++start) {
            m_server.resetCounts();
            const QString page = QStringLiteral("/pictures?n=1&w=10&h=10&start=%1").arg(start);
            QProcess browser;
            browser.setProcessEnvironment(env);
            browser.start(QStringLiteral(VELMO_BINARY), {m_server.address(page)});
            QVERIFY(browser.waitForStarted(10000));
            QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/picture")) >= 1, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(listed(QStringLiteral("start=%1").arg(start).toUtf8()), 30000);
            ::kill(browser.processId(), SIGTERM);
            QVERIFY(browser.waitForFinished(30000));
        }
    }

    void aRunningInstanceThatHangsDoesNotHoldUpTheNext()
    {
        // This process plays the hung instance: it takes the link socket and never answers.
        // The browser runs in this test's own isolated home, so both name the same socket.
        QLocalServer hung;
        QVERIFY(hung.listen(Paths::instanceSocket()));
        m_server.resetCounts();
        QProcess next;
        next.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/page?id=after-hung"))});
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/page")), 1, 30000);
        QVERIFY(hung.hasPendingConnections() || hung.nextPendingConnection());
        QCOMPARE(next.state(), QProcess::Running);
        ::kill(next.processId(), SIGTERM);
        QVERIFY(next.waitForFinished(30000));
    }

    void aStartLoadsNoPictureFormats()
    {
        // The engine decodes the pages' pictures itself. Qt's picture-format libraries
        // (about 1 MB) are loaded all at once by the first picture Qt reads, and nothing on
        // the way to a first page needs one.
        QTemporaryDir home;
        QProcess browser;
        browser.setProcessEnvironment(isolated(home.path()));
        m_server.resetCounts();
        browser.start(QStringLiteral(VELMO_BINARY), {m_server.address(QStringLiteral("/pictures?n=1&w=10&h=10"))});
        QVERIFY(browser.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/picture")) >= 1, 30000);
        QFile maps(QStringLiteral("/proc/%1/maps").arg(browser.processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Widgets"));
        QVERIFY2(!mapped.contains("/imageformats/"), mapped.constData() + qMax(0, mapped.indexOf("/imageformats/") - 60));
        ::kill(browser.processId(), SIGTERM);
        QVERIFY(browser.waitForFinished(30000));
    }

    void signalsShutDownLikeExit_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalsShutDownLikeExit()
    {
        QFETCH(int, signal);
        QTemporaryDir home;
        QProcess browser;
        browser.setProcessEnvironment(isolated(home.path()));
        // A page with a picture: its request shows the document has arrived.
        const QString page = m_server.address(QStringLiteral("/pictures?n=1&w=10&h=10"));
        m_server.resetCounts();
        browser.start(QStringLiteral(VELMO_BINARY), {page});
        QVERIFY(browser.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/picture")) >= 1, 30000);
        ::kill(browser.processId(), signal);
        QVERIFY(browser.waitForFinished(30000));
        QCOMPARE(browser.exitStatus(), QProcess::CrashExit); // it ends as the signal would have it end
        QCOMPARE(browser.exitCode(), signal);

        QSettings s(home.filePath(QStringLiteral(".config/velmo/VM2008.ini")), QSettings::IniFormat);
        QVERIFY(s.value(QStringLiteral("CancelPage/Page_1")).toString().endsWith(QStringLiteral("  ") + page));
        // The page's own row, not just a file: an append of no visit writes a line too.
        const QDir history(home.filePath(QStringLiteral(".local/share/velmo/History")));
        const QStringList days = history.entryList({QStringLiteral("*.dat")}, QDir::Files);
        QCOMPARE(days.size(), 1);
        QFile day(history.filePath(days.first()));
        QVERIFY(day.open(QIODevice::ReadOnly));
        QVERIFY(day.readAll().contains(page.toHtmlEscaped().toLatin1()));
    }
};

VELMO_TEST_MAIN(TstLifecycle)
#include "tst_lifecycle.moc"

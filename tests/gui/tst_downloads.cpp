#include "engine/enginedownloads.h"
#include "files/downloadlist.h"
#include "files/formdownloads.h"
#include "page/formweb.h"
#include "support/testenv.h"
#include "support/testworld.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

// Files the engine is asked to download, with the real engine and the fixture server:
// where they go, what they hold, and what is left when they are cancelled or fail.
class TstDownloads : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    Frmmain *m_w = nullptr;
    FormWeb *m_page = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    DownloadList *list() const { return m_w->findChild<DownloadList *>(); }
    FormDownloads *window() const { return m_w->findChild<FormDownloads *>(); }
    QString target(const QString &name) const { return m_dir->filePath(name); }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    // Clicks a link of the fixture page; the save dialog answers path.
    void click(const char *id, const QString &path)
    {
        m_world.dialogs.saveAnswer = path;
        m_page->Web()->runPageScript(QStringLiteral("document.getElementById('%1').click()").arg(QLatin1String(id)));
    }
    Download *row(int i) const { return list()->rows().value(i).download; }
    bool ended(int i) const { return row(i) && row(i)->state() != Download::State::Running; }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void init()
    {
        m_world.reset();
        m_world.dialogs.asked.clear();
        m_dir = std::make_unique<QTemporaryDir>();
        m_w = m_world.newWindow();
        m_page = m_world.open(QStringLiteral("/downloads.html"), QStringLiteral("Downloads"));
    }

    void everyKindOfDownloadGetsItsBytes()
    {
        const QString proposedFolder = list()->proposedFolder();
        click("attachment", target(QStringLiteral("report.bin")));
        QVERIFY(waitFor([&] { return ended(0); }, 15000));
        QCOMPARE(row(0)->state(), Download::State::Done);
        QCOMPARE(read(target(QStringLiteral("report.bin"))), FixtureServer::downloadBytes(300000));
        // Proposed under the reply's own name, in the desktop's download folder or ours.
        QVERIFY(m_world.dialogs.asked.first().startsWith(QStringLiteral("save:保存文件|") + proposedFolder));
        QVERIFY(m_world.dialogs.asked.first().contains(QStringLiteral("/report.bin|")));
        // The folder used last is proposed next time.
        QCOMPARE(list()->proposedFolder(), m_dir->path());

        click("attribute", target(QStringLiteral("small.png")));
        QVERIFY(waitFor([&] { return ended(1); }, 15000));
        QCOMPARE(QImage(target(QStringLiteral("small.png"))).size(), QSize(40, 30));
        QVERIFY(m_world.dialogs.asked.last().contains(m_dir->filePath(QStringLiteral("small.png|"))));

        // The downloads window shows both, done, with the folder button.
        QVERIFY(window() && window()->isVisible());
        QCOMPARE(window()->table()->topLevelItemCount(), 2);
        QCOMPARE(window()->progressText(0), QStringLiteral("293 KB / 293 KB"));
        QCOMPARE(window()->button(0)->text(), QStringLiteral("打开文件夹"));
        window()->button(0)->click();
        QCOMPARE(m_world.shell.opened.last(), m_dir->path());
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载完成：small.png"));
    }

    void aServersNameNeverLeadsOutOfTheFolder()
    {
        QCOMPARE(Download::plainName(QStringLiteral("../../x")), QStringLiteral("x"));
        QCOMPARE(Download::plainName(QStringLiteral("/etc/evil.txt")), QStringLiteral("evil.txt"));
        QCOMPARE(Download::plainName(QStringLiteral("..\\..\\w.txt")), QStringLiteral("w.txt"));
        QCOMPARE(Download::plainName(QStringLiteral("..")), QString());
        QCOMPARE(Download::plainName(QStringLiteral(".bashrc")), QStringLiteral("bashrc"));
        QCOMPARE(Download::plainName(QStringLiteral("a\tb\u202Ecod.exe")), QStringLiteral("abcod.exe"));
        const QString longName = Download::plainName(QString(300, QChar(u'名')) + QStringLiteral(".zip"));
        QVERIFY(longName.toUtf8().size() <= 200 && longName.endsWith(QStringLiteral(".zip")));

        // As a real reply says it: the dialog proposes a plain name.
        m_world.dialogs.saveAnswer.clear();
        click("hostile", QString());
        QVERIFY(waitFor([&] { return !m_world.dialogs.asked.isEmpty(); }, 15000));
        QVERIFY2(m_world.dialogs.asked.first().endsWith(QStringLiteral("/evil.bin|全部文件 (*)")), qPrintable(m_world.dialogs.asked.first()));
        // Cancelled in the dialog: no row, no file.
        QVERIFY(list()->rows().isEmpty());
    }

    void cancelledOrBrokenLeavesNothing()
    {
        const QString slow = target(QStringLiteral("slow.bin"));
        click("trickle", slow);
        QVERIFY(waitFor([&] { return row(0) && row(0)->received() > 0; }, 15000));
        QVERIFY(QFileInfo::exists(slow + QStringLiteral(".download")));
        QVERIFY(!QFileInfo::exists(slow));
        // The program exits meanwhile: asked once; no keeps it open.
        m_world.dialogs.questionAnswer = false;
        QVERIFY(!m_w->close());
        QCOMPARE(m_world.dialogs.asked.last(), QStringLiteral("question:Velmo安全浏览器|") + DownloadList::exitQuestion(1));
        QVERIFY(m_w->isVisible());
        window()->button(0)->click();
        QVERIFY(waitFor([&] { return ended(0) && !QFileInfo::exists(slow + QStringLiteral(".download")); }, 10000));
        QCOMPARE(row(0)->state(), Download::State::Cancelled);
        QVERIFY(!QFileInfo::exists(slow));

        // The server drops the line halfway: a message, and nothing under the final name.
        const QString broken = target(QStringLiteral("broken.bin"));
        click("dies", broken);
        QVERIFY(waitFor([&] { return ended(1); }, 30000));
        QCOMPARE(row(1)->state(), Download::State::Failed);
        QVERIFY(waitFor([&] { return !QFileInfo::exists(broken + QStringLiteral(".download")); }, 10000));
        QVERIFY(!QFileInfo::exists(broken));
        QCOMPARE(m_page->statusBar()->statusText(), QStringLiteral("下载失败：broken.bin（网络连接中断）"));

        // Yes to the exit question ends what runs and closes.
        click("trickle", target(QStringLiteral("last.bin")));
        QVERIFY(waitFor([&] { return row(2) && row(2)->received() > 0; }, 15000));
        m_world.dialogs.questionAnswer = true;
        QVERIFY(m_w->close());
        QVERIFY(waitFor([&] { return ended(2) && !QFileInfo::exists(target(QStringLiteral("last.bin.download"))); }, 10000));
        QVERIFY(!QFileInfo::exists(target(QStringLiteral("last.bin"))));
    }
};

VELMO_TEST_MAIN(TstDownloads)
#include "tst_downloads.moc"

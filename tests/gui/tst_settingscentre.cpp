#include "app/frmmain.h"
#include "app/mainmenus.h"
#include "tabs/sites.h"
#include "engine/browsercontrol.h"
#include "engine/engineprofile.h"
#include "page/formweb.h"
#include "page/session.h"
#include "platform/paths.h"
#include "support/testenv.h"
#include "support/testworld.h"
#include "tabs/tabstrip.h"
#include "userdata/formsetup.h"
#include "userdata/options.h"
#include "userdata/settingsstartup.h"
#include "platform/settingsstore.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

// The settings centre against the INI file's bytes, the input hooks on real labels and
// the address box, and the wheel over the page window on a real page.
class TstSettingsCentre : public QObject
{
    Q_OBJECT

    TestWorld m_world;
    FixtureServer &m_server = m_world.server;
    std::unique_ptr<SettingsStore> &m_store = m_world.store;
    Options &m_options = m_world.options;
    RecordingDialogs &m_dialogs = m_world.dialogs;
    std::unique_ptr<Session> &m_session = m_world.session;

    static QByteArray iniBytes()
    {
        QFile f(Paths::settingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString setup(const char *key) const { return m_store->read(QStringLiteral("setup"), QString::fromLatin1(key)); }
    static QVariant evaluate(FormWeb *page, const QString &js) { return evaluateSync(page->Web(), js); }

private slots:
    void initTestCase() { QVERIFY(m_world.start()); }
    void cleanupTestCase() { m_world.stop(); }

    void loadShowsStoreAndLiveSwitches()
    {
        m_store->write(QStringLiteral("setup"), {{QStringLiteral("Homepage"), QStringLiteral("http://a.cn/xy")},
                                                 {QStringLiteral("JumpWindows"), QStringLiteral("1")},
                                                 {QStringLiteral("Topme"), QStringLiteral("abc")},
                                                 {QStringLiteral("Download"), QStringLiteral("1")},
                                                 {QStringLiteral("Pop"), QStringLiteral("0")}});
        m_options.setSafePictureMode(1); // from the menu: never stored, still shown
        FormSetup dlg(*m_store, m_options, m_dialogs);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("系统设置中心"));
        QCOMPARE(dlg.ComUrl()->currentText(), Sites::kDefaultHomePage); // 14 characters: default
        QVERIFY(dlg.Chk(0)->isChecked());
        QVERIFY(dlg.Chk(1)->isChecked());
        QVERIFY(!dlg.Chk(2)->isChecked());
        QVERIFY(dlg.Chk(3)->isChecked());
        QCOMPARE(dlg.Chk(3)->text(), QStringLiteral("自动下载网页中的图片到本地硬盘（不超过 2GB）。"));
        QCOMPARE(dlg.Command1()->text(), QStringLiteral("确定(&Y)"));
        // The boxes stand one below the other in index order.
        dlg.show();
        QCOMPARE(dlg.Chk(4)->text(), QStringLiteral("启动时打开上次关闭时的网页"));
        QVERIFY(!dlg.Chk(4)->isChecked()); // off unless asked for
        for (int i = 1; i < FormSetup::kBoxes; ++i)
            QVERIFY(dlg.Chk(i)->mapTo(&dlg, QPoint()).y() > dlg.Chk(i - 1)->mapTo(&dlg, QPoint()).y());
        m_store->write(QStringLiteral("setup"), QStringLiteral("Homepage"), QStringLiteral("http://a.cn/xyz"));
        FormSetup again(*m_store, m_options, m_dialogs);
        QCOMPARE(again.ComUrl()->currentText(), QStringLiteral("http://a.cn/xyz"));
    }

    void cancelChangesNothing()
    {
        m_options.setSafePictureMode(0);
        m_options.setAdBlock(0);
        const QByteArray before = iniBytes();
        FormSetup dlg(*m_store, m_options, m_dialogs);
        for (int i = 0; i < 4; ++i)
            dlg.Chk(i)->setChecked(!dlg.Chk(i)->isChecked());
        dlg.ComUrl()->setEditText(QStringLiteral("http://changed.example/"));
        dlg.Command2()->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(iniBytes(), before);
        QCOMPARE(m_options.safePictureMode(), 0);
        QCOMPARE(m_options.adBlock(), 0);
    }

    void okWritesAndActsAtOnce()
    {
        FormSetup dlg(*m_store, m_options, m_dialogs);
        dlg.ComUrl()->setEditText(QStringLiteral("x")); // stored as typed
        dlg.Chk(0)->setChecked(false);
        dlg.Chk(1)->setChecked(true);
        dlg.Chk(2)->setChecked(true);
        dlg.Chk(3)->setChecked(false);
        dlg.Chk(4)->setChecked(true);
        dlg.Command1()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(m_options.adBlock(), 1);
        QCOMPARE(m_options.openInBackground(), 1);
        QCOMPARE(m_options.autoDownloadPictures(), 0);
        QCOMPARE(m_options.reopenLastSession(), 1);
        QCOMPARE(m_options.homePageUrl(), QStringLiteral("x"));
        const QByteArray ini = iniBytes();
        for (const char *line : {"Homepage=x", "Pop=0", "JumpWindows=1", "Topme=1", "Download=0", "LastSession=1"})
            QVERIFY2(ini.contains(line), line);

        // Restart: blocking is off again, though the box still shows it; OK turns it on.
        SettingsStartup::readSwitches(*m_store, m_options);
        QCOMPARE(m_options.adBlock(), 0);
        QCOMPARE(m_options.openInBackground(), 1);
        QCOMPARE(SettingsStartup::homePage(*m_store), Sites::kDefaultHomePage);
        FormSetup after(*m_store, m_options, m_dialogs);
        QVERIFY(after.Chk(1)->isChecked());
        after.Command1()->click();
        QCOMPARE(m_options.adBlock(), 1);
        m_options.setOpenInBackground(0);
        m_store->write(QStringLiteral("setup"), QStringLiteral("Topme"), QStringLiteral("0"));
    }

    void unsavableSettingsAreReported()
    {
        const QString dir = TestEnv::home() + QStringLiteral("/blocked/VM2008.ini");
        QDir().mkpath(dir);
        SettingsStore blocked(dir);
        Options live;
        FormSetup dlg(blocked, live, m_dialogs);
        dlg.Chk(3)->setChecked(true);
        m_dialogs.asked.clear();
        dlg.Command1()->click();
        QCOMPARE(m_dialogs.asked.size(), 1);
        QVERIFY(m_dialogs.asked.first().startsWith(QStringLiteral("warning:系统设置中心|设置无法保存")));
        QCOMPARE(live.autoDownloadPictures(), 1); // kept for this run
    }

    void badSettingsFilesStillStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 8192; ++i)
            binary.append(char((i * 7919) % 256));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << QByteArray("[setup]\nTopme=1\nHomep");
        QTest::newRow("binary") << binary;
        QTest::newRow("10 MB value") << (QByteArray("[setup]\nTopme=1\nHomepage=http://") + QByteArray(10 << 20, 'a') + "\n");
        QTest::newRow("directory") << QByteArray("<dir>");
    }

    void badSettingsFilesStillStart()
    {
        QFETCH(QByteArray, content);
        static int n = 0;
        const QString path = TestEnv::home() + QStringLiteral("/bad%1/VM2008.ini").arg(++n);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (content == "<dir>") {
            QDir().mkpath(path);
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        SettingsStore store(path);
        Options options;
        Session session(store, options, *m_world.engine, m_world.shell, m_dialogs, m_world.clock, m_world.memory);
        {
            Frmmain w(session);
            w.start(m_server.address(QStringLiteral("/page?id=bad")));
            QTRY_COMPARE_WITH_TIMEOUT(w.tabStrip()->labelText(0), QStringLiteral("Page bad"), 15000);
            QVERIFY(!options.homePageUrl().isEmpty());
            FormSetup dlg(store, options, m_dialogs, &w);
            // The centre reads the same home page start-up settled on.
            QCOMPARE(dlg.findChild<QComboBox *>(QStringLiteral("ComUrl"))->currentText(), options.homePageUrl());
            dlg.Command2()->click();
        }
        flushDeletions();
    }

    void menuOpensTheCentreModally()
    {
        Frmmain w(*m_session);
        w.show();
        bool seen = false, modal = false;
        connect(&w, &Frmmain::dialogOpened, this, [&](QDialog *dlg) {
            seen = true;
            QTimer::singleShot(0, dlg, [dlg, &modal] {
                modal = dlg->isModal();
                dlg->reject();
            });
        });
        QAction *item = w.menus()->action(QStringLiteral("zhushouopt"));
        QCOMPARE(item->text(), QStringLiteral("系统设置中心(&S)"));
        item->trigger();
        QVERIFY(seen);
        QVERIFY(modal);
    }

    void hooksSwallowClipboardUndoMenusAndWheel()
    {
        Frmmain w(*m_session);
        w.show();
        w.activateWindow();
        QLineEdit *label0 = w.tabStrip()->label(0);
        w.tabStrip()->resetLabel(1);
        QLineEdit *label1 = w.tabStrip()->label(1); // labels made later are hooked too
        QLineEdit *address = w.addressRow().textUrl()->lineEdit();
        w.addressRow().textUrl()->addItem(QStringLiteral("first  http://a.example/"));
        w.addressRow().textUrl()->addItem(QStringLiteral("second  http://b.example/"));

        // The tab labels take none of these; the address field edits as text (tested with
        // the first hour of use) and only its context menu is kept away.
        for (QLineEdit *box : {label0, label1}) {
            box->setText(QStringLiteral("hooked text"));
            box->setFocus();
            QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
            box->selectAll();
            QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_Delete);
            box->setCursorPosition(box->text().size());
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
            QTest::mouseClick(box, Qt::MiddleButton);
            QCOMPARE(box->text(), QStringLiteral("hooked text"));
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
            QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(box, &menu);
            QVERIFY(!qobject_cast<QMenu *>(QApplication::activePopupWidget()));
            QCOMPARE(box->contextMenuPolicy(), Qt::PreventContextMenu);
        }
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), address->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(address, &menu);
        QVERIFY(!qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        // Undo of typed text does nothing in the address box.
        address->clear();
        QTest::keyClicks(address, QStringLiteral("abc"));
        QTest::keyClick(address, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(address->text(), QStringLiteral("abc"));
        // Typing still works.
        QTest::keyClick(address, Qt::Key_Backspace);
        QCOMPARE(address->text(), QStringLiteral("ab"));
        // The wheel does not move through the address list.
        w.addressRow().textUrl()->setCurrentIndex(0);
        QWheelEvent wheel(QPointF(5, 5), w.addressRow().textUrl()->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.addressRow().textUrl(), &wheel);
        QCOMPARE(w.addressRow().textUrl()->currentIndex(), 0);
    }

    void wheelOverThePageWindowScrollsTheCurrentBrowser()
    {
        Frmmain w(*m_session);
        w.resize(900, 700);
        w.show();
        FormWeb *page = w.pages().LoadNewForm(m_server.address(QStringLiteral("/tall.html")));
        QTRY_COMPARE_WITH_TIMEOUT(w.tabStrip()->labelText(page->myindex()), QStringLiteral("Tall page"), 15000);
        QCOMPARE(m_session->currentPage(), page);
        const QPoint overStatus = page->findChild<QLabel *>(QStringLiteral("Lab6"))->geometry().center();
        auto turn = [&](QWidget *target, QPoint pos, int delta) {
            QWheelEvent e(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &e);
        };
        turn(page, overStatus, -120);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(page, QStringLiteral("window.scrollY")).toInt(), 200, 5000);
        turn(page, overStatus, -240); // two notches
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(page, QStringLiteral("window.scrollY")).toInt(), 600, 5000);
        turn(page, overStatus, 120);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(page, QStringLiteral("window.scrollY")).toInt(), 400, 5000);

        // Over the web view the engine scrolls by itself; the page window adds nothing.
        QWidget *proxy = page->Web()->inputWidget();
        QVERIFY(proxy);
        turn(proxy, QPoint(100, 100), -120);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(page, QStringLiteral("window.scrollY")).toInt() != 400, 5000);
        const int engineStep = evaluate(page, QStringLiteral("window.scrollY")).toInt() - 400;
        QVERIFY2(engineStep > 0 && engineStep != 200, qPrintable(QString::number(engineStep)));

        // A page window that is not the current page leaves the wheel alone.
        FormWeb *other = w.pages().LoadNewForm(m_server.address(QStringLiteral("/tall.html")));
        QTRY_COMPARE_WITH_TIMEOUT(w.tabStrip()->labelText(other->myindex()), QStringLiteral("Tall page"), 15000);
        const int before = evaluate(page, QStringLiteral("window.scrollY")).toInt();
        turn(page, overStatus, -120);
        // Each read is a script round trip behind any scrolling the wheel asked for.
        QCOMPARE(evaluate(page, QStringLiteral("window.scrollY")).toInt(), before);
        QCOMPARE(evaluate(other, QStringLiteral("window.scrollY")).toInt(), 0);
    }
};

VELMO_TEST_MAIN(TstSettingsCentre)
#include "tst_settingscentre.moc"

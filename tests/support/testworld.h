#pragma once
#include "app/frmmain.h"
#include "app/addressrow.h"
#include "app/pagestack.h"
#include "app/toolbar.h"
#include "page/formweb.h"
#include "page/pagesleep.h"
#include "page/statusbar.h"
#include "engine/engineprofile.h"
#include "page/session.h"
#include "platform/paths.h"
#include "support/enginesync.h"
#include "support/fakeclock.h"
#include "support/fixtureserver.h"
#include "support/outsideblocker.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "tabs/tabstrip.h"
#include "userdata/options.h"
#include "platform/settingsstore.h"

#include <QThreadPool>
#include <QWebEngineProfile>
#include <memory>

// What a window test needs around the main window: the fixture server, the store, the
// switches, a real engine profile kept off the internet, and recording fakes for the
// desktop and the dialogs.
struct TestWorld {
    FixtureServer server;
    std::unique_ptr<SettingsStore> store;
    Options options;
    RecordingDialogs dialogs;
    RecordingShell shell;
    FakeClock clock;
    FakeMemory memory;
    OutsideBlocker blocker;
    std::unique_ptr<EngineProfile> engine;
    std::unique_ptr<Session> session;
    std::unique_ptr<Frmmain> window;

    bool start()
    {
        if (!server.start())
            return false;
        store = std::make_unique<SettingsStore>(Paths::settingsFile());
        engine = std::make_unique<EngineProfile>();
        engine->profile()->setUrlRequestInterceptor(&blocker);
        session = std::make_unique<Session>(*store, options, *engine, shell, dialogs, clock, memory);
        return true;
    }

    // Every test starts with the switches off and nothing recorded.
    void reset()
    {
        options.setSafePictureMode(0);
        options.setAdBlock(0);
        options.setOpenInBackground(0);
        server.resetCounts();
        blocker.clear();
        shell.opened.clear();
        shell.ended.clear();
        dialogs.asked.clear();
        shell.started.clear();
    }

    Frmmain *newWindow(int width = 1000, int height = 700, int tabCapacity = TabBook::kCapacity)
    {
        window.reset();
        flushDeletions();
        window = std::make_unique<Frmmain>(*session, nullptr, tabCapacity);
        window->resize(width, height);
        window->show();
        return window.get();
    }

    void stop()
    {
        window.reset();
        flushDeletions();
        session.reset();
        if (engine)
            engine->profile()->setUrlRequestInterceptor(nullptr);
        engine.reset();
    }

    // The browser ends and starts again on the same storage, as a restart does: the
    // window, the session and the engine profile are made anew (the store stays, as the
    // file does).
    Frmmain *restart()
    {
        window.reset();
        flushDeletions();
        session.reset();
        engine->profile()->setUrlRequestInterceptor(nullptr);
        engine.reset();
        store = std::make_unique<SettingsStore>(Paths::settingsFile());
        engine = std::make_unique<EngineProfile>();
        engine->profile()->setUrlRequestInterceptor(&blocker);
        session = std::make_unique<Session>(*store, options, *engine, shell, dialogs, clock, memory);
        return newWindow();
    }

    QString url(const QString &path) const { return server.address(path); }

    // A new window for a picture test: switches off, no automatic download, an empty
    // download folder.
    Frmmain *newPictureWindow()
    {
        reset();
        options.setAutoDownloadPictures(0);
        // Pictures an earlier test's run still had on their way are written first: they
        // would land in the emptied folder.
        QThreadPool::globalInstance()->waitForDone();
        QDir(Paths::appDir() + QStringLiteral("/Download")).removeRecursively();
        return newWindow();
    }

    // Opens a fixture page and waits until every picture of it is ready (each one
    // passes the script test ready, "i => i.complete" by default). The page's background
    // count is stopped: it would rewrite the pictures field while a test reads it.
    FormWeb *openPictures(const QString &path, const QString &title, int timeoutMs = 30000,
                          const QString &ready = QStringLiteral("i => i.complete"))
    {
        FormWeb *page = open(path, title);
        const bool loaded = waitFor([&] {
            return evaluateSync(page->Web(), QStringLiteral("Array.from(document.images).every(%1)").arg(ready)).toBool();
        }, timeoutMs);
        QTest::qVerify(loaded, "loaded", qPrintable(path), __FILE__, __LINE__);
        page->findChild<QTimer *>(QStringLiteral("Timer3"))->stop();
        return page;
    }

    // Asks a page to sleep, as a look under memory pressure does; whether it slept.
    bool putToSleep(FormWeb *page)
    {
        auto answer = std::make_shared<int>(-1);
        page->sleep().trySleep([answer](bool slept) { *answer = slept; });
        waitFor([&] { return *answer >= 0; }, 10000);
        return *answer == 1;
    }

    // The tab label of a page of the current window.
    QString label(FormWeb *page) const { return window->tabStrip()->labelText(page->myindex()); }

    // Opens a fixture page in a new tab and waits until its label shows the title (the
    // test fails when it does not).
    FormWeb *open(const QString &path, const QString &title, int timeoutMs = 15000)
    {
        FormWeb *page = window->pages().LoadNewForm(url(path));
        const bool shown = waitFor([&] { return page && label(page) == title; }, timeoutMs);
        QTest::qVerify(shown, "label(page) == title", qPrintable(QStringLiteral("%1 shows \"%2\"").arg(path, label(page))),
                       __FILE__, __LINE__);
        return page;
    }
};

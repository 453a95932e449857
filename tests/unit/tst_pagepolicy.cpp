#include "engine/cwebbrowser.h"
#include "engine/downloadcontrol.h"
#include "engine/loadpolicy.h"
#include "page/adfilter.h"

#include <QtTest>

// The address filter, the download-control flag word and what each flag lets a page
// request, as plain rules.
class TstPagePolicy : public QObject
{
    Q_OBJECT

    // An address of exactly n characters that starts with head.
    static QString padded(const QString &head, int n) { return head + QString(n - head.size(), QLatin1Char('a')); }

private slots:
    void filterJudgesOnlyLongAddressesWhileBlockingIsOn()
    {
        const QString at80 = padded(QStringLiteral("https://ads.example/"), 80);
        const QString at81 = padded(QStringLiteral("https://ads.example/"), 81);
        QCOMPARE(at80.size(), 80);
        QVERIFY(!AdFilter::refuses(at80, 1, 0));
        QVERIFY(AdFilter::refuses(at81, 1, 0));
        // Off, or suspended by safe picture mode.
        QVERIFY(!AdFilter::refuses(at81, 0, 0));
        QVERIFY(!AdFilter::refuses(at81, 1, 1));
        QVERIFY(!AdFilter::refuses(padded(QString(), 500), 0, 1));
    }

    void filterLetsThroughWwwAndSearchSites()
    {
        QVERIFY(!AdFilter::refuses(padded(QStringLiteral("http://www.x.cn/"), 200), 1, 0));
        // Only the plain scheme with the exact, case-sensitive prefix counts.
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("https://www.x.cn/"), 200), 1, 0));
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("http://WWW.x.cn/"), 200), 1, 0));
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("http://x.cn/"), 200), 1, 0));

        for (const char *site : {"baidu", "haosou", "sogou", "so"}) {
            const QString fragment = QStringLiteral(".%1.com/").arg(QLatin1String(site));
            QVERIFY2(!AdFilter::refuses(padded(QStringLiteral("https://image") + fragment, 120), 1, 0), site);
            QVERIFY2(!AdFilter::refuses(padded(QStringLiteral("http://ad.cn/r?u=http://m") + fragment, 120), 1, 0), site);
            // Case matters.
            QVERIFY2(AdFilter::refuses(padded(QStringLiteral("https://image") + fragment.toUpper(), 120), 1, 0), site);
        }
        // A fragment counts from position 9 (1-based): ".so.com/" at 8 does not, at 9 does.
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("http:/a.so.com/"), 100), 1, 0));  // at 7
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("http://.so.com/"), 100), 1, 0));  // at 8
        QVERIFY(!AdFilter::refuses(padded(QStringLiteral("http://a.so.com/"), 100), 1, 0)); // at 9
        // A host that only ends like one needs its slash.
        QVERIFY(AdFilter::refuses(padded(QStringLiteral("http://a.so.community/"), 100), 1, 0));
    }

    void flagWordTable()
    {
        using DownloadControl::flagWord;
        using S = DownloadControl::Switches;
        QCOMPARE(flagWord(S{}), 112);
        S noScript;
        noScript.script = false;
        QCOMPARE(flagWord(noScript), 240);
        QCOMPARE(flagWord(S{false, false, false, false, false, false, false}), 1920);
        S noPictures;
        noPictures.image = false;
        QCOMPARE(flagWord(noPictures), 96);
    }

    void siteSwitchesBeforeAttaching()
    {
        cWebBrowser site;
        QCOMPARE(site.DownloadCtrlEX(), 112);
        QVERIFY(!site.attached());
        // Stored without a browser to tell; the reload fails quietly or is reported.
        site.setDL_Script(false);
        QCOMPARE(site.DownloadCtrlEX(), 240);
        site.setDL_Image(false);
        QCOMPARE(site.DownloadCtrlEX(), 224);
        QVERIFY(!site.setDl_DlActiveX(false));
        QCOMPARE(site.DownloadCtrlEX(), 1248);
        QVERIFY(!site.Dl_EnableAll(false));
        QCOMPARE(site.DownloadCtrlEX(), 1920);
        QVERIFY(!site.Dl_EnableAll(true));
        QCOMPARE(site.DownloadCtrlEX(), 112);
        QVERIFY(!site.Dl_BatchSet(true, false, true, true, true, true, true));
        QCOMPARE(site.DownloadCtrlEX(), 240);
        QVERIFY(!site.DL_Script());
        QCOMPARE(site.computedFlags(), 240);
        site.pvReleaseWBControl();
        QVERIFY(!site.Webbrowser());
    }

    void whatEachFlagLetsThrough()
    {
        using RT = QWebEngineUrlRequestInfo;
        const QUrl video(QStringLiteral("http://h/clip.mp4"));
        const QUrl sound(QStringLiteral("http://h/bg.MP3?x=1"));
        const QUrl picture(QStringLiteral("http://h/p.png"));
        QVERIFY(LoadPolicy::isSoundAddress(sound));
        QVERIFY(!LoadPolicy::isSoundAddress(video));
        QVERIFY(!LoadPolicy::isSoundAddress(QUrl(QStringLiteral("http://h/stream"))));

        // No word (no host site): everything.
        QVERIFY(LoadPolicy::allows(-1, RT::ResourceTypeMedia, video));
        QVERIFY(LoadPolicy::allows(112, RT::ResourceTypeMedia, video));
        QVERIFY(LoadPolicy::allows(112, RT::ResourceTypeMedia, sound));
        QVERIFY(LoadPolicy::allows(112, RT::ResourceTypeObject, video));
        QVERIFY(!LoadPolicy::allows(112 & ~0x20, RT::ResourceTypeMedia, video));
        QVERIFY(LoadPolicy::allows(112 & ~0x20, RT::ResourceTypeMedia, sound));
        QVERIFY(!LoadPolicy::allows(112 & ~0x40, RT::ResourceTypeMedia, sound));
        QVERIFY(LoadPolicy::allows(112 & ~0x40, RT::ResourceTypeMedia, video));
        QVERIFY(!LoadPolicy::allows(112 & ~0x10, RT::ResourceTypeImage, picture));
        QVERIFY(LoadPolicy::allows(112 & ~0x10, RT::ResourceTypeMainFrame, picture));
        for (int bit : {0x100, 0x200, 0x400}) {
            QVERIFY(!LoadPolicy::allows(112 | bit, RT::ResourceTypeObject, video));
            QVERIFY(!LoadPolicy::allows(112 | bit, RT::ResourceTypePluginResource, video));
        }
        // Scripts are the engine's own switch, not a request matter.
        QVERIFY(LoadPolicy::allows(240, RT::ResourceTypeScript, picture));
    }
};

QTEST_GUILESS_MAIN(TstPagePolicy)
#include "tst_pagepolicy.moc"

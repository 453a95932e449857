#include "app/commandline.h"
#include "engine/enginerendering.h"
#include "support/shorttexts.h"
#include "support/testenv.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

// What a start's arguments and environment become: tabs, help, version or a refusal,
// and how pages are drawn.
class TstCommandLine : public QObject
{
    Q_OBJECT

    static CommandLine parse(const QStringList &args, bool chinese = false)
    {
        return CommandLine::parse(QStringList{QStringLiteral("velmo")} + args, chinese);
    }

private slots:
    void addressesBecomeTabsInOrder()
    {
        const CommandLine line = parse({QStringLiteral("https://a.example/x"), QStringLiteral("b.example"),
                                        QStringLiteral("about:blank")});
        QCOMPARE(line.action, CommandLine::Run);
        QCOMPARE(line.addresses, (QStringList{QStringLiteral("https://a.example/x"), QStringLiteral("b.example"),
                                              QStringLiteral("about:blank")}));
        QVERIFY(parse({}).addresses.isEmpty());
    }

    void oneTextIsOpenedAsItStands()
    {
        // Quotes go; a word that is no address still reaches the engine.
        QCOMPARE(parse({QStringLiteral("\"http://q.example/a b\"")}).addresses, QStringList{QStringLiteral("http://q.example/a b")});
        QCOMPARE(parse({QStringLiteral("hello")}).addresses, QStringList{QStringLiteral("hello")});
        // A path with blanks the shell split is one file again.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("my page.html"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(parse(path.split(QLatin1Char(' '))).addresses, QStringList{path});
        QCOMPARE(parse({QStringLiteral("two"), QStringLiteral("words")}).addresses, QStringList{QStringLiteral("two words")});
    }

    void addressShapesAreReadAsTheirExpressionsRead()
    {
        // Written out by hand; every short text that names no file must be judged as these
        // expressions judge it.
        const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:\\S"));
        const QRegularExpression host(QStringLiteral("^[^\\s/:]+\\.[^\\s/.]+(:\\d+)?(/\\S*)?$"));
        const QString alphabet = QStringLiteral("aZ08.:/+- 中\u3000");
        int checked = 0;
        for (const QString &t : shortTexts(alphabet, 5)) {
            if (QFileInfo::exists(t))
                continue;
            const bool expected = scheme.match(t).hasMatch() || host.match(t).hasMatch();
            if (CommandLine::looksLikeAddress(t) != expected)
                QFAIL(qPrintable(QStringLiteral("\"%1\" should be %2").arg(t).arg(expected)));
            ++checked;
        }
        QVERIFY(checked > 150000);
    }

    void helpVersionAndBadOptions()
    {
        QCOMPARE(parse({QStringLiteral("--version")}).action, CommandLine::ShowVersion);
        const CommandLine help = parse({QStringLiteral("--help")}, true);
        QCOMPARE(help.action, CommandLine::ShowHelp);
        QVERIFY(help.message.contains(QStringLiteral("显示版本信息")));
        QVERIFY(parse({QStringLiteral("-h")}).message.contains(QStringLiteral("Show the version")));
        QCOMPARE(parse({QStringLiteral("--bogus"), QStringLiteral("a.example")}).action, CommandLine::Refused);
    }
    void drawingFollowsTheEnginesGpuUse()
    {
        using namespace EngineRendering;
        const auto drawing = [](const char *flags, const char *softGl = "", bool quickChosen = false) {
            return choose(Environment{flags, softGl, quickChosen, qstrlen(flags) > 0, true});
        };
        QCOMPARE(drawing(""), Drawing::Default);
        QCOMPARE(drawing("--disable-gpu"), Drawing::Software);
        QCOMPARE(drawing("--no-sandbox --disable-gpu --lang=zh"), Drawing::Software);
        // Only the engine's GPU use as a whole: a partial switch keeps OpenGL.
        QCOMPARE(drawing("--disable-gpu-compositing"), Drawing::Default);
        QCOMPARE(drawing("", "1"), Drawing::Software);
        QCOMPARE(drawing("", "0"), Drawing::Default);
        QCOMPARE(drawing("", "false"), Drawing::Default);
        // The user's own choice of Qt Quick back end wins.
        QCOMPARE(drawing("--disable-gpu", "1", true), Drawing::Default);

        // No GPU device: software all the way, unless the user set the engine's flags
        // (even empty) or Qt Quick's back end.
        QVERIFY(hasRenderNode({QStringLiteral("card0"), QStringLiteral("renderD128")}));
        QVERIFY(!hasRenderNode({QStringLiteral("card0")}));
        QVERIFY(!hasRenderNode({}));
        QCOMPARE(choose(Environment{"", "", false, false, false}), Drawing::NoGpu);
        QCOMPARE(choose(Environment{"", "", false, true, false}), Drawing::Default);
        QCOMPARE(choose(Environment{"--lang=zh", "", false, true, false}), Drawing::Default);
        QCOMPARE(choose(Environment{"", "", true, false, false}), Drawing::Default);
        QCOMPARE(choose(Environment{"", "", false, false, true}), Drawing::Default);

        // Windows keep off the system's OpenGL only where the views draw in software,
        // and never against the user's own choice.
        QCOMPARE(windowGl(Environment{}, Drawing::NoGpu), QByteArray("none"));
        QCOMPARE(windowGl(Environment{"--disable-gpu", "", false, true, true}, Drawing::Software), QByteArray("none"));
        QVERIFY(windowGl(Environment{}, Drawing::Default).isEmpty());
        QVERIFY(windowGl(Environment{"", "", false, false, false, true}, Drawing::NoGpu).isEmpty());
    }

    void engineFlagsKeepTheUsersOwn()
    {
        using namespace EngineRendering;
        const QByteArray shared = "--site-per-process --renderer-process-limit=2";
        QCOMPARE(engineFlags(Environment{"", "", false, false, false}, Drawing::NoGpu), "--disable-gpu " + shared);
        QCOMPARE(engineFlags(Environment{"", "", false, false, true}, Drawing::Default), shared);
        QCOMPARE(engineFlags(Environment{" --lang=zh  --disable-gpu", "", false, true, true}, Drawing::Software),
                 "--lang=zh --disable-gpu " + shared);
        // A process model of the user's own is left as it is.
        QCOMPARE(engineFlags(Environment{"--renderer-process-limit=8", "", false, true, true}, Drawing::Default),
                 QByteArray("--renderer-process-limit=8"));
        QCOMPARE(engineFlags(Environment{"--single-process", "", false, true, false}, Drawing::Default),
                 QByteArray("--single-process"));
    }
};

VELMO_TEST_MAIN(TstCommandLine)
#include "tst_commandline.moc"

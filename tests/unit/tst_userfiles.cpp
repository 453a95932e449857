#include "support/testenv.h"
#include "userdata/favorites.h"
#include "userdata/favoritesdialog.h"
#include "userdata/gbktext.h"
#include "userdata/history.h"
#include "userdata/traceclean.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include "support/files.h"

#include <QTemporaryDir>

// The history and favourites files byte for byte: formats, cuts, escaping, encoding,
// line ends, and what broken files leave readable.
class TstUserFiles : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;

    QString fresh() { return m_dir.filePath(QStringLiteral("d%1").arg(++m_n)); }
    static QByteArray bytes(const QString &path) { return fileBytes(path); }
    static void put(const QString &path, const QByteArray &data) { putFile(path, data); }
    const QDateTime m_when{QDate(2026, 7, 5), QTime(8, 9, 10)};

private slots:
    void historyRowFormAndCuts()
    {
        const QString when = QLocale::system().toString(m_when, QLocale::ShortFormat);
        const QString title = QString(60, QLatin1Char('t'));
        QCOMPARE(History::row({m_when, title, QStringLiteral("http://a.example/x?y=1")}),
                 QStringLiteral("<tr>  <td>") + when + QStringLiteral("</td>  <td>  <a href=\"http://a.example/x?y=1\" target=_blank>")
                     + QString(38, QLatin1Char('t')) + QStringLiteral("</a>  </td>  <td>  Velmo安全浏览器</td> </tr>"));
        // Hostile titles and addresses stay text; only followable addresses become links.
        const QString hostile = History::row({m_when, QStringLiteral("<script>alert(1)</script>"),
                                              QStringLiteral("http://a.example/\"><img src=x onerror=alert(1)>")});
        QVERIFY(hostile.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
        QVERIFY(hostile.contains(QStringLiteral("href=\"http://a.example/%22%3E%3Cimg%20src=x%20onerror=alert(1)%3E\"")));
        // Links are fully percent-encoded: requested as typed from a GBK page, and no
        // direction control stays in them; the title keeps its text.
        const QString chinese = History::row({m_when, QStringLiteral("中文"), QStringLiteral("http://h.example/title?t=中文标题")});
        QVERIFY(chinese.contains(QStringLiteral("href=\"http://h.example/title?t=%E4%B8%AD%E6%96%87%E6%A0%87%E9%A2%98\"")));
        QVERIFY(chinese.contains(QStringLiteral(">中文</a>")));
        QVERIFY(History::row({m_when, QStringLiteral("x"), QStringLiteral("http://h.example/a\u202Eb")}).contains(QStringLiteral("a%E2%80%AEb")));
        QVERIFY(!History::row({m_when, QStringLiteral("x"), QStringLiteral("javascript:alert(1)")}).contains(QStringLiteral("<a ")));
        QVERIFY(History::row({m_when, QStringLiteral("x"), QStringLiteral("file:///tmp/a.html")}).contains(QStringLiteral("<a ")));
    }

    void historyFilesAppendInGbkAndStayPrivate()
    {
        const History history(fresh());
        const QDate day(2026, 7, 5);
        QCOMPARE(history.dayFile(day, QStringLiteral(".dat")), history.folder() + QStringLiteral("/2026-7-5.dat"));
        QVERIFY(history.append({{m_when, QStringLiteral("中文 😀"), QStringLiteral("http://b.example/")},
                                {m_when, QStringLiteral("older"), QStringLiteral("http://a.example/")}},
                               day));
        QVERIFY(history.append({}, day)); // a window without visits: one empty line
        const QByteArray dat = bytes(history.dayFile(day, QStringLiteral(".dat")));
        const QList<QByteArray> lines = dat.split('\n');
        QCOMPARE(lines.size(), 5); // two rows, the window's blank line, the empty window's line, the end
        QVERIFY(lines[0].contains("\xd6\xd0\xce\xc4 &#128512;")); // GBK for 中文, a reference for the emoji
        QVERIFY(lines[1].contains("older"));
        QCOMPARE(lines[2], QByteArray("\r"));
        QCOMPARE(lines[3], QByteArray("\r"));
        QVERIFY(dat.endsWith("\r\n\r\n"));
        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                            | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(history.dayFile(day, QStringLiteral(".dat"))).permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(history.folder()).permissions() & others, QFile::Permissions());
    }

    void historyPageReadsTheFirstThousandLines()
    {
        const History history(fresh());
        const QDate day(2026, 7, 5);
        QByteArray dat;
        for (int i = 0; i < 1500; ++i)
            dat += (i % 3 == 0) ? QByteArray("\r\n") : "<tr><td>" + QByteArray::number(i) + "</td></tr>\r\n";
        put(history.dayFile(day, QStringLiteral(".dat")), dat);
        const QString page = history.buildPage(day);
        QCOMPARE(page, history.dayFile(day, QStringLiteral(".html")));
        const QByteArray html = bytes(page);
        QVERIFY(html.startsWith("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\""));
        QVERIFY(html.contains("charset=gb2312"));
        QVERIFY(html.contains("<td>998</td>"));
        QVERIFY(!html.contains("<td>999</td>") && !html.contains("<td>1000</td>")); // line 1000 (index 999) is blank
        QVERIFY(html.endsWith("\r\n</table></body></html>\r\n"));

        // No file yet: the head and the end only. A day file that is a folder: no crash.
        const History empty(fresh());
        QVERIFY(GbkText::decode(bytes(empty.buildPage(day))).contains(QStringLiteral("<td width=\"600\"><span class=\"STYLE1\">页面标题</span></td>")));
        QVERIFY(QDir().mkpath(empty.dayFile(day.addDays(1), QStringLiteral(".dat"))));
        QVERIFY(!empty.append({{m_when, QStringLiteral("t"), QStringLiteral("http://x.example/")}}, day.addDays(1)));
        QVERIFY(!empty.buildPage(day.addDays(1)).isEmpty());
    }

    void favouriteLinesAndTitles()
    {
        QCOMPARE(Favorites::storedTitle(QStringLiteral("a,b,c")), QStringLiteral("abc     "));
        QCOMPARE(Favorites::storedTitle(QString(40, QLatin1Char('x'))), QString(30, QLatin1Char('x')));
        QCOMPARE(Favorites::storedTitle(QString(27, QLatin1Char('x'))), QString(27, QLatin1Char('x')) + QStringLiteral("   "));
        const Favorites fav(fresh() + QStringLiteral("/Fav.rar"));
        QDir().mkpath(QFileInfo(fav.path()).absolutePath());
        QVERIFY(fav.add(Favorites::storedTitle(QStringLiteral("新闻,中心")), QStringLiteral("http://a.example/?x=1,2")));
        QCOMPARE(bytes(fav.path()), QByteArray("\xd0\xc2\xce\xc5\xd6\xd0\xd0\xc4     ,http://a.example/?x=1,2\r\n"));
        QCOMPARE(fav.entries().value(0).address, QStringLiteral("http://a.example/?x=1,2"));
        QCOMPARE(Favorites::addressOf(fav.lines().value(0)), QStringLiteral("http://a.example/?x=1,2"));
    }

    void brokenFavouriteFilesKeepWhatIsReadable()
    {
        const Favorites fav(fresh() + QStringLiteral("/Fav.rar"));
        // Mixed line ends, a line without a comma in the middle, invalid bytes, a huge line.
        put(fav.path(), "one,http://1.example/\rno comma here\n\ntwo,http://2.example/\r\n\xff\xfe\x80,http://3.example/\n"
                            + QByteArray(100000, 'x') + ",http://4.example/\r\n");
        const QVector<Favorites::Entry> e = fav.entries();
        QCOMPARE(e.size(), 4);
        QCOMPARE(e[1].address, QStringLiteral("http://2.example/"));
        QCOMPARE(e[2].address, QStringLiteral("http://3.example/"));
        QCOMPARE(e[3].title.size(), 4096); // shown in part; the file keeps it whole
        QCOMPARE(fav.lines().size(), 5);

        // A CR LF split across the reader's 64 KiB blocks is one line end, not two.
        QByteArray first = "a,http://a.example/";
        first += QByteArray(64 * 1024 - 1 - first.size(), 'a');
        put(fav.path(), first + "\r\nb,http://b.example/\r\n");
        QCOMPARE(fav.entries().size(), 2);
        QCOMPARE(fav.entries().value(1).title, QStringLiteral("b"));

        // More than a menu's worth: the menu takes the first 101.
        QByteArray many;
        for (int i = 0; i < 150; ++i)
            many += "t" + QByteArray::number(i) + ",http://m.example/" + QByteArray::number(i) + "\r\n";
        put(fav.path(), many);
        QCOMPARE(fav.entries().size(), 101);
        QCOMPARE(fav.entries().last().title, QStringLiteral("t100"));

        // Saving replaces the whole file.
        QVERIFY(fav.save({QStringLiteral("only,http://o.example/")}));
        QCOMPARE(bytes(fav.path()), QByteArray("only,http://o.example/\r\n"));
        QVERIFY(!Favorites(m_dir.path()).save({QStringLiteral("x,y")})); // a folder cannot be replaced
    }

    void untouchedFavouritesKeepTheirBytes()
    {
        const Favorites fav(fresh() + QStringLiteral("/Fav.rar"));
        const QByteArray odd = "\x81\x20odd,http://odd.example/";   // no code page reads it
        const QByteArray huge = QByteArray(1 << 20, 't') + ",http://huge.example/";
        put(fav.path(), odd + "\r\n" + huge + "\r\ngone,http://gone.example/\r\n");
        QStringList lines = fav.lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].size() <= 4096);
        lines.removeLast();
        QVERIFY(fav.save(lines));
        QCOMPARE(bytes(fav.path()), odd + "\r\n" + huge + "\r\n");
        QCOMPARE(QFileInfo(fav.path()).permissions() & 0x0077, QFile::Permissions());
    }

    void appendsOnAFullDiskAreWholeOrAbsent()
    {
        SmallDisk disk(64);
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const History history(disk.path() + QStringLiteral("/History"));
        const Favorites fav(disk.path() + QStringLiteral("/Fav.rar"));
        const QDate day(2026, 7, 5);
        QVERIFY(history.append({{m_when, QStringLiteral("first"), QStringLiteral("http://a.example/")}}, day));
        QVERIFY(fav.add(QStringLiteral("first"), QStringLiteral("http://a.example/")));
        const QByteArray dat = bytes(history.dayFile(day, QStringLiteral(".dat")));
        const QByteArray favBytes = bytes(fav.path());
        QCOMPARE(QFileInfo(fav.path()).permissions() & 0x0077, QFile::Permissions());

        // Full: the rows (more than the last page of the file holds) do not fit.
        disk.fill();
        QVector<Visit> many;
        for (int i = 0; i < 40; ++i)
            many.append({m_when, QStringLiteral("row %1").arg(i), QStringLiteral("http://b.example/%1").arg(i)});
        QVERIFY(!history.append(many, day));
        QVERIFY(!fav.add(QString(5000, QLatin1Char('t')), QStringLiteral("http://b.example/")));
        QCOMPARE(bytes(history.dayFile(day, QStringLiteral(".dat"))), dat);
        QCOMPARE(bytes(fav.path()), favBytes);

        // Room again: the next lines start on lines of their own.
        disk.freeUp();
        QVERIFY(history.append({{m_when, QStringLiteral("after"), QStringLiteral("http://c.example/")}}, day));
        QVERIFY(fav.add(QStringLiteral("after"), QStringLiteral("http://c.example/")));
        for (const QByteArray &line : bytes(history.dayFile(day, QStringLiteral(".dat"))).split('\n'))
            QVERIFY2(line.isEmpty() || line == "\r" || (line.startsWith("<tr>") && line.endsWith("</tr>\r")), line.left(60));
        QCOMPARE(fav.entries().size(), 2);
        QCOMPARE(fav.entries().last().title, QStringLiteral("after"));
    }

    void cleaningNeverFollowsALinkOut()
    {
        const QString outside = fresh(), folder = fresh();
        put(outside + QStringLiteral("/keep.dat"), "outside");
        put(folder + QStringLiteral("/2026-12-08.dat"), "row");
        put(folder + QStringLiteral("/sub/deep.html"), "page");
        QVERIFY(QFile::link(outside, folder + QStringLiteral("/linked-folder")));
        QVERIFY(QFile::link(outside + QStringLiteral("/keep.dat"), folder + QStringLiteral("/linked-file")));
        QCOMPARE(TraceClean::removeFolder(folder), QStringList());
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(bytes(outside + QStringLiteral("/keep.dat")), QByteArray("outside"));
        // A folder that is a link is left as it is, and said.
        const QString linked = fresh();
        QVERIFY(QFile::link(outside, linked));
        const QStringList refused = TraceClean::removeFolder(linked);
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused.first().startsWith(linked));
        QVERIFY(QFileInfo(linked).isSymLink());
        QCOMPARE(bytes(outside + QStringLiteral("/keep.dat")), QByteArray("outside"));
        QVERIFY(TraceClean::closingMessage(refused).endsWith(QStringLiteral("\n以下内容未能清除：") + refused.first()));
        // Missing is not a failure; the message is the plain one.
        QCOMPARE(TraceClean::removeFolder(fresh()), QStringList());
        QCOMPARE(TraceClean::closingMessage({}), QStringLiteral("清除工作已经完成，请重新启动《Velmo安全浏览器》！    "));
    }

    void cleaningFilesTakesOnlyWhatMatches()
    {
        const QString folder = fresh();
        for (const char *name : {"gallery-1-1.htm", "viewer-1.htm", "open-gallery.htm", "notes.txt", "sub/inner.htm"})
            put(folder + QLatin1Char('/') + QLatin1String(name), "x");
        QCOMPARE(TraceClean::removeFiles(folder, {QStringLiteral("*.htm")}, {folder + QStringLiteral("/open-gallery.htm")}),
                 QStringList());
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("notes.txt"), QStringLiteral("open-gallery.htm"), QStringLiteral("sub")}));
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/sub/inner.htm")));

        // What cannot be removed is named, and the rest still goes.
        SmallDisk disk(64);
        if (!disk.mounted())
            QSKIP("needs root to mount a read-only file system");
        put(disk.path() + QStringLiteral("/History/day.dat"), "row");
        QVERIFY(disk.makeReadOnly());
        QCOMPARE(TraceClean::removeFolder(disk.path() + QStringLiteral("/History")),
                 QStringList{disk.path() + QStringLiteral("/History/day.dat")});
        QCOMPARE(TraceClean::removeFile(disk.path() + QStringLiteral("/History/day.dat")),
                 QStringList{disk.path() + QStringLiteral("/History/day.dat")});
        QCOMPARE(TraceClean::removeFile(disk.path() + QStringLiteral("/none.xbel")), QStringList());
    }

    void categoryNamesStayInside()
    {
        for (const char *bad : {"", ".", "..", "a/b", "../up", "a\\b"})
            QVERIFY2(!FavoritesDialog::validFolderName(QString::fromUtf8(bad)), bad);
        QVERIFY(FavoritesDialog::validFolderName(QStringLiteral("网址之家")));
        QVERIFY(FavoritesDialog::validFolderName(QStringLiteral("a.b")));
    }
};

QTEST_MAIN(TstUserFiles)
#include "tst_userfiles.moc"

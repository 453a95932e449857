#include "support/files.h"
#include "support/recordingdialogs.h"
#include "support/recordingshell.h"
#include "support/testenv.h"
#include "tools/defaultbrowser.h"
#include "tools/formdir.h"
#include "userdata/gbktext.h"

#include <QListWidget>
#include <QStandardPaths>

// Making the browser the default one, and hiding folders, in the test's own home.
class TstTools : public QObject
{
    Q_OBJECT

    // The program an Exec line starts, read as the desktop reads it: the value's own
    // escapes first, then the quoted argument's.
    static QString execProgram(const QByteArray &entry)
    {
        QString value;
        for (const QByteArray &line : entry.split('\n'))
            if (line.startsWith("Exec="))
                value = QString::fromUtf8(line.mid(5));
        QString unescaped;
        for (qsizetype i = 0; i < value.size(); ++i)
            unescaped += value[i] == QLatin1Char('\\') && i + 1 < value.size() ? value[++i] : value[i];
        if (!unescaped.startsWith(QLatin1Char('"')))
            return unescaped.section(QLatin1Char(' '), 0, 0);
        QString program;
        for (qsizetype i = 1; i < unescaped.size() && unescaped[i] != QLatin1Char('"'); ++i)
            program += unescaped[i] == QLatin1Char('\\') ? unescaped[++i] : unescaped[i];
        return program;
    }
    QString apps() const { return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation); }
    QString mimeapps() const { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/mimeapps.list"); }

private slots:
    void theDefaultsKeepEveryOtherLine()
    {
        using DefaultBrowser::withDefaults;
        const QByteArray other = "# mine\n[Added Associations]\ntext/html=gedit.desktop;\n\n"
                                 "[Default Applications]\nx-scheme-handler/http=firefox.desktop;\nimage/png=eog.desktop;\n\n"
                                 "[Removed Associations]\ntext/plain=foo.desktop;\n";
        QCOMPARE(withDefaults(other, QStringLiteral("v.desktop")),
                 QByteArray("# mine\n[Added Associations]\ntext/html=gedit.desktop;\n\n"
                            "[Default Applications]\nx-scheme-handler/http=v.desktop;\nimage/png=eog.desktop;\n"
                            "x-scheme-handler/https=v.desktop;\ntext/html=v.desktop;\n\n"
                            "[Removed Associations]\ntext/plain=foo.desktop;\n"));
        QCOMPARE(withDefaults(QByteArray(), QStringLiteral("v.desktop")),
                 QByteArray("[Default Applications]\nx-scheme-handler/http=v.desktop;\nx-scheme-handler/https=v.desktop;\n"
                            "text/html=v.desktop;\n"));
        // Without a final line break, and run twice: the same file.
        const QByteArray once = withDefaults("[Other]\na=b", QStringLiteral("v.desktop"));
        QVERIFY(once.startsWith("[Other]\na=b\n\n[Default Applications]\n"));
        QCOMPARE(withDefaults(once, QStringLiteral("v.desktop")), once);
    }

    void registrationWritesAnEntryThatLaunches()
    {
        putFile(mimeapps(), "[Default Applications]\nimage/png=eog.desktop;\n");
        const QString program = QDir::tempPath() + QStringLiteral("/my \"apps\" $HOME/浏览器 `x`\\velmo");
        QCOMPARE(DefaultBrowser::registerAsDefault(program), QString());
        const QByteArray entry = fileBytes(apps() + QStringLiteral("/velmo-browser.desktop"));
        QCOMPARE(execProgram(entry), program);
        QVERIFY(entry.contains("MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;\n"));
        QCOMPARE(fileBytes(mimeapps()), QByteArray("[Default Applications]\nimage/png=eog.desktop;\n"
                                              "x-scheme-handler/http=velmo-browser.desktop;\n"
                                              "x-scheme-handler/https=velmo-browser.desktop;\ntext/html=velmo-browser.desktop;\n"));

        // An installed entry is the one named.
        putFile(apps() + QStringLiteral("/org.velmo.Browser.desktop"), "[Desktop Entry]\nName=Velmo\n");
        QCOMPARE(DefaultBrowser::registerAsDefault(program), QString());
        QVERIFY(fileBytes(mimeapps()).contains("x-scheme-handler/https=org.velmo.Browser.desktop;\n"));
        QVERIFY(fileBytes(mimeapps()).contains("image/png=eog.desktop;\n"));
    }

    void hiddenFoldersAreListedUntilReleased()
    {
        QTemporaryDir base;
        for (const char *name : {"first one", "second", "kept"})
            QVERIFY(QDir(base.path()).mkdir(QString::fromUtf8(name)));
        putFile(base.filePath(QStringLiteral(".hidden")), "kept\n");
        const QString list = base.filePath(QStringLiteral("file.ifo"));
        RecordingDialogs dialogs;
        RecordingShell shell;
        {
            FormDir dialog(dialogs, shell, list);
            for (const char *name : {"first one", "second"}) {
                dialogs.folderAnswer = base.filePath(QString::fromUtf8(name));
                dialog.add();
            }
            QCOMPARE(dialog.ListDir()->count(), 2);
        }
        QCOMPARE(fileBytes(base.filePath(QStringLiteral(".hidden"))), QByteArray("kept\nfirst one\nsecond\n"));
        QCOMPARE(GbkText::decode(fileBytes(list)), base.filePath(QStringLiteral("first one")) + QStringLiteral("\r\n")
                                                 + base.filePath(QStringLiteral("second")) + QStringLiteral("\r\n"));

        // Reopened, both are there; release takes exactly its line; open does not release.
        FormDir dialog(dialogs, shell, list);
        QCOMPARE(dialog.ListDir()->count(), 2);
        dialog.ListDir()->setCurrentRow(0);
        dialog.release();
        QCOMPARE(fileBytes(base.filePath(QStringLiteral(".hidden"))), QByteArray("kept\nsecond\n"));
        dialog.ListDir()->setCurrentRow(0);
        dialog.open();
        QCOMPARE(shell.opened, QStringList{base.filePath(QStringLiteral("second"))});
        QCOMPARE(fileBytes(base.filePath(QStringLiteral(".hidden"))), QByteArray("kept\nsecond\n"));

        // What cannot be hidden is not listed, and the dialog says why.
        dialogs.folderAnswer = QStringLiteral("/");
        dialog.add();
        QVERIFY(QDir(base.path()).mkdir(QStringLiteral("two\nlines")));
        dialogs.folderAnswer = base.filePath(QStringLiteral("two\nlines"));
        dialog.add();
        QCOMPARE(dialog.ListDir()->count(), 1);
        QCOMPARE(dialogs.asked.filter(QStringLiteral("warning:")).size(), 2);
        QVERIFY(dialogs.asked.last().startsWith(QStringLiteral("warning:文件夹加密 （隐藏）|文件夹名称含有换行")));
    }
};

VELMO_TEST_MAIN(TstTools)
#include "tst_tools.moc"

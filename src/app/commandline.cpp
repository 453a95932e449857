#include "app/commandline.h"

#include "tabs/addressshape.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString unquoted(QString text)
{
    return text.remove(QLatin1Char('"'));
}

} // namespace

bool CommandLine::looksLikeAddress(const QString &text)
{
    return QFileInfo::exists(text) || AddressShape::startsWithSchemeAndMore(text) || AddressShape::isHostAndPath(text);
}

CommandLine CommandLine::parse(const QStringList &arguments, bool chinese)
{
    const auto tr = [chinese](const char *zh, const char *en) {
        return chinese ? QString::fromUtf8(zh) : QString::fromUtf8(en);
    };
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Velmo安全浏览器：带标签页的网页浏览器。", "Velmo安全浏览器: a tabbed web browser."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示此帮助。", "Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("显示版本信息。", "Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(tr("网址", "address"),
                                 tr("要打开的网址或文件，可以有多个；已在运行时在其窗口中打开。",
                                    "Addresses or files to open, one tab each; when the browser already runs, "
                                    "they open in its window."),
                                 tr("[网址...]", "[address...]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Refused;
        result.message = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return result;
    }
    if (parser.isSet(help)) {
        result.action = ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = ShowVersion;
        result.message = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                        QCoreApplication::applicationVersion());
        return result;
    }
    const QStringList given = parser.positionalArguments();
    const QString joined = unquoted(given.join(QLatin1Char(' ')));
    bool each = given.size() > 1 && !QFileInfo::exists(joined);
    for (const QString &a : given)
        each = each && looksLikeAddress(unquoted(a));
    if (each) {
        for (const QString &a : given)
            result.addresses.append(unquoted(a));
    } else if (!joined.isEmpty()) {
        result.addresses.append(joined);
    }
    return result;
}

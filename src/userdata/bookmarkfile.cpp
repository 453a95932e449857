#include "userdata/bookmarkfile.h"

#include <QRegularExpression>

namespace BookmarkFile {
namespace {
// The few entities exporters write, and numbered ones.
QString decoded(QString text)
{
    // Tags inside a title are not part of it (taken out before entities become text).
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.remove(tags);
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|amp|lt|gt|quot|apos|nbsp);"));
    QString out;
    qsizetype from = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        const QString name = m.captured(1);
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#"))) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
                const char32_t c = code;
                out += QString::fromUcs4(&c, 1);
            }
        } else {
            static const QHash<QString, QString> names{{QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("lt"), QStringLiteral("<")},
                                                       {QStringLiteral("gt"), QStringLiteral(">")},   {QStringLiteral("quot"), QStringLiteral("\"")},
                                                       {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QStringLiteral(" ")}};
            out += names.value(name);
        }
        from = m.capturedEnd();
    }
    out += text.mid(from);
    // Line breaks are blanks.
    return out.simplified();
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}
} // namespace

std::optional<Read> read(const QByteArray &bytes)
{
    const QString html = QString::fromUtf8(bytes);
    if (!html.contains(QLatin1String("NETSCAPE-Bookmark-file"), Qt::CaseInsensitive)
        && !html.contains(QRegularExpression(QStringLiteral("<DL"), QRegularExpression::CaseInsensitiveOption)))
        return std::nullopt;
    static const QRegularExpression token(
        QStringLiteral("<H3\\b[^>]*>(.*?)</H3\\s*>|<A\\b([^>]*)>(.*?)</A\\s*>|<DL\\b[^>]*>|</DL\\s*>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression href(QStringLiteral("\\bHREF\\s*=\\s*(\"([^\"]*)\"|'([^']*)')"), QRegularExpression::CaseInsensitiveOption);
    Read result;
    // Each list open now: its folder's name, or a null string for a list of no folder
    // (the file's own).
    QStringList open;
    QString folderNamed = QString(); // an <H3> whose list has not opened yet
    bool named = false;
    const auto category = [&open] {
        QStringList names;
        for (const QString &name : std::as_const(open))
            if (!name.isNull())
                names.append(name);
        return names.join(QStringLiteral(" - "));
    };
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart(1) >= 0) {
            folderNamed = decoded(m.captured(1));
            named = true;
        } else if (m.capturedStart(2) >= 0) {
            named = false;
            const QRegularExpressionMatch link = href.match(m.captured(2));
            if (!link.hasMatch())
                continue;
            const QString address = decoded(link.captured(2).isNull() ? link.captured(3) : link.captured(2)).remove(QLatin1Char(' '));
            result.bookmarks.append({decoded(m.captured(3)), address, category()});
        } else if (m.captured(0).startsWith(QLatin1String("</"))) {
            // More lists closed than opened: not such a file.
            if (open.isEmpty())
                return std::nullopt;
            open.removeLast();
        } else {
            open.append(named ? (folderNamed.isEmpty() ? QStringLiteral("未命名") : folderNamed) : QString());
            named = false;
            const QString folder = category();
            if (!open.last().isNull() && !result.categories.contains(folder))
                result.categories.append(folder);
        }
    }
    // A file cut short leaves lists open: it is refused whole rather than read in part.
    if (!open.isEmpty())
        return std::nullopt;
    return result;
}

QByteArray write(const QString &folder, const QVector<QPair<QString, QString>> &favourites)
{
    QString html = QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                  "<!-- This is an automatically generated file.\n"
                                  "     It will be read and overwritten.\n"
                                  "     DO NOT EDIT! -->\n"
                                  "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                  "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n");
    html += QStringLiteral("    <DT><H3>%1</H3>\n    <DL><p>\n").arg(escaped(folder));
    for (const auto &[title, address] : favourites)
        html += QStringLiteral("        <DT><A HREF=\"%1\">%2</A>\n").arg(escaped(address), escaped(title));
    html += QStringLiteral("    </DL><p>\n</DL><p>\n");
    return html.toUtf8();
}
} // namespace BookmarkFile

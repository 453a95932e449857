// The day's history file: any bytes make a page, and the page keeps its head and end.
#include "fuzzinput.h"
#include "userdata/history.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const History history(dir.filePath(QStringLiteral("History")));
    const QDate day(2026, 7, 5);
    QDir().mkpath(history.folder());
    QFile f(history.dayFile(day, QStringLiteral(".dat")));
    if (!f.open(QIODevice::WriteOnly))
        return 0;
    f.write(reinterpret_cast<const char *>(data), qint64(size));
    f.close();
    const QString page = history.buildPage(day);
    require(!page.isEmpty());
    QFile html(page);
    require(html.open(QIODevice::ReadOnly));
    const QByteArray bytes = html.readAll();
    require(bytes.startsWith("<!DOCTYPE html") && bytes.endsWith("</table></body></html>\r\n"));
    // A row written for any title and address holds no markup of its own.
    const QString text = fuzzText(data, size);
    const QString row = History::row({QDateTime(day, QTime(1, 2)), text, text});
    require(!row.contains(QLatin1String("<script")));
    return 0;
}

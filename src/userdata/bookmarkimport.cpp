#include "userdata/bookmarkimport.h"

#include "platform/filenames.h"
#include "userdata/favorites.h"
#include "userdata/favoritesdialog.h"

#include <QDir>
#include <QSet>
#include <QUrl>

BookmarkImport BookmarkImport::run(const Favorites &favorites, const QString &categoryFolder, const BookmarkFile::Read &read)
{
    BookmarkImport done;
    QStringList lines = favorites.lines();
    QSet<QString> known;
    for (const QString &line : std::as_const(lines))
        known.insert(Favorites::addressOf(line).trimmed());
    const qsizetype before = lines.size();
    for (const BookmarkFile::Bookmark &b : read.bookmarks) {
        const QString scheme = QUrl(b.address).scheme().toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != QLatin1String("ftp")
            && scheme != QLatin1String("file")) {
            ++done.notPages;
            continue;
        }
        if (known.contains(b.address)) {
            ++done.duplicates;
            continue;
        }
        known.insert(b.address);
        QString line = Favorites::storedTitle(b.title.isEmpty() ? b.address : b.title) + QLatin1Char(',') + b.address;
        line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.append(line);
    }
    done.added = int(lines.size() - before);
    if (done.added > 0 && !favorites.save(lines)) {
        done.saved = false;
        done.added = 0;
        return done;
    }
    for (const QString &category : read.categories) {
        const QString name = FileNames::fromText(category);
        const QString path = categoryFolder + QLatin1Char('/') + name;
        if (FavoritesDialog::validFolderName(name) && !QFileInfo::exists(path) && QDir().mkpath(path))
            ++done.categoriesMade;
    }
    return done;
}

QString BookmarkImport::summary() const
{
    if (!saved)
        return QStringLiteral("收藏夹文件无法写入，没有导入任何收藏。");
    QString text = QStringLiteral("已导入 %1 个收藏").arg(added);
    if (duplicates > 0)
        text += QStringLiteral("；%1 个网址已在收藏夹中，没有重复导入").arg(duplicates);
    if (notPages > 0)
        text += QStringLiteral("；%1 个不是网页的地址（如脚本）没有导入").arg(notPages);
    if (categoriesMade > 0)
        text += QStringLiteral("；新建分类目录 %1 个").arg(categoriesMade);
    return text + QStringLiteral("。");
}

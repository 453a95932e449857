#include "platform/translations.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Words Qt's own catalogue lacks in this version: the file dialog's type column said
// "Folder" in English among Chinese captions.
class MissingWords : public QTranslator
{
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0)
            return QString();
        static const QHash<QByteArray, QString> words = {
            {"Folder", QStringLiteral("文件夹")}, {"Drive", QStringLiteral("驱动器")}, {"File", QStringLiteral("文件")},
            {"Shortcut", QStringLiteral("快捷方式")}, {"Alias", QStringLiteral("替身")}, {"Unknown", QStringLiteral("未知")},
        };
        return words.value(QByteArray(source));
    }
};

} // namespace

namespace Translations {

void useChinese(QCoreApplication &app)
{
    app.installTranslator(new MissingWords(&app));
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    QLocale::setDefault(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt" loads the base and the modules' catalogues; a missing one leaves English.
    // The engine's own texts (the page's context menu, the file chooser) are a catalogue
    // of their own that "qt" does not take in.
    for (const QString &catalogue : {QStringLiteral("qt"), QStringLiteral("qtwebengine")}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(chinese, catalogue, QStringLiteral("_"), folder))
            app.installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace Translations

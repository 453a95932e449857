#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

void useChinese(QCoreApplication &app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    QLocale::setDefault(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt" loads the base and the modules' catalogues; a missing one leaves English.
    auto *translator = new QTranslator(&app);
    if (translator->load(chinese, QStringLiteral("qt"), QStringLiteral("_"), folder))
        app.installTranslator(translator);
    else
        delete translator;
}

} // namespace Translations

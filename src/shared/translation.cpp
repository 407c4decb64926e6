#include "shared/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace translation {

bool prefersEnglish(const QStringList& uiLanguages) {
    for (const QString& name : uiLanguages) {
        const QString language =
            name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (language.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) return true;
        if (language.compare(QLatin1String("zh"), Qt::CaseInsensitive) == 0) return false;
    }
    return false;
}

bool install(QCoreApplication& app) {
    if (!prefersEnglish(QLocale::system().uiLanguages())) return false;
    // Lives as long as the application: the programs translate texts
    // whenever a menu caption changes.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/i18n/zuz_zonara_en.qm"))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}

} // namespace translation

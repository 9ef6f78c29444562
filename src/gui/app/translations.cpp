#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace valdex {

void UseSpanishLocale() {
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale::Spanish ? system : QLocale(QLocale::Spanish));
}

bool InstallSpanishTranslations(QCoreApplication& app) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_es"), folder) &&
        !translator->load(QStringLiteral("qtbase_es"),
                          QStringLiteral("/usr/share/qt6/translations"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace valdex

#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QtTranslations installQtTranslations(QCoreApplication& application, const QLocale& locale) {
    // The application keeps it: Qt's texts are looked up for as long as the program runs.
    auto* translator = new QTranslator(&application);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return QtTranslations::Missing;
    }
    return QtTranslations::Installed;
}

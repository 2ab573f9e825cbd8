#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installJapaneseTranslations(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // qt_ja is the catalog that brings in each module's own, qtbase_ja among them.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qt_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

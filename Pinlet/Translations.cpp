#include "Pinlet/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace pinlet {

void installTranslations() {
    // Owned by the application, so that each application instance has its own.
    auto* own = new QTranslator(qApp);
    // An empty English table is among them: a user who puts English before another language gets
    // English, not the next language Pinlet has.
    if (!own->load(QLocale(), QStringLiteral("pinlet"), QStringLiteral("_"),
                   QStringLiteral(":/translations"))) {
        return;
    }
    QCoreApplication::installTranslator(own);
    // Qt's texts, such as the editor's context menu, in the language chosen above.
    auto* qt = new QTranslator(qApp);
    if (qt->load(QLocale(own->language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    }
}

} // namespace pinlet

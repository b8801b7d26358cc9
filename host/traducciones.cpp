#include "traducciones.h"

#include "runtime/regional.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

bool instalaTraducciones(QCoreApplication &aplicacion)
{
    const QLocale &espanol = Runtime::mexicanLocale();
    QLocale::setDefault(espanol);
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto textosDeQt = std::make_unique<QTranslator>();
    // Qt ships one Spanish for every country: es_MX finds qtbase_es.
    if (!textosDeQt->load(espanol, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta)) {
        qWarning().noquote() << "No se encontraron las traducciones de Qt al español en" << carpeta
                             << "(paquete qt6-translations-l10n): sus diálogos saldrán en inglés";
        return false;
    }
    textosDeQt->setParent(&aplicacion);
    QCoreApplication::installTranslator(textosDeQt.release());
    return true;
}

#include "traducciones.h"

#include "runtime/regional.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

// Outside any namespace, as the macro requires. The host is a static library: its resources
// are there only once asked for.
static void iniciaTextosDeMexico()
{
    Q_INIT_RESOURCE(traducciones);
}

namespace {

// The translator last installed is asked first: Mexico's few words go over Qt's Spanish.
bool instala(QCoreApplication &aplicacion, std::unique_ptr<QTranslator> textos)
{
    textos->setParent(&aplicacion);
    return QCoreApplication::installTranslator(textos.release());
}

bool instalaLosDeMexico(QCoreApplication &aplicacion)
{
    iniciaTextosDeMexico();
    auto textosDeMexico = std::make_unique<QTranslator>();
    if (!textosDeMexico->load(QStringLiteral(":/traducciones/qtbase_es_MX.qm"))) {
        qWarning().noquote() << "No se encontraron los textos de México para los diálogos de Qt";
        return false;
    }
    return instala(aplicacion, std::move(textosDeMexico));
}

} // namespace

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
    instala(aplicacion, std::move(textosDeQt));
    return instalaLosDeMexico(aplicacion);
}

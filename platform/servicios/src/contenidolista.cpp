#include "contenidolista.h"

#include "ado/recordset.h"
#include "controles/listmodel.h"
#include "runtime/conversions.h"

#include <QDateTime>

namespace Servicios {

QString textoDeCelda(const QVariant &valor)
{
    if (valor.isNull())
        return {};
    switch (valor.metaType().id()) {
    case QMetaType::QString:
        return valor.toString();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QString::number(valor.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(valor.toDouble(), 'f', 2);
    case QMetaType::QDate:
        return valor.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return valor.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return Runtime::toTextOrEmpty(valor);
    }
}

namespace {

QStringList textosDelRegistro(const Ado::Recordset &datos, int columnas)
{
    QStringList textos;
    textos.reserve(columnas);
    for (int columna = 0; columna < columnas; ++columna)
        textos << textoDeCelda(datos.field(columna));
    return textos;
}

bool registroIgual(const Ado::Recordset &datos, const QStringList &textos)
{
    if (textos.size() != datos.fieldCount())
        return false;
    for (int columna = 0; columna < textos.size(); ++columna) {
        if (textoDeCelda(datos.field(columna)) != textos.at(columna))
            return false;
    }
    return true;
}

} // namespace

ContenidoLista leeContenido(Ado::Recordset &datos, const Controles::ListModel &anterior)
{
    ContenidoLista contenido;
    const int columnas = datos.fieldCount();
    contenido.encabezados.reserve(columnas);
    for (int columna = 0; columna < columnas; ++columna)
        contenido.encabezados << datos.fieldName(columna);

    // Rows with a key were not filled from a result: they are never taken as unchanged.
    std::vector<const QStringList *> previas;
    if (contenido.encabezados == anterior.headers()) {
        for (const int posicion : anterior.positionsByArrival()) {
            const Controles::ListModel::Row &fila = anterior.row(posicion);
            if (!fila.key.isEmpty()) {
                previas.clear();
                break;
            }
            previas.push_back(&fila.texts);
        }
    }
    size_t iguales = 0;
    bool comparando = true;
    const auto conservaIguales = [&] {
        comparando = false;
        contenido.filas.reserve(iguales + 64);
        for (size_t posicion = 0; posicion < iguales; ++posicion)
            contenido.filas.push_back(Controles::ListRow{QString(), *previas[posicion]});
    };
    for (; !datos.atEnd(); datos.moveNext()) {
        if (comparando) {
            if (iguales < previas.size() && registroIgual(datos, *previas[iguales])) {
                ++iguales;
                continue;
            }
            conservaIguales();
        }
        contenido.filas.push_back(Controles::ListRow{QString(), textosDelRegistro(datos, columnas)});
    }
    if (comparando && iguales == previas.size() && !previas.empty())
        contenido.igualAlAnterior = true;
    else if (comparando)
        conservaIguales();
    return contenido;
}

} // namespace Servicios

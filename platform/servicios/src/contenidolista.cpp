#include "contenidolista.h"

#include "ado/recordset.h"
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

ContenidoLista leeContenido(Ado::Recordset &datos)
{
    ContenidoLista contenido;
    const int columnas = datos.fieldCount();
    contenido.encabezados.reserve(columnas);
    for (int columna = 0; columna < columnas; ++columna)
        contenido.encabezados << datos.fieldName(columna);
    while (!datos.atEnd()) {
        QStringList textos;
        textos.reserve(columnas);
        for (int columna = 0; columna < columnas; ++columna)
            textos << textoDeCelda(datos.field(columna));
        contenido.filas.push_back(Controles::ListRow{QString(), std::move(textos)});
        datos.moveNext();
    }
    return contenido;
}

} // namespace Servicios

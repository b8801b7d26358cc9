#include "recursos.h"

#include <QFile>

namespace Datos {

QString textoDelRecurso(const QString &ruta)
{
    QFile archivo(ruta);
    archivo.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromUtf8(archivo.readAll());
}

} // namespace Datos

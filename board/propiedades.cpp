// The board's properties for the host.
#include "frmKLD251.h"

#include "publico.h"
#include "runtime/conversions.h"
#include "runtime/latebinding.h"

QObject *frmKLD251::Padre() const
{
    return m_padre.data();
}

void frmKLD251::setPadre(QObject *padre)
{
    m_padre = padre;
}

QString frmKLD251::Transaccion() const
{
    const QString delAnfitrion = Runtime::toText(Runtime::readMember(Padre(), "Transaccion"));
    return Publico::Funciones->ArmaTransaccion(delAnfitrion, Publico::Producto);
}

#include "oportunidades.h"

#include "alcance.h"
#include "servicioshost.h"

#include "ado/connection.h"

namespace Pantallas {
namespace {

const QString entidad = QStringLiteral("OPORTUNIDAD");
const QString formatoFecha = QStringLiteral("yyyy-MM-dd");

// Null for an empty key, so "no contact" is stored as the board's joins expect it.
QString literalOpcional(const QString &valor)
{
    return valor.isEmpty() ? QStringLiteral("NULL") : literal(valor);
}

QString literalFecha(const QDate &fecha)
{
    return fecha.isValid() ? literal(fecha.toString(formatoFecha)) : QStringLiteral("NULL");
}

// Amounts are numbers the program formats itself: never text the user typed.
QString literalMonto(double monto)
{
    return QString::number(monto, 'f', 2);
}

// After a failure the shared connection must not stay inside the transaction.
template<typename Cuerpo>
auto enTransaccion(Ado::Connection &conexion, Cuerpo &&cuerpo)
{
    conexion.BeginTrans();
    try {
        auto resultado = cuerpo();
        conexion.CommitTrans();
        return resultado;
    } catch (...) {
        if (conexion.inTransaction())
            conexion.RollbackTrans();
        throw;
    }
}

} // namespace

namespace Oportunidades {

std::optional<Oportunidad> lee(const QString &folio)
{
    const auto renglon = primerRenglon(
        QStringLiteral("SELECT Op_Folio, Op_Descripcion, Op_Contacto, Op_Cve_Vendedor, Op_Estado_Oportunidad, "
                       "Op_Monto, Op_Fecha_Cierre_Estimada, Cn_Nombre, Og_Nombre, Vn_Descripcion, Eo_Descripcion, "
                       "Oportunidad.Es_Cve_Estado, Ci_Resultado, Vn_Nivel "
                       "FROM Oportunidad "
                       "LEFT JOIN Contacto ON Contacto.Cn_Cve_Contacto = Oportunidad.Op_Contacto "
                       "LEFT JOIN Organizacion ON Organizacion.Og_Cve_Organizacion = Contacto.Cn_Organizacion "
                       "LEFT JOIN Vendedor ON Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor "
                       "LEFT JOIN Estado_Oportunidad "
                       "ON Estado_Oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad "
                       "LEFT JOIN Cierre_Oportunidad ON Cierre_Oportunidad.Ci_Folio = Oportunidad.Op_Folio "
                       "WHERE Op_Folio = ")
            + literal(folio),
        {QStringLiteral("Op_Folio"), QStringLiteral("Op_Descripcion"), QStringLiteral("Op_Contacto"),
         QStringLiteral("Op_Cve_Vendedor"), QStringLiteral("Op_Estado_Oportunidad"), QStringLiteral("Op_Monto"),
         QStringLiteral("Op_Fecha_Cierre_Estimada"), QStringLiteral("Cn_Nombre"), QStringLiteral("Og_Nombre"),
         QStringLiteral("Vn_Descripcion"), QStringLiteral("Eo_Descripcion"), QStringLiteral("Es_Cve_Estado"),
         QStringLiteral("Ci_Resultado"), QStringLiteral("Vn_Nivel")});
    if (!renglon)
        return std::nullopt;
    const QStringList &campo = *renglon;
    Oportunidad oportunidad;
    oportunidad.folio = campo[0];
    oportunidad.descripcion = campo[1];
    oportunidad.contacto = campo[2];
    oportunidad.vendedor = campo[3];
    oportunidad.estado = campo[4];
    oportunidad.monto = campo[5].toDouble();
    oportunidad.cierreEstimado = QDate::fromString(campo[6].left(formatoFecha.size()), formatoFecha);
    oportunidad.nombreContacto = campo[7];
    oportunidad.nombreOrganizacion = campo[8];
    oportunidad.nombreVendedor = campo[9];
    oportunidad.descripcionEstado = campo[10];
    oportunidad.nivelVendedor = campo[13];
    oportunidad.cancelada = campo[11] == QLatin1String("CA");
    if (!campo[12].isEmpty())
        oportunidad.cierre = campo[12] == QLatin1String("1") ? QStringLiteral("ganada") : QStringLiteral("perdida");
    return oportunidad;
}

bool existe(const QString &folio)
{
    return primerRenglon(QStringLiteral("SELECT Op_Folio FROM Oportunidad WHERE Op_Folio = ") + literal(folio),
                         {QStringLiteral("Op_Folio")})
        .has_value();
}

void agrega(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios)
{
    const std::shared_ptr<Ado::Connection> conexion = servicios.entorno->Conexion();
    const QString operador = servicios.entorno->Operador();
    const QDate hoy = servicios.funciones->FechaActual().date();
    enTransaccion(*conexion, [&] {
        conexion->Execute(
            QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, "
                           "Op_Estado_Oportunidad, Op_Monto, Op_Fecha_Alta, Op_Fecha_Cierre_Estimada, "
                           "Es_Cve_Estado, Oper_Alta) VALUES (")
            + QStringList{literal(oportunidad.folio), literal(oportunidad.descripcion), literal(oportunidad.vendedor),
                          literalOpcional(oportunidad.contacto), literalOpcional(oportunidad.estado),
                          literalMonto(oportunidad.monto), literalFecha(hoy), literalFecha(oportunidad.cierreEstimado),
                          QStringLiteral("'AC'"), literal(operador)}
                  .join(QStringLiteral(", "))
            + QLatin1Char(')'));
        servicios.funciones->RegistraBitacora(entidad, oportunidad.folio, QStringLiteral("Alta"));
        return true;
    });
}

bool actualiza(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios)
{
    const std::shared_ptr<Ado::Connection> conexion = servicios.entorno->Conexion();
    const QString operador = servicios.entorno->Operador();
    const QString fecha = servicios.funciones->FormatoFechaModificacion(servicios.funciones->FechaActual());
    return enTransaccion(*conexion, [&] {
        qint64 cambiadas = 0;
        conexion->Execute(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = ") + literal(oportunidad.descripcion)
                              + QStringLiteral(", Op_Contacto = ") + literalOpcional(oportunidad.contacto)
                              + QStringLiteral(", Op_Cve_Vendedor = ") + literal(oportunidad.vendedor)
                              + QStringLiteral(", Op_Estado_Oportunidad = ") + literalOpcional(oportunidad.estado)
                              + QStringLiteral(", Op_Monto = ") + literalMonto(oportunidad.monto)
                              + QStringLiteral(", Op_Fecha_Cierre_Estimada = ") + literalFecha(oportunidad.cierreEstimado)
                              + QStringLiteral(", Oper_Ult_Modif = ") + literal(operador)
                              + QStringLiteral(", Fecha_Ult_Modif = ") + literal(fecha)
                              + QStringLiteral(" WHERE Op_Folio = ") + literal(oportunidad.folio)
                              + QStringLiteral(" AND Es_Cve_Estado <> 'CA'"),
                          &cambiadas);
        if (cambiadas > 0)
            servicios.funciones->RegistraBitacora(entidad, oportunidad.folio, QStringLiteral("Modificación"));
        return cambiadas > 0;
    });
}

} // namespace Oportunidades

Catalogos Catalogos::lee(const Alcance &alcance)
{
    const QVariantList vendedor = alcance.condicionUsaVendedor() ? QVariantList{alcance.vendedor()} : QVariantList{};
    return Catalogos{
        opciones(QStringLiteral("SELECT Cn_Cve_Contacto, Cn_Nombre FROM Contacto ORDER BY Cn_Nombre, Cn_Cve_Contacto")),
        opciones(QStringLiteral("SELECT Vn_Cve_Vendedor, Vn_Descripcion FROM Vendedor WHERE Es_Cve_Estado = 'AC' AND ")
                     + alcance.condicionDeVendedores() + QStringLiteral(" ORDER BY Vn_Descripcion, Vn_Cve_Vendedor"),
                 vendedor),
        opciones(QStringLiteral("SELECT Eo_Cve_Estado_Oportunidad, Eo_Descripcion FROM Estado_Oportunidad "
                                "ORDER BY Eo_Descripcion, Eo_Cve_Estado_Oportunidad")),
    };
}

} // namespace Pantallas

#include "oportunidades.h"

#include "alcance.h"
#include "servicioshost.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

namespace Pantallas {
namespace {

const QString entidad = QStringLiteral("OPORTUNIDAD");
const QString formatoFecha = QStringLiteral("yyyy-MM-dd");

// The amount to the cent, as the column keeps it.
QString montoAlCentavo(double monto)
{
    return QString::number(monto, 'f', 2);
}

// The columns a change must find as they were read: what the form shows and what the board
// and the closing change (a state, a cancellation, the last modification's operator and time).
const QStringList vigiladas = {
    QStringLiteral("Op_Descripcion"),  QStringLiteral("Op_Contacto"),
    QStringLiteral("Op_Cve_Vendedor"), QStringLiteral("Op_Estado_Oportunidad"),
    QStringLiteral("Op_Monto"),        QStringLiteral("Op_Fecha_Cierre_Estimada"),
    QStringLiteral("Es_Cve_Estado"),   QStringLiteral("Oper_Ult_Modif"),
    QStringLiteral("Fecha_Ult_Modif"),
};

// Compared as text, so an amount is found exactly as the engine stores it, whatever its type.
QString vigiladaComoTexto(const QString &columna)
{
    return QStringLiteral("CAST(Oportunidad.%1 AS TEXT)").arg(columna);
}

QStringList nombresDeLasVigiladas()
{
    QStringList nombres;
    for (qsizetype i = 0; i < vigiladas.size(); ++i)
        nombres << QStringLiteral("Vigilada%1").arg(i);
    return nombres;
}

// "AND" one condition a watched column, binding the values read.
QString comoSeLeyo(const Oportunidad &leida, QVariantList &valores)
{
    if (leida.comoSeLeyo.size() != vigiladas.size())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La oportunidad %1 no se leyó completa: no puede guardarse").arg(leida.folio));
    QString condicion;
    for (qsizetype i = 0; i < vigiladas.size(); ++i) {
        const QVariant &valor = leida.comoSeLeyo.at(i);
        if (Runtime::isNull(valor)) {
            condicion += QStringLiteral(" AND Oportunidad.%1 IS NULL").arg(vigiladas.at(i));
        } else {
            condicion += QStringLiteral(" AND ") + vigiladaComoTexto(vigiladas.at(i)) + QStringLiteral(" = ?");
            valores << valor.toString();
        }
    }
    return condicion;
}

QVariant nulo()
{
    return QVariant(QMetaType::fromType<QString>());
}

QString columna(Dato dato)
{
    switch (dato) {
    case Dato::Descripcion: return QStringLiteral("Op_Descripcion");
    case Dato::Contacto: return QStringLiteral("Op_Contacto");
    case Dato::Vendedor: return QStringLiteral("Op_Cve_Vendedor");
    case Dato::Estado: return QStringLiteral("Op_Estado_Oportunidad");
    case Dato::Monto: return QStringLiteral("Op_Monto");
    case Dato::CierreEstimado: return QStringLiteral("Op_Fecha_Cierre_Estimada");
    }
    return {};
}

// What the column holds for that value: Null for an empty key (so "no contact" is stored as the
// board's joins expect it) or no date, the amount to the cent.
QVariant valorGuardado(const Oportunidad &oportunidad, Dato dato)
{
    const auto opcional = [](const QString &clave) { return clave.isEmpty() ? nulo() : QVariant(clave); };
    switch (dato) {
    case Dato::Descripcion: return oportunidad.descripcion;
    case Dato::Contacto: return opcional(oportunidad.contacto);
    case Dato::Vendedor: return oportunidad.vendedor;
    case Dato::Estado: return opcional(oportunidad.estado);
    case Dato::Monto: return montoAlCentavo(oportunidad.monto);
    case Dato::CierreEstimado:
        return oportunidad.cierreEstimado.isValid() ? QVariant(oportunidad.cierreEstimado.toString(formatoFecha))
                                                    : nulo();
    }
    return {};
}

} // namespace

namespace Oportunidades {

std::optional<Oportunidad> lee(const QString &folio)
{
    QStringList expresiones;
    const QStringList nombres = nombresDeLasVigiladas();
    for (qsizetype i = 0; i < vigiladas.size(); ++i)
        expresiones << vigiladaComoTexto(vigiladas.at(i)) + QStringLiteral(" AS ") + nombres.at(i);
    const auto renglon = primerRenglonTal(
        QStringLiteral("SELECT ") + expresiones.join(QStringLiteral(", "))
            + QStringLiteral(
                ", Op_Folio, Op_Descripcion, Op_Contacto, Op_Cve_Vendedor, Op_Estado_Oportunidad, "
                "Op_Monto, Op_Fecha_Cierre_Estimada, Cn_Nombre, Og_Nombre, Vn_Descripcion, Eo_Descripcion, "
                "Oportunidad.Es_Cve_Estado, Ci_Resultado, Vn_Nivel "
                "FROM Oportunidad "
                "LEFT JOIN Contacto ON Contacto.Cn_Cve_Contacto = Oportunidad.Op_Contacto "
                "LEFT JOIN Organizacion ON Organizacion.Og_Cve_Organizacion = Contacto.Cn_Organizacion "
                "LEFT JOIN Vendedor ON Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor "
                "LEFT JOIN Estado_Oportunidad "
                "ON Estado_Oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad "
                "LEFT JOIN Cierre_Oportunidad ON Cierre_Oportunidad.Ci_Folio = Oportunidad.Op_Folio "
                "WHERE Op_Folio = ?"),
        QStringList{QStringLiteral("Op_Folio"), QStringLiteral("Op_Descripcion"), QStringLiteral("Op_Contacto"),
                    QStringLiteral("Op_Cve_Vendedor"), QStringLiteral("Op_Estado_Oportunidad"),
                    QStringLiteral("Op_Monto"), QStringLiteral("Op_Fecha_Cierre_Estimada"), QStringLiteral("Cn_Nombre"),
                    QStringLiteral("Og_Nombre"), QStringLiteral("Vn_Descripcion"), QStringLiteral("Eo_Descripcion"),
                    QStringLiteral("Es_Cve_Estado"), QStringLiteral("Ci_Resultado"), QStringLiteral("Vn_Nivel")}
            + nombres,
        {folio});
    if (!renglon)
        return std::nullopt;
    QStringList campo;
    for (const QVariant &valor : renglon->mid(0, renglon->size() - nombres.size()))
        campo << Runtime::toTextOrEmpty(valor);
    Oportunidad oportunidad;
    oportunidad.comoSeLeyo = renglon->mid(campo.size());
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
    return primerRenglon(QStringLiteral("SELECT Op_Folio FROM Oportunidad WHERE Op_Folio = ?"),
                         {QStringLiteral("Op_Folio")}, {folio})
        .has_value();
}

void agrega(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios)
{
    const std::shared_ptr<Ado::Connection> conexion = servicios.entorno->Conexion();
    const QString operador = servicios.entorno->Operador();
    const QDate hoy = servicios.funciones->FechaActual().date();
    QStringList columnas{QStringLiteral("Op_Folio")};
    QVariantList valores{oportunidad.folio};
    for (const Dato dato : todosLosDatos) {
        columnas << columna(dato);
        valores << valorGuardado(oportunidad, dato);
    }
    columnas << QStringLiteral("Op_Fecha_Alta") << QStringLiteral("Es_Cve_Estado") << QStringLiteral("Oper_Alta");
    valores << hoy.toString(formatoFecha) << QStringLiteral("AC") << Ado::texts({operador});
    const QString marcas = QStringList(valores.size(), QStringLiteral("?")).join(QStringLiteral(", "));
    Ado::Transaction transaccion(*conexion);
    conexion->Execute(QStringLiteral("INSERT INTO Oportunidad (") + columnas.join(QStringLiteral(", "))
                          + QStringLiteral(") VALUES (") + marcas + QLatin1Char(')'),
                      valores);
    servicios.funciones->RegistraBitacora(entidad, oportunidad.folio, QStringLiteral("Alta"));
    transaccion.commit();
}

QList<Dato> diferencias(const Oportunidad &antes, const Oportunidad &despues)
{
    QList<Dato> distintos;
    for (const Dato dato : todosLosDatos) {
        const QVariant a = valorGuardado(antes, dato);
        const QVariant b = valorGuardado(despues, dato);
        if (a.isNull() != b.isNull() || a.toString() != b.toString())
            distintos << dato;
    }
    return distintos;
}

// Why a change found no row as it was read.
Escritura porQueNo(const QString &folio)
{
    const std::optional<Oportunidad> actual = lee(folio);
    if (!actual)
        return Escritura::YaNoExiste;
    if (actual->cancelada)
        return Escritura::Cancelada;
    return actual->cierre.isEmpty() ? Escritura::CambiadaPorOtro : Escritura::Cerrada;
}

// A closing commits a row of its own; on PostgreSQL the guarded update cannot see one made
// while it waited for the row, but a statement after it can.
bool cerrada(Ado::Connection &conexion, const QString &folio)
{
    return !conexion.Execute(QStringLiteral("SELECT Ci_Folio FROM Cierre_Oportunidad WHERE Ci_Folio = ?"), {folio})
                .atEnd();
}

Escritura actualiza(const Oportunidad &leida, const Oportunidad &nueva, const QList<Dato> &datos,
                    ServiciosDelAnfitrion &servicios)
{
    const std::shared_ptr<Ado::Connection> conexion = servicios.entorno->Conexion();
    QStringList asignaciones;
    QVariantList valores;
    for (const Dato dato : datos) {
        asignaciones << columna(dato) + QStringLiteral(" = ?");
        valores << valorGuardado(nueva, dato);
    }
    asignaciones << QStringLiteral("Oper_Ult_Modif = ?") << QStringLiteral("Fecha_Ult_Modif = ?");
    valores << servicios.entorno->Operador()
            << servicios.funciones->FormatoFechaModificacion(servicios.funciones->FechaActual()) << leida.folio;
    const QString sql = QStringLiteral("UPDATE Oportunidad SET ") + asignaciones.join(QStringLiteral(", "))
                        + QStringLiteral(" WHERE Op_Folio = ?") + comoSeLeyo(leida, valores);

    Ado::Transaction transaccion(*conexion);
    qint64 cambiadas = 0;
    conexion->Execute(sql, valores, &cambiadas);
    if (cambiadas == 0)
        return porQueNo(leida.folio);
    if (cerrada(*conexion, leida.folio))
        return Escritura::Cerrada;
    servicios.funciones->RegistraBitacora(entidad, leida.folio, QStringLiteral("Modificación"));
    transaccion.commit();
    return Escritura::Hecha;
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

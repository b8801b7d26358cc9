#include "configuracionminima.h"

#include "ado/connection.h"

#include <QStringList>

namespace Datos {

void ConfiguracionMinima::cambiaVariable(const QString &nombre, const QString &valor)
{
    for (VariableDeLaSuite &variable : variables) {
        if (variable.nombre == nombre)
            variable.valor = valor;
    }
}

const ConsultaGuardada &vistaDeTodas()
{
    static const ConsultaGuardada vista{
        QStringLiteral("CONTROL_OPORTUNIDADES"), QStringLiteral("Todas las oportunidades abiertas"),
        QStringLiteral("SELECT Oportunidad.Op_Folio AS \"Folio\", "
                       "Oportunidad.Op_Descripcion AS \"Descripción\", "
                       "Contacto.Cn_Nombre AS \"Contacto\", "
                       "Organizacion.Og_Nombre AS \"Organización\", "
                       "Vendedor.Vn_Descripcion AS \"Vendedor\", "
                       "Estado_Oportunidad.Eo_Descripcion AS \"Estado\", "
                       "Oportunidad.Op_Monto AS \"Monto\", "
                       "Oportunidad.Op_Fecha_Cierre_Estimada AS \"Cierre estimado\" "
                       "FROM Oportunidad "
                       "INNER JOIN Vendedor ON Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor "
                       "LEFT JOIN Contacto ON Contacto.Cn_Cve_Contacto = Oportunidad.Op_Contacto "
                       "LEFT JOIN Organizacion ON Organizacion.Og_Cve_Organizacion = Contacto.Cn_Organizacion "
                       "LEFT JOIN Estado_Oportunidad ON Estado_Oportunidad.Eo_Cve_Estado_Oportunidad = "
                       "Oportunidad.Op_Estado_Oportunidad "
                       "WHERE Oportunidad.Es_Cve_Estado <> 'CA' "
                       "AND NOT EXISTS (SELECT 1 FROM Cierre_Oportunidad WHERE Cierre_Oportunidad.Ci_Folio = "
                       "Oportunidad.Op_Folio) "
                       "AND {PARAMETROS} "
                       "ORDER BY Oportunidad.Op_Folio")};
    return vista;
}

ConfiguracionMinima configuracionMinima()
{
    // Colours are 0xBBGGRR: "&H0000C0" is a dark red, "&HC06000" a blue.
    return {
        .estados =
            {{QStringLiteral("PRO"), QStringLiteral("Prospección"), QStringLiteral("&H808080"), QStringLiteral("NO")},
             {QStringLiteral("CAL"), QStringLiteral("Calificada"), QStringLiteral("&H8B6914"), QStringLiteral("NO")},
             {QStringLiteral("PRE"), QStringLiteral("Propuesta enviada"), QStringLiteral("&HC06000"),
              QStringLiteral("NO")},
             {QStringLiteral("NEG"), QStringLiteral("Negociación"), QStringLiteral("&H0060D0"), QStringLiteral("SI")},
             {QStringLiteral("CIE"), QStringLiteral("Cierre inminente"), QStringLiteral("&H0000C0"),
              QStringLiteral("SI")},
             {QStringLiteral("ESP"), QStringLiteral("En espera"), QStringLiteral("&H008080"), QStringLiteral("NO")},
             {QStringLiteral("REV"), QStringLiteral("En revisión"), QStringLiteral("&H008000"), QStringLiteral("NO")},
             {QStringLiteral("REA"), QStringLiteral("Reactivada"), QStringLiteral("&H800080"), QStringLiteral("SI")}},
        .causas = {{1, QStringLiteral("Precio"), QStringLiteral("AC")},
                   {2, QStringLiteral("Eligió a la competencia"), QStringLiteral("AC")},
                   {3, QStringLiteral("Sin presupuesto"), QStringLiteral("AC")},
                   {4, QStringLiteral("Tiempo de entrega"), QStringLiteral("AC")}},
        .consultas = {vistaDeTodas()},
        .variables = {{QStringLiteral("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES"), QStringLiteral("4")},
                      {QStringLiteral("CRM_VISTA_CONTROL_OPORTUNIDADES"),
                       QStringLiteral("TODOS|") + vistaDeTodas().clave},
                      // Empty: a won opportunity is closed from the board itself.
                      {QStringLiteral("CRM_TRANSACCION_OPORTUNIDAD_GANADA"), QStringLiteral("")},
                      {QStringLiteral("FTO_VENDEDOR"), QStringLiteral("")}},
    };
}

void insertaConfiguracion(Ado::Connection &conexion, const ConfiguracionMinima &configuracion)
{
    for (const EstadoDeOportunidad &estado : configuracion.estados)
        insertaFila(conexion, QStringLiteral("Estado_Oportunidad"),
                    {estado.clave, estado.descripcion, estado.color, estado.negrilla});
    for (const CausaDePerdida &causa : configuracion.causas)
        insertaFila(conexion, QStringLiteral("Causa_Oportunidad_Perdida"),
                    {causa.clave, causa.descripcion, causa.estado});
    for (const ConsultaGuardada &consulta : configuracion.consultas)
        insertaFila(conexion, QStringLiteral("Consulta"), {consulta.clave, consulta.descripcion, consulta.sql});
    for (const VariableDeLaSuite &variable : configuracion.variables)
        insertaFila(conexion, QStringLiteral("Variable"), {variable.nombre, variable.valor});
}

void insertaFila(Ado::Connection &conexion, const QString &tabla, const QVariantList &valores)
{
    const QStringList marcas(valores.size(), QStringLiteral("?"));
    conexion.Execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, marcas.join(QStringLiteral(", "))),
                     valores);
}

} // namespace Datos

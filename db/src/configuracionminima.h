#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

namespace Ado {
class Connection;
}

namespace Datos {

struct EstadoDeOportunidad
{
    QString clave;
    QString descripcion;
    QString color; // as the suite keeps it: "&H" and the hexadecimal digits of 0xBBGGRR
    QString negrilla;
};

struct CausaDePerdida
{
    int clave;
    QString descripcion;
    QString estado; // "AC" offered in the picker, "BA" withdrawn
};

struct ConsultaGuardada
{
    QString clave;
    QString descripcion;
    QString sql; // holds "{PARAMETROS}" where the salesperson's condition goes
};

struct VariableDeLaSuite
{
    QString nombre;
    QString valor;
};

// The rows without which the board cannot be used: states to colour rows and to move an
// opportunity to, causes to close one as lost, a view and the variables the board reads at
// load. A new database gets them as they are; the demo extends them.
struct ConfiguracionMinima
{
    QList<EstadoDeOportunidad> estados;
    QList<CausaDePerdida> causas;
    QList<ConsultaGuardada> consultas;
    QList<VariableDeLaSuite> variables;

    void cambiaVariable(const QString &nombre, const QString &valor);
};

ConfiguracionMinima configuracionMinima();

// The view every database starts with: every open opportunity the salesperson may see.
const ConsultaGuardada &vistaDeTodas();

void insertaConfiguracion(Ado::Connection &conexion, const ConfiguracionMinima &configuracion);

// One row with its values bound, in the table's column order.
void insertaFila(Ado::Connection &conexion, const QString &tabla, const QVariantList &valores);

} // namespace Datos

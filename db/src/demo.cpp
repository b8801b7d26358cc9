#include "datos/demo.h"

#include "configuracionminima.h"

#include "ado/connection.h"
#include "ado/transaction.h"
#include "datos/esquema.h"
#include "runtime/error.h"
#include "servicios/contrasenavendedor.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>
#include <QTemporaryFile>

#include <array>
#include <filesystem>
#include <system_error>

namespace Datos {
namespace {

constexpr int ErrorDeArchivo = 75;
constexpr int esperaDelCerrojo = 120000; // ms; another host builds the demo in well under a second

// Every database's configuration, with a second view to switch to, a screen of its own for
// won opportunities and a withdrawn cause.
ConfiguracionMinima configuracionDeDemo()
{
    ConfiguracionMinima configuracion = configuracionMinima();
    QString negociacion = vistaDeTodas().sql;
    negociacion.replace(QStringLiteral("AND {PARAMETROS}"),
                        QStringLiteral("AND Oportunidad.Op_Estado_Oportunidad IN ('NEG', 'CIE') AND {PARAMETROS}"));
    configuracion.consultas << ConsultaGuardada{QStringLiteral("OPORTUNIDADES_NEGOCIACION"),
                                                QStringLiteral("Oportunidades en negociación o por cerrar"),
                                                negociacion};
    configuracion.cambiaVariable(
        QStringLiteral("CRM_VISTA_CONTROL_OPORTUNIDADES"),
        QStringLiteral("TODOS|CONTROL_OPORTUNIDADES,EN NEGOCIACIÓN|OPORTUNIDADES_NEGOCIACION"));
    // Won opportunities are registered in a screen of their own, which the host opens.
    configuracion.cambiaVariable(QStringLiteral("CRM_TRANSACCION_OPORTUNIDAD_GANADA"), QStringLiteral("KLD247"));
    configuracion.causas << CausaDePerdida{5, QStringLiteral("Proyecto cancelado por el cliente"), QStringLiteral("BA")}
                         << CausaDePerdida{12, QStringLiteral("Otra causa"), QStringLiteral("AC")};
    return configuracion;
}

// The states opportunities are spread over, in a fixed order so every run builds the same rows.
const QList<EstadoDeOportunidad> &estados()
{
    static const QList<EstadoDeOportunidad> lista = configuracionMinima().estados;
    return lista;
}

struct Vendedor
{
    const char *clave;
    const char *nombre;
    int nivel;
    const char *estado;
};

constexpr std::array vendedores = {
    Vendedor{"V001", "Ana Torres", 3, "AC"},   Vendedor{"V002", "Bruno Díaz", 2, "AC"},
    Vendedor{"V003", "Carla Méndez", 2, "AC"}, Vendedor{"V004", "Diego Ruiz", 1, "AC"},
    Vendedor{"V005", "Elena Soto", 1, "BA"},   Vendedor{"V006", "Fernando Gil", 1, "AC"},
};

constexpr std::array organizaciones = {
    std::array{"ORG01", "Aceros del Norte", "Monterrey", "81 8340 1200"},
    std::array{"ORG02", "Distribuidora La Paz", "Guadalajara", "33 3615 0090"},
    std::array{"ORG03", "Hospital San Rafael", "Puebla", "222 240 7788"},
    std::array{"ORG04", "Grupo Constructor Ávila", "Querétaro", "442 215 3300"},
    std::array{"ORG05", "Textiles Señorial", "León", "477 712 4455"},
};

constexpr std::array contactos = {
    std::array{"C001", "María Fernández", "ORG01"}, std::array{"C002", "José Hernández", "ORG01"},
    std::array{"C003", "Lucía Ramírez", "ORG02"},   std::array{"C004", "Jorge Castillo", "ORG03"},
    std::array{"C005", "Sofía Morales", "ORG04"},   std::array{"C006", "Ricardo Peña", "ORG05"},
    std::array{"C007", "Patricia Núñez", ""},       std::array{"C008", "Andrés O'Connor", ""},
    std::array{"C009", "Gabriela Ríos", "ORG02"},   std::array{"C010", "Héctor Vázquez", "ORG03"},
};

constexpr std::array productos = {
    "Licencias ERP", "Equipo de cómputo", "Mantenimiento anual", "Póliza de soporte",      "Capacitación",
    "Servidores",    "Red inalámbrica",   "Consultoría",         "Renovación de contrato", "Migración a la nube"};

void cargaCatalogos(Ado::Connection &conexion)
{
    for (const Vendedor &vendedor : vendedores)
        insertaFila(conexion, QStringLiteral("Vendedor"),
                    {QString::fromUtf8(vendedor.clave), QString::fromUtf8(vendedor.nombre), vendedor.nivel, QVariant(),
                     QString::fromUtf8(vendedor.estado)});
    Servicios::guardaContrasenaDeTodos(conexion, ContrasenaDemo);
    for (const auto &organizacion : organizaciones)
        insertaFila(conexion, QStringLiteral("Organizacion"),
                    {QString::fromUtf8(organizacion[0]), QString::fromUtf8(organizacion[1]),
                     QString::fromUtf8(organizacion[2]), QString::fromUtf8(organizacion[3])});
    int telefono = 5500;
    for (const auto &contacto : contactos) {
        const QString clave = QString::fromUtf8(contacto[0]);
        ++telefono;
        insertaFila(conexion, QStringLiteral("Contacto"),
                    {clave, QString::fromUtf8(contacto[1]), QString::fromUtf8(contacto[2]),
                     QStringLiteral("55 %1 %2").arg(telefono).arg(telefono + 1000),
                     clave.toLower() + QStringLiteral("@ejemplo.mx")});
    }
}

void cargaOperadores(Ado::Connection &conexion)
{
    const QList<std::array<QString, 3>> operadores = {
        {QStringLiteral("GERENTE"), QStringLiteral("Ana Torres"), QStringLiteral("V001")},
        {QStringLiteral("SUPERVISOR"), QStringLiteral("Bruno Díaz"), QStringLiteral("V002")},
        {QStringLiteral("VENDEDOR"), QStringLiteral("Diego Ruiz"), QStringLiteral("V004")},
        {QStringLiteral("ADMIN"), QStringLiteral("Administrador del sistema"), QStringLiteral("")},
        {QStringLiteral("CAPTURISTA"), QStringLiteral("Capturista de ventas"), QStringLiteral("")},
    };
    for (const auto &operador : operadores)
        insertaFila(conexion, QStringLiteral("Operador"), {operador[0], operador[1], operador[2]});
    for (const QString &opcion : {QStringLiteral("TOOLB2"), QStringLiteral("KLD251")})
        insertaFila(conexion, QStringLiteral("Opcion_Restringida"),
                    {QStringLiteral("CAPTURISTA"), QStringLiteral("KLD251"), opcion});
}

// A small deterministic generator, so every run builds the same rows.
quint32 siguiente(quint32 &semilla)
{
    semilla = semilla * 1664525u + 1013904223u;
    return semilla >> 8;
}

QStringList valoresDeOportunidad(int numero)
{
    quint32 semilla = quint32(numero) * 2654435761u;
    const Vendedor &vendedor = vendedores[siguiente(semilla) % vendedores.size()];
    const auto &contacto = contactos[siguiente(semilla) % contactos.size()];
    const EstadoDeOportunidad &estado = estados().at(qsizetype(siguiente(semilla) % quint32(estados().size())));
    const QString producto = QString::fromUtf8(productos[siguiente(semilla) % productos.size()]);
    QString organizacion;
    for (const auto &candidata : organizaciones) {
        if (qstrcmp(candidata[0], contacto[2]) == 0)
            organizacion = QString::fromUtf8(candidata[1]);
    }
    const double monto = double(5000 + siguiente(semilla) % 995000) + double(siguiente(semilla) % 100) / 100.0;
    const QDate alta = QDate(2026, 1, 5).addDays(int(siguiente(semilla) % 330));
    const QDate cierre = alta.addDays(15 + int(siguiente(semilla) % 120));
    return {
        QStringLiteral("OP-%1").arg(numero, 6, 10, QLatin1Char('0')),
        producto + (organizacion.isEmpty() ? QString() : QStringLiteral(" — ") + organizacion),
        QString::fromUtf8(vendedor.clave),
        QString::fromUtf8(contacto[0]),
        estado.clave,
        QString::number(monto, 'f', 2),
        alta.toString(Qt::ISODate),
        cierre.toString(Qt::ISODate),
        QStringLiteral("AC"),
        QStringLiteral("GERENTE"),
    };
}

// A file an interrupted or raced start left behind (empty, or without the suite's tables)
// is no database: it is built again. A file that cannot be read raises instead, so a demo
// database in use is never rebuilt under its user.
bool tieneTablas(const QString &archivo)
{
    if (QFileInfo(archivo).size() == 0)
        return false;
    Ado::DatabaseAddress direccion;
    direccion.path = archivo;
    Ado::Connection conexion(direccion);
    const Ado::Recordset tablas = conexion.Execute(
        QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"));
    return tablas.field(0).toInt() > 0;
}

// Builds a crash interrupted, now or in versions that built it as "<archivo>.nueva": while
// this process holds the lock, no other is building.
void quitaConstruccionesInterrumpidas(const QString &archivo)
{
    const QFileInfo demo(archivo);
    QDir carpeta = demo.absoluteDir();
    for (const QString &sobrante : carpeta.entryList({demo.fileName() + QStringLiteral("*.nueva*")}, QDir::Files))
        carpeta.remove(sobrante);
}

// Only a complete database takes the demo's name: it is built in a file of its own and
// renamed in one step, replacing whatever unusable file had the name.
void construyeBaseDemo(const QString &archivo, int oportunidades)
{
    QTemporaryFile nueva(archivo + QStringLiteral(".XXXXXX.nueva"));
    if (!nueva.open())
        Runtime::raise(
            ErrorDeArchivo,
            QStringLiteral("No se pudo crear la base de demostración %1: %2").arg(archivo, nueva.errorString()));
    nueva.close();
    {
        Ado::DatabaseAddress direccion;
        direccion.path = nueva.fileName();
        Ado::Connection conexion(direccion);
        creaEsquema(conexion);
        cargaDemo(conexion, oportunidades);
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(nueva.fileName()).toStdString(), QFile::encodeName(archivo).toStdString(),
                            error);
    if (error)
        Runtime::raise(ErrorDeArchivo, QStringLiteral("No se pudo crear la base de demostración %1: %2")
                                           .arg(archivo, QString::fromLocal8Bit(error.message())));
    nueva.setAutoRemove(false);
}

} // namespace

void generaOportunidades(Ado::Connection &conexion, int cantidad, int primerNumero)
{
    constexpr int porSentencia = 500;
    const QString encabezado = QStringLiteral(
        "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Estado_Oportunidad, "
        "Op_Monto, Op_Fecha_Alta, Op_Fecha_Cierre_Estimada, Es_Cve_Estado, Oper_Alta) VALUES ");
    const QString marcas = QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int inicio = 0; inicio < cantidad; inicio += porSentencia) {
        QStringList filas;
        QVariantList valores;
        for (int numero = inicio; numero < std::min(cantidad, inicio + porSentencia); ++numero) {
            filas << marcas;
            for (const QString &valor : valoresDeOportunidad(primerNumero + numero))
                valores << valor;
        }
        conexion.Execute(encabezado + filas.join(QStringLiteral(", ")), valores);
    }
}

void agregaDemo(Ado::Connection &conexion, int oportunidades)
{
    insertaConfiguracion(conexion, configuracionDeDemo());
    cargaCatalogos(conexion);
    cargaOperadores(conexion);
    generaOportunidades(conexion, oportunidades);
}

void cargaDemo(Ado::Connection &conexion, int oportunidades)
{
    Ado::Transaction transaccion(conexion);
    agregaDemo(conexion, oportunidades);
    transaccion.commit();
}

bool aseguraBaseDemo(const QString &archivo, int oportunidades)
{
    QDir().mkpath(QFileInfo(archivo).absolutePath());
    // Hosts started together on a fresh account: one builds, the others wait and use it.
    QLockFile cerrojo(archivo + QStringLiteral(".lock"));
    cerrojo.setStaleLockTime(0); // a build may outlast any fixed age; a dead holder's lock is still taken over
    if (!cerrojo.tryLock(esperaDelCerrojo))
        Runtime::raise(
            ErrorDeArchivo,
            cerrojo.error() == QLockFile::LockFailedError
                ? QStringLiteral("Otro programa está creando la base de demostración %1 y no termina").arg(archivo)
                : QStringLiteral("No se pudo crear el cerrojo %1.lock").arg(archivo));
    if (tieneTablas(archivo))
        return false;
    quitaConstruccionesInterrumpidas(archivo);
    construyeBaseDemo(archivo, oportunidades);
    return true;
}

} // namespace Datos

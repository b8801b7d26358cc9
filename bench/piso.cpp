#include "piso.h"

#include "medicion.h"

#include <QAtomicInteger>
#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <stdexcept>

namespace Banco {
namespace {

QString nombreNuevo()
{
    static QAtomicInteger<quint64> contador;
    return QStringLiteral("banco-%1").arg(contador.fetchAndAddRelaxed(1));
}

[[noreturn]] void falla(const QString &que, const QSqlError &error)
{
    throw std::runtime_error((que + QStringLiteral(": ") + error.text()).toStdString());
}

// The generated opportunities are all open and the level-3 view lists every one, so the
// looks of every opportunity are the looks of the listed rows.
const QString aspectos = QStringLiteral(
    "SELECT Oportunidad.Op_Folio, Estado_Oportunidad.Eo_Hexadecimal, Estado_Oportunidad.Eo_Negrilla "
    "FROM Oportunidad INNER JOIN Estado_Oportunidad "
    "ON Estado_Oportunidad.Eo_Cve_Estado_Oportunidad = Oportunidad.Op_Estado_Oportunidad");

} // namespace

ConexionPlana::ConexionPlana(const Ado::DatabaseAddress &direccion)
    : m_nombre(nombreNuevo())
{
    const bool sqlite = direccion.engine == Ado::Engine::SQLite;
    m_base = QSqlDatabase::addDatabase(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), m_nombre);
    if (sqlite) {
        m_base.setDatabaseName(direccion.path);
        // A writer waits for the board's reading to end, as another user's program would.
        m_base.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    } else {
        m_base.setHostName(direccion.host);
        m_base.setPort(direccion.port);
        m_base.setUserName(direccion.user);
        m_base.setPassword(direccion.password);
        m_base.setDatabaseName(direccion.database);
    }
    if (!m_base.open()) {
        const QSqlError error = m_base.lastError();
        m_base = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombre);
        falla(QStringLiteral("No se pudo abrir ") + direccion.toDisplayString(), error);
    }
}

ConexionPlana::~ConexionPlana()
{
    m_base.close();
    m_base = QSqlDatabase(); // the registry keeps no handle in use when the name goes
    QSqlDatabase::removeDatabase(m_nombre);
}

void ConexionPlana::ejecuta(const QString &sentencia)
{
    QSqlQuery consulta(m_base);
    if (!consulta.exec(sentencia))
        falla(sentencia.left(80), consulta.lastError());
}

QVariant ConexionPlana::primerValor(const QString &texto)
{
    QSqlQuery consulta(m_base);
    consulta.setForwardOnly(true);
    if (!consulta.exec(texto))
        falla(texto.left(80), consulta.lastError());
    return consulta.next() ? consulta.value(0) : QVariant();
}

QString consultaDeLaVista(ConexionPlana &conexion)
{
    QString vista = conexion
                        .primerValor(QStringLiteral(
                            "SELECT Cs_Sql FROM Consulta WHERE Cs_Cve_Consulta = 'CONTROL_OPORTUNIDADES'"))
                        .toString();
    if (vista.isEmpty())
        throw std::runtime_error("La base no tiene la consulta CONTROL_OPORTUNIDADES");
    return vista.replace(QStringLiteral("{PARAMETROS}"), QStringLiteral(" (1 = 1) "));
}

Piso::Piso(const Ado::DatabaseAddress &direccion, int filas)
    : m_conexion(direccion)
    , m_vista(consultaDeLaVista(m_conexion))
    , m_filas(filas)
{ }

double Piso::mide()
{
    int listadas = 0;
    const double tiempo = milisegundosDe([&] {
        listadas = lee(m_vista);
        lee(aspectos);
    });
    if (listadas != m_filas)
        qWarning() << "el piso leyó" << listadas << "de" << m_filas << "oportunidades";
    return tiempo;
}

int Piso::lee(const QString &texto)
{
    QSqlQuery consulta(m_conexion.base());
    consulta.setForwardOnly(true);
    if (!consulta.exec(texto))
        falla(texto.left(80), consulta.lastError());
    const int campos = consulta.record().count();
    int renglones = 0;
    for (; consulta.next(); ++renglones) {
        for (int campo = 0; campo < campos; ++campo)
            m_caracteres += consulta.value(campo).toString().size();
    }
    return renglones;
}

} // namespace Banco

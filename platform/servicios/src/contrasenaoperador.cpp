#include "servicios/contrasenaoperador.h"

#include "clavesecreta.h"

#include "servicios/usuarios.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "runtime/error.h"

#include <sodium.h>

#include <array>

namespace Servicios {
namespace {

// The interactive limits: about a tenth of a second and 64 MiB on a desktop, which a
// person signing in does not notice and a guesser pays on every try.
constexpr auto costeDeOperaciones = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr auto costeDeMemoria = crypto_pwhash_MEMLIMIT_INTERACTIVE;

// Checked against when the stored hash is unusable, so refusing takes the usual time.
const QByteArray &huellaDeRelleno()
{
    static const QByteArray relleno = HuellaDeContrasena::calcula(QStringLiteral("relleno")).toLatin1();
    return relleno;
}

} // namespace

QString HuellaDeContrasena::calcula(const QString &clara)
{
    iniciaSodium();
    const QByteArray texto = clara.toUtf8();
    std::array<char, crypto_pwhash_STRBYTES> huella{};
    if (crypto_pwhash_str(huella.data(), texto.constData(), quint64(texto.size()), costeDeOperaciones, costeDeMemoria)
        != 0)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No hay memoria suficiente para guardar la contraseña"));
    return QString::fromLatin1(huella.data());
}

bool HuellaDeContrasena::coincide(const QString &huella, const QString &clara)
{
    iniciaSodium();
    const QByteArray texto = clara.toUtf8();
    const QByteArray guardada = huella.toLatin1();
    const bool usable = !guardada.isEmpty() && guardada.size() < qsizetype(crypto_pwhash_STRBYTES)
                        && guardada.startsWith(crypto_pwhash_STRPREFIX);
    const QByteArray &revisada = usable ? guardada : huellaDeRelleno();
    const bool igual = crypto_pwhash_str_verify(revisada.constData(), texto.constData(), quint64(texto.size())) == 0;
    return usable && igual;
}

std::optional<OperadorGuardado> leeOperador(const QString &codigo)
{
    const Ado::Recordset fila = Ado::Session::connection()->Execute(
        QStringLiteral("SELECT Ope_Cve_Operador, Oc_Huella FROM Operador "
                       "LEFT JOIN Operador_Contrasena ON Oc_Cve_Operador = Ope_Cve_Operador "
                       "WHERE UPPER(Ope_Cve_Operador) = UPPER(?) "
                       "ORDER BY CASE WHEN Ope_Cve_Operador = ? THEN 0 ELSE 1 END"),
        {codigo, codigo});
    if (fila.atEnd())
        return std::nullopt;
    return OperadorGuardado{fila.field(0).toString(), fila.field(1).toString()};
}

namespace {

// The server keeps the password of a person's login role; it lets the person or an
// administrator change it, nobody else.
void ponContrasenaEnElServidor(Ado::Connection &conexion, const QString &codigoOperador, const QString &clara)
{
    const QString rol = rolDeOperador(conexion.address().database, codigoOperador);
    conexion.Execute(QStringLiteral("SELECT teqvaro_pon_contrasena_operador(?, ?)"),
                     Ado::texts({codigoOperador.trimmed(), conexion.passwordVerifier(rol, clara)}));
}

} // namespace

void ponContrasenaOperador(const QString &codigoOperador, const QString &clara)
{
    revisaContrasenaNueva(clara);
    const std::shared_ptr<Ado::Connection> conexion = Ado::Session::connection();
    if (derechosEnElServidor(*conexion))
        return ponContrasenaEnElServidor(*conexion, codigoOperador, clara);
    const QString huella = HuellaDeContrasena::calcula(clara);
    Ado::Transaction transaccion(*conexion);
    const std::optional<OperadorGuardado> operador = leeOperador(codigoOperador);
    if (!operador)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No existe el operador %1").arg(codigoOperador));
    // One statement: another setting of the same password committed meanwhile is replaced, not
    // tripped over (a delete and an insert would insert beside the other's new row).
    conexion->Execute(QStringLiteral("INSERT INTO Operador_Contrasena (Oc_Cve_Operador, Oc_Huella) VALUES (?, ?) "
                                     "ON CONFLICT (Oc_Cve_Operador) DO UPDATE SET Oc_Huella = excluded.Oc_Huella"),
                      {operador->codigo, huella});
    transaccion.commit();
}

} // namespace Servicios

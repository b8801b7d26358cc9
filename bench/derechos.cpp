// A full reload (F5) as a person under the server's row-level security, against the same
// reload as the tables' owner, to whom no policy applies: what the policies cost a board
// that lists every row. The database is converted for it, so it is the last measurement of
// its size.
#include "anfitrion.h"
#include "mediciones.h"
#include "tablero.h"

#include "ado/session.h"

#include <stdexcept>

namespace Banco {
namespace {

// Who a reload reads as. The owner role cannot sign in, and an address takes no libpq
// "options" (the connection writes its own), so the owner's side signs in as the server's
// administrator and takes the owner's role before its first reading, as "-c role=" would at
// sign-in: the reading is then the owner's, not a superuser's.
struct Lector
{
    Ado::DatabaseAddress direccion;
    QString rol; // taken once signed in; "" keeps the one who signed in

    QString quienLee() const { return rol.isEmpty() ? direccion.user : rol; }
};

QString identificador(const QString &nombre)
{
    return QLatin1Char('"') + QString(nombre).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void entraComo(const Lector &lector)
{
    Ado::Session::configure(lector.direccion);
    if (!lector.rol.isEmpty())
        Ado::Session::connection()->Execute(QStringLiteral("SET ROLE ") + identificador(lector.rol));
}

// Each turn signs in afresh, and a new connection's first reading fills the server's caches
// for it: an untimed reload goes first, as a user's F5 comes on a board open for a while.
void entraYCalienta(const Lector &lector, Tablero &tablero)
{
    entraComo(lector);
    tablero.recargaPintada();
}

// A side that lost its rows or its role (the session reopens a dropped connection as who
// signed in) would make the ratio say nothing: the run stops instead.
void exigeLecturaCompleta(const Lector &lector, const Tablero &tablero)
{
    const QString actual =
        Ado::Session::connection()->Execute(QStringLiteral("SELECT current_user")).field(0).toString();
    if (actual != lector.quienLee())
        throw std::runtime_error(("La recarga de " + lector.quienLee() + " se leyó como " + actual).toStdString());
    if (tablero.listadas() != tablero.filas())
        throw std::runtime_error(QStringLiteral("%1 ve %2 de %3 oportunidades")
                                     .arg(lector.quienLee())
                                     .arg(tablero.listadas())
                                     .arg(tablero.filas())
                                     .toStdString());
}

// Two reloads a few percent apart need more pairs than a ratio to the floor for a median
// that holds from one run to the next.
int vecesPara(const Plan &plan)
{
    return plan.veces * 4 + 1;
}

} // namespace

// The owner's reload takes the floor's place in the ratio: both sides are timed in turns,
// each beside the other, so a machine that slows down for a while slows both.
void mideConDerechos(const Corrida &corrida, const Base &base, const Plan &plan)
{
    const Lector persona{convierteConDerechos(base, operadorDelBanco, QLatin1String(contrasenaDelBanco)), {}};
    const Lector dueno{base.direccion, duenoDeLasTablas(base)};
    iniciaSesion(dueno.direccion);
    {
        Tablero tablero(corrida.filas);
        entraComo(dueno);
        tablero.muestra(limiteDePintura);
        const auto comoDueno = [&] {
            entraYCalienta(dueno, tablero);
            const double tiempo = milisegundosDe([&] { tablero.recargaCompleta(); });
            exigeLecturaCompleta(dueno, tablero);
            return tiempo;
        };
        const Lado comoPersona{.prepara = [&] { entraYCalienta(persona, tablero); },
                               .mide = [&] { tablero.recargaCompleta(); },
                               .revisa = [&] { exigeLecturaCompleta(persona, tablero); }};
        const Razon razon = razonAlPiso(vecesPara(plan), comoDueno, comoPersona);
        imprime(corrida.nombre(QStringLiteral("rls_reload_owner")), razon.piso, QStringLiteral("ms"));
        imprime(corrida.nombre(QStringLiteral("rls_reload")), razon.tiempo, QStringLiteral("ms"));
        imprime(corrida.nombre(QStringLiteral("rls_reload")) + QStringLiteral("_ratio"), razon.razon,
                QStringLiteral("x"));
    }
    terminaSesion();
}

} // namespace Banco

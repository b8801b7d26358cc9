#pragma once

#include <QString>

struct ServiciosDelAnfitrion;

namespace Pantallas {

struct Oportunidad;

// What the session's salesperson may reach from the host's screens. The board lists only
// the opportunities its salesperson's level lets him see and hides the won button from
// operators without that option; a request that names a folio must not get around either,
// so every screen asks here before it opens.
class Alcance
{
public:
    // The operator's salesperson and his level, read as the board reads them.
    static Alcance delOperador(ServiciosDelAnfitrion &servicios);

    // Why he may reach no opportunity at all (no salesperson, a level the board knows not),
    // or "" when he has a reach.
    QString motivoSinAlcance() const;
    // Why the salesperson may not open it, or "" when he may.
    QString motivoParaNoVer(const Oportunidad &oportunidad) const;
    // Why the operator may not register won opportunities, or "" when he may.
    QString motivoParaNoGanar() const;

    // The salespeople whose opportunities he sees, as a condition on Vendedor; its only value,
    // when it has one, binds to its "?". Nothing is seen when the level gives no condition.
    QString condicionDeVendedores() const;
    bool condicionUsaVendedor() const { return m_nivel == 1; }
    QString vendedor() const { return m_vendedor; }

private:
    QString m_operador;
    QString m_vendedor;
    int m_nivel = 0;
    bool m_ganadaRestringida = true;
};

} // namespace Pantallas

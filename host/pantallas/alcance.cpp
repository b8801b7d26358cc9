#include "alcance.h"

#include "oportunidades.h"
#include "servicioshost.h"

#include "runtime/conversions.h"
#include "runtime/error.h"

namespace Pantallas {
namespace {

// The board's levels: 1 sees his own, 2 those of every salesperson of level 2, 3 all.
constexpr int Propias = 1;
constexpr int DeSuNivel = 2;
constexpr int Todas = 3;

// A level the board could not read filters nothing in: none.
int nivelLeido(const QString &texto)
{
    try {
        return texto.trimmed().isEmpty() ? 0 : Runtime::toInteger16(texto);
    } catch (const Runtime::RuntimeError &) {
        return 0;
    }
}

} // namespace

Alcance Alcance::delOperador(ServiciosDelAnfitrion &servicios)
{
    Alcance alcance;
    alcance.m_operador = servicios.entorno->Operador();
    alcance.m_vendedor = servicios.funciones->VendedorDeOperador(alcance.m_operador);
    if (!alcance.m_vendedor.isEmpty())
        alcance.m_nivel = nivelLeido(servicios.funciones->BuscaCampo(
            QStringLiteral("Vendedor"), QStringLiteral("VN_CVE_VENDEDOR"), alcance.m_vendedor,
            QStringLiteral("Vn_Nivel"), 0, QString(), QString(), QString()));
    alcance.m_ganadaRestringida = servicios.entorno->OpcionRestringida(
        QStringLiteral("KLD251"), QStringLiteral("KLD251"), QStringLiteral("No disponible"));
    return alcance;
}

QString Alcance::motivoSinAlcance() const
{
    if (m_vendedor.isEmpty())
        return QStringLiteral("El operador %1 no tiene vendedor asignado: no puede abrir oportunidades.")
            .arg(m_operador);
    if (m_nivel < Propias || m_nivel > Todas)
        return QStringLiteral("El nivel del vendedor %1 no le permite ver oportunidades.").arg(m_vendedor);
    return {};
}

QString Alcance::motivoParaNoVer(const Oportunidad &oportunidad) const
{
    if (QString motivo = motivoSinAlcance(); !motivo.isEmpty())
        return motivo;
    const bool visible = m_nivel == Todas || (m_nivel == Propias && oportunidad.vendedor == m_vendedor)
                         || (m_nivel == DeSuNivel && nivelLeido(oportunidad.nivelVendedor) == DeSuNivel);
    return visible ? QString()
                   : QStringLiteral("La oportunidad %1 no está entre las que puede ver el vendedor %2.")
                         .arg(oportunidad.folio, m_vendedor);
}

QString Alcance::motivoParaNoGanar() const
{
    return m_ganadaRestringida
               ? QStringLiteral("El operador %1 no tiene permiso para registrar oportunidades ganadas.").arg(m_operador)
               : QString();
}

QString Alcance::condicionDeVendedores() const
{
    switch (m_nivel) {
    case Propias: return QStringLiteral("Vendedor.Vn_Cve_Vendedor = ?");
    case DeSuNivel: return QStringLiteral("Vendedor.Vn_Nivel = 2");
    case Todas: return QStringLiteral("1 = 1");
    default: return QStringLiteral("1 = 0");
    }
}

} // namespace Pantallas

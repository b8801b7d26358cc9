#include "solicitudes.h"

#include "pantallas/alcance.h"
#include "pantallas/fichacontacto.h"
#include "pantallas/fichaorganizacion.h"
#include "pantallas/formaoportunidad.h"
#include "pantallas/registroganada.h"
#include "servicioshost.h"

#include "runtime/conversions.h"

#include <QDate>

#include <variant>

namespace Solicitudes {
namespace {

using Parametros = QMap<QString, QString>;

constexpr int diasParaElCierre = 30; // a new opportunity's estimated close, until the user says

const QString Accion = QStringLiteral("ACCION");
const QString Dato = QStringLiteral("DATO");
const QString Nuevo = QStringLiteral("NUEVO");

Respuesta sinPantalla(const QString &motivo)
{
    return Respuesta{nullptr, motivo, true};
}

bool esConsulta(const QString &accion)
{
    return accion == QLatin1String("CONSULTA") || accion == QLatin1String("CONSULTAR");
}

// What a request lacks or cannot do, or "" when the action is one the screen knows.
QString revisaAccion(const QString &modulo, const Parametros &parametros, const QStringList &conocidas)
{
    const QString accion = parametros.value(Accion).trimmed().toUpper();
    if (accion.isEmpty())
        return QStringLiteral("La solicitud al módulo %1 no indica la acción (ACCION).").arg(modulo);
    if (!conocidas.contains(accion))
        return QStringLiteral("El módulo %1 no reconoce la acción «%2».").arg(modulo, parametros.value(Accion));
    return {};
}

QString faltaDato(const QString &modulo, const QString &que)
{
    return QStringLiteral("La solicitud al módulo %1 no indica %2 (falta DATO).").arg(modulo, que);
}

Respuesta contacto(const Parametros &parametros, QWidget *duena)
{
    if (const QString motivo = revisaAccion(Contactos, parametros,
                                            {QStringLiteral("CONSULTA"), QStringLiteral("CONSULTAR")});
        !motivo.isEmpty())
        return sinPantalla(motivo);
    const QString clave = parametros.value(Dato);
    if (clave.isEmpty())
        return sinPantalla(faltaDato(Contactos, QStringLiteral("qué contacto mostrar")));
    const auto leido = Pantallas::Contacto::lee(clave);
    if (!leido)
        return sinPantalla(QStringLiteral("No existe el contacto «%1».").arg(clave));
    return Respuesta{new Pantallas::FichaContacto(*leido, duena), {}, true};
}

Respuesta organizacion(const Parametros &parametros, QWidget *duena)
{
    if (const QString motivo = revisaAccion(Organizaciones, parametros,
                                            {QStringLiteral("CONSULTA"), QStringLiteral("CONSULTAR")});
        !motivo.isEmpty())
        return sinPantalla(motivo);
    const QString clave = parametros.value(Dato);
    if (clave.isEmpty())
        return sinPantalla(faltaDato(Organizaciones, QStringLiteral("qué organización mostrar")));
    const auto leida = Pantallas::Organizacion::lee(clave);
    if (!leida)
        return sinPantalla(QStringLiteral("No existe la organización «%1».").arg(clave));
    return Respuesta{new Pantallas::FichaOrganizacion(*leida, duena), {}, true};
}

Pantallas::Alcance alcanceDeLaSesion()
{
    ServiciosDelAnfitrion servicios;
    return Pantallas::Alcance::delOperador(servicios);
}

Respuesta nuevaOportunidad(const Pantallas::Alcance &alcance, QWidget *duena)
{
    if (const QString motivo = alcance.motivoSinAlcance(); !motivo.isEmpty())
        return sinPantalla(motivo);
    ServiciosDelAnfitrion servicios;
    Pantallas::Oportunidad nueva;
    nueva.vendedor = alcance.vendedor();
    nueva.cierreEstimado = servicios.funciones->FechaActual().date().addDays(diasParaElCierre);
    using Modo = Pantallas::FormaOportunidad::Modo;
    return Respuesta{
        new Pantallas::FormaOportunidad(Modo::Nuevo, nueva, Pantallas::Catalogos::lee(alcance), duena), {}, true};
}

// The opportunity of that folio when the session's salesperson may open it; else why not.
std::variant<Pantallas::Oportunidad, QString> alAlcance(const QString &folio, const Pantallas::Alcance &alcance)
{
    const auto leida = Pantallas::Oportunidades::lee(folio);
    if (!leida)
        return QStringLiteral("No existe la oportunidad «%1».").arg(folio);
    if (QString motivo = alcance.motivoParaNoVer(*leida); !motivo.isEmpty())
        return motivo;
    return *leida;
}

// Why an opportunity cannot be changed or closed any more, or "".
QString yaNoEstaAbierta(const Pantallas::Oportunidad &oportunidad)
{
    if (oportunidad.cancelada)
        return QStringLiteral("La oportunidad %1 está cancelada.").arg(oportunidad.folio);
    if (!oportunidad.cierre.isEmpty())
        return QStringLiteral("La oportunidad %1 ya fue cerrada como %2.").arg(oportunidad.folio, oportunidad.cierre);
    return {};
}

Respuesta oportunidad(const Parametros &parametros, QWidget *duena)
{
    using Modo = Pantallas::FormaOportunidad::Modo;
    if (const QString motivo = revisaAccion(
            Oportunidades, parametros, {QStringLiteral("NUEVO"), QStringLiteral("CONSULTA"), QStringLiteral("EDITAR")});
        !motivo.isEmpty())
        return sinPantalla(motivo);
    const QString accion = parametros.value(Accion).trimmed().toUpper();
    const Pantallas::Alcance alcance = alcanceDeLaSesion();
    if (accion == Nuevo)
        return nuevaOportunidad(alcance, duena);
    const QString folio = parametros.value(Dato);
    if (folio.isEmpty())
        return sinPantalla(faltaDato(Oportunidades, QStringLiteral("qué oportunidad abrir")));
    const auto leida = alAlcance(folio, alcance);
    if (const auto *motivo = std::get_if<QString>(&leida))
        return sinPantalla(*motivo);
    const auto &oportunidad = std::get<Pantallas::Oportunidad>(leida);
    if (esConsulta(accion))
        return Respuesta{new Pantallas::FormaOportunidad(Modo::Consulta, oportunidad, {}, duena), {}, true};
    if (const QString motivo = yaNoEstaAbierta(oportunidad); !motivo.isEmpty())
        return sinPantalla(motivo + QStringLiteral(" No puede editarse."));
    return Respuesta{
        new Pantallas::FormaOportunidad(Modo::Editar, oportunidad, Pantallas::Catalogos::lee(alcance), duena),
        {},
        true};
}

Respuesta ganada(const QString &modulo, const Parametros &parametros, QWidget *duena)
{
    const QString folio = parametros.value(Nuevo);
    if (folio.isEmpty())
        return sinPantalla(
            QStringLiteral("La solicitud al módulo %1 no indica la oportunidad ganada (falta NUEVO).").arg(modulo));
    const Pantallas::Alcance alcance = alcanceDeLaSesion();
    if (const QString motivo = alcance.motivoParaNoGanar(); !motivo.isEmpty())
        return sinPantalla(motivo);
    const auto leida = alAlcance(folio, alcance);
    if (const auto *motivo = std::get_if<QString>(&leida))
        return sinPantalla(*motivo);
    const auto &oportunidad = std::get<Pantallas::Oportunidad>(leida);
    if (const QString motivo = yaNoEstaAbierta(oportunidad); !motivo.isEmpty())
        return sinPantalla(motivo);
    return Respuesta{new Pantallas::RegistroGanada(oportunidad, duena), {}, true};
}

bool esLaTransaccionGanada(const QString &modulo)
{
    ServiciosDelAnfitrion servicios;
    const QString configurada = Runtime::toTextOrEmpty(
        servicios.entorno->LeeVariable(VariableGanada, 0, QStringLiteral("T"), QString()));
    return !configurada.trimmed().isEmpty() && configurada.trimmed().compare(modulo, Qt::CaseInsensitive) == 0;
}

} // namespace

Respuesta atiende(const QString &modulo, const QMap<QString, QString> &parametros, QWidget *duena)
{
    const QString codigo = modulo.trimmed().toUpper();
    if (codigo == Contactos)
        return contacto(parametros, duena);
    if (codigo == Organizaciones)
        return organizacion(parametros, duena);
    if (codigo == Oportunidades)
        return oportunidad(parametros, duena);
    if (!codigo.isEmpty() && esLaTransaccionGanada(codigo))
        return ganada(codigo, parametros, duena);
    return Respuesta{nullptr, {}, false};
}

} // namespace Solicitudes

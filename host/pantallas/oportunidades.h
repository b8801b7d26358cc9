#pragma once

#include "lecturas.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantList>

#include <array>
#include <optional>

struct ServiciosDelAnfitrion;

namespace Pantallas {

// One row of Oportunidad as the host's screens show and write it.
struct Oportunidad
{
    QString folio;
    QString descripcion;
    QString contacto;
    QString vendedor;
    QString estado;
    double monto = 0;
    QDate cierreEstimado;

    // Read along with the row, for showing it.
    QString nombreContacto;
    QString nombreOrganizacion;
    QString nombreVendedor;
    QString nivelVendedor; // who may see it depends on it (see Alcance)
    QString descripcionEstado;
    bool cancelada = false;
    QString cierre; // "ganada" or "perdida" once closed, "" while open

    // The stored columns as they were read, Null kept apart from "": a change is written only
    // over the row as it was read (see Oportunidades::actualiza).
    QVariantList comoSeLeyo;
};

// What a user changes in an opportunity, one column each.
enum class Dato { Descripcion, Contacto, Vendedor, Estado, Monto, CierreEstimado };
inline constexpr std::array todosLosDatos = {Dato::Descripcion, Dato::Contacto, Dato::Vendedor,
                                             Dato::Estado,      Dato::Monto,    Dato::CierreEstimado};

// What came of a change: written, or why nothing was.
enum class Escritura { Hecha, CambiadaPorOtro, YaNoExiste, Cancelada, Cerrada };

// The opportunities' table: reading one, adding and changing them. Each write and its
// audit entry are committed together or not at all.
namespace Oportunidades {

std::optional<Oportunidad> lee(const QString &folio);
bool existe(const QString &folio);

// Adds it with the session's operator and today's date as its registration.
void agrega(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios);
// The data whose stored values differ between two versions of one opportunity, as the
// columns would hold them (an amount to the cent, an empty key as Null).
QList<Dato> diferencias(const Oportunidad &antes, const Oportunidad &despues);
// Writes `datos` of `nueva`, and nothing else, with the operator and time of the change and
// its audit entry, only over the row as `leida` read it and while it is open: another user's
// change made since is never undone.
Escritura actualiza(const Oportunidad &leida, const Oportunidad &nueva, const QList<Dato> &datos,
                    ServiciosDelAnfitrion &servicios);

} // namespace Oportunidades

class Alcance;

// What an opportunity's fields may hold: contacts, active salespeople and states. The
// salespeople are only those whose opportunities the session's salesperson sees, so an
// opportunity is never handed to, or registered for, someone beyond his reach.
struct Catalogos
{
    QList<Opcion> contactos;
    QList<Opcion> vendedores;
    QList<Opcion> estados;

    static Catalogos lee(const Alcance &alcance);
};

} // namespace Pantallas

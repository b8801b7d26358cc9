#pragma once

#include "lecturas.h"

#include <QDate>
#include <QString>

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
};

// The opportunities' table: reading one, adding and changing them. Each write and its
// audit entry are committed together or not at all.
namespace Oportunidades {

std::optional<Oportunidad> lee(const QString &folio);
bool existe(const QString &folio);

// Adds it with the session's operator and today's date as its registration.
void agrega(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios);
// Writes its description, contact, salesperson, state, amount and estimated close; false
// when it no longer exists or was cancelled meanwhile (nothing is written then).
bool actualiza(const Oportunidad &oportunidad, ServiciosDelAnfitrion &servicios);

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

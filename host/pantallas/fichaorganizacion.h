#pragma once

#include "suplente.h"

#include <QStringList>

#include <optional>

namespace Pantallas {

// What the organisation card shows.
struct Organizacion
{
    QString clave;
    QString nombre;
    QString ciudad;
    QString telefono;
    QStringList contactos; // "Nombre (CLAVE)", by name

    // The organisation of that key with its contacts; nothing when there is none.
    static std::optional<Organizacion> lee(const QString &clave);
};

// In place of the organisations module (KLD238) asked to show an organisation: its card,
// read-only, with the names of its contacts.
class FichaOrganizacion final : public Suplente
{
    Q_OBJECT

public:
    FichaOrganizacion(const Organizacion &organizacion, QWidget *duena);
};

} // namespace Pantallas

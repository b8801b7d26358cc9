#pragma once

#include "suplente.h"

#include <optional>

namespace Pantallas {

// What the contact card shows.
struct Contacto
{
    QString clave;
    QString nombre;
    QString organizacion; // key
    QString nombreOrganizacion;
    QString telefono;
    QString correo;

    // The contact of that key; nothing when there is none.
    static std::optional<Contacto> lee(const QString &clave);
};

// In place of the contacts module (KLD215) asked to show a contact: its card, read-only.
class FichaContacto final : public Suplente
{
    Q_OBJECT

public:
    FichaContacto(const Contacto &contacto, QWidget *duena);
};

} // namespace Pantallas

#include "fichaorganizacion.h"

#include "lecturas.h"

#include "controles/directiontext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace Pantallas {

std::optional<Organizacion> Organizacion::lee(const QString &clave)
{
    const auto renglon = primerRenglon(
        QStringLiteral("SELECT Og_Cve_Organizacion, Og_Nombre, Og_Ciudad, Og_Telefono FROM Organizacion "
                       "WHERE Og_Cve_Organizacion = ?"),
        {QStringLiteral("Og_Cve_Organizacion"), QStringLiteral("Og_Nombre"), QStringLiteral("Og_Ciudad"),
         QStringLiteral("Og_Telefono")},
        {clave});
    if (!renglon)
        return std::nullopt;
    Organizacion organizacion{renglon->at(0), renglon->at(1), renglon->at(2), renglon->at(3), {}};
    const QList<Opcion> contactos = opciones(
        QStringLiteral("SELECT Cn_Cve_Contacto, Cn_Nombre FROM Contacto WHERE Cn_Organizacion = ? "
                       "ORDER BY Cn_Nombre, Cn_Cve_Contacto"),
        {clave});
    for (const Opcion &contacto : contactos)
        organizacion.contactos << conClave(contacto.descripcion, contacto.clave);
    return organizacion;
}

FichaOrganizacion::FichaOrganizacion(const Organizacion &organizacion, QWidget *duena)
    : Suplente(QStringLiteral("frmKLD238"), QStringLiteral("Organización — %1").arg(organizacion.nombre), duena)
{
    auto *forma = new QFormLayout;
    campoDeLectura(*this, *forma, QStringLiteral("Clave"), QStringLiteral("txtClave"), organizacion.clave);
    campoDeLectura(*this, *forma, QStringLiteral("Nombre"), QStringLiteral("txtNombre"), organizacion.nombre);
    campoDeLectura(*this, *forma, QStringLiteral("Ciudad"), QStringLiteral("txtCiudad"), organizacion.ciudad);
    campoDeLectura(*this, *forma, QStringLiteral("Teléfono"), QStringLiteral("txtTelefono"), organizacion.telefono);

    auto *contactos = new QListWidget(this);
    contactos->setObjectName(QStringLiteral("lstContactos"));
    contactos->setAccessibleName(QStringLiteral("Contactos"));
    for (const QString &contacto : organizacion.contactos)
        contactos->addItem(Kit::withDirectionShown(contacto));
    if (organizacion.contactos.isEmpty())
        contactos->addItem(QStringLiteral("(sin contactos)"));
    auto *rotulo = new QLabel(QStringLiteral("Contactos:"), this);
    rotulo->setObjectName(QStringLiteral("lbContactos"));
    rotulo->setBuddy(contactos);
    forma->addRow(rotulo, contactos);

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(forma);
    disposicion->addWidget(botones(nullptr, QStringLiteral("Cerrar")));
}

} // namespace Pantallas

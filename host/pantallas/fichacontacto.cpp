#include "fichacontacto.h"

#include "lecturas.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace Pantallas {

std::optional<Contacto> Contacto::lee(const QString &clave)
{
    const auto renglon = primerRenglon(
        QStringLiteral("SELECT Cn_Cve_Contacto, Cn_Nombre, Cn_Organizacion, Og_Nombre, Cn_Telefono, Cn_Correo "
                       "FROM Contacto "
                       "LEFT JOIN Organizacion ON Organizacion.Og_Cve_Organizacion = Contacto.Cn_Organizacion "
                       "WHERE Cn_Cve_Contacto = ?"),
        {QStringLiteral("Cn_Cve_Contacto"), QStringLiteral("Cn_Nombre"), QStringLiteral("Cn_Organizacion"),
         QStringLiteral("Og_Nombre"), QStringLiteral("Cn_Telefono"), QStringLiteral("Cn_Correo")},
        {clave});
    if (!renglon)
        return std::nullopt;
    return Contacto{renglon->at(0), renglon->at(1), renglon->at(2), renglon->at(3), renglon->at(4), renglon->at(5)};
}

FichaContacto::FichaContacto(const Contacto &contacto, QWidget *duena)
    : Suplente(QStringLiteral("frmKLD215"), QStringLiteral("Contacto — %1").arg(contacto.nombre), duena)
{
    auto *forma = new QFormLayout;
    campoDeLectura(*this, *forma, QStringLiteral("Clave"), QStringLiteral("txtClave"), contacto.clave);
    campoDeLectura(*this, *forma, QStringLiteral("Nombre"), QStringLiteral("txtNombre"), contacto.nombre);
    campoDeLectura(*this, *forma, QStringLiteral("Organización"), QStringLiteral("txtOrganizacion"),
                   contacto.organizacion.isEmpty() ? QStringLiteral("(sin organización)")
                                                   : conClave(contacto.nombreOrganizacion, contacto.organizacion));
    campoDeLectura(*this, *forma, QStringLiteral("Teléfono"), QStringLiteral("txtTelefono"), contacto.telefono);
    campoDeLectura(*this, *forma, QStringLiteral("Correo electrónico"), QStringLiteral("txtCorreo"), contacto.correo);

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(forma);
    disposicion->addStretch(1);
    disposicion->addWidget(botones(nullptr, QStringLiteral("Cerrar")));
}

} // namespace Pantallas

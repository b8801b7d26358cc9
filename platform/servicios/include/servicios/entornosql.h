#pragma once

#include "servicios/servicios.h"
#include "servicios/servicios_export.h"

namespace Servicios {

// The environment backed by the suite's own tables: Variable for configuration,
// Opcion_Restringida for permissions, and the session's shared connection and operator.
class SERVICIOS_EXPORT EntornoSql final : public Entorno
{
public:
    std::shared_ptr<Ado::Connection> Conexion() override;
    QString Operador() override;
    QVariant LeeVariable(const QString &nombre, qint32 reservado, const QString &tipo,
                         const QVariant &predeterminado) override;
    bool OpcionRestringida(const QString &modulo, const QString &opcion, const QString &leyenda) override;
    // A modal message box (objectName "Mensaje"); see CajaMensaje for styles and answers.
    qint32 Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario,
                   const QString &modulo, const QString &idError) override;
};

} // namespace Servicios

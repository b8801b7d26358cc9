#pragma once

#include <QMap>
#include <QString>

class QWidget;

namespace Pantallas {
class Suplente;
}

// Which of the host's own screens answers a module's request for another module's screen.
namespace Solicitudes {

inline const QString Contactos = QStringLiteral("KLD215");
inline const QString Organizaciones = QStringLiteral("KLD238");
inline const QString Oportunidades = QStringLiteral("KLD242");
// Names the module that registers a won opportunity; asked with "NUEVO=<folio>".
inline const QString VariableGanada = QStringLiteral("CRM_TRANSACCION_OPORTUNIDAD_GANADA");

struct Respuesta
{
    Pantallas::Suplente *pantalla = nullptr; // created hidden, owned by the requested owner
    QString motivo;                          // why there is none, for the user
    bool instalado = true;                   // false: the host has no screen for that module
};

// The screen for `modulo` and its parameters (see leeParametros). When the parameters do
// not say what to show, or name a record that does not exist, there is no screen and the
// answer says why. Database failures raise a runtime error.
Respuesta atiende(const QString &modulo, const QMap<QString, QString> &parametros, QWidget *duena);

} // namespace Solicitudes

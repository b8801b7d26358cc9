#pragma once

#include <QString>

#include <memory>

namespace Ado {
class Connection;
}

// The statements of the actions on one opportunity, on a connection and as an operator, built
// in the module's SQL buffer. Each says what happened; telling the user is the board's
// business. A failure of the database leaves as an exception, with nothing written.
class AccionesSobreOportunidad final
{
public:
    AccionesSobreOportunidad(std::shared_ptr<Ado::Connection> conexion, QString operador);

    // Whether the opportunity is still there and not cancelled.
    bool sigueVigente(const QString &folio) const;

    enum class Cancelacion { Cancelada, YaEstabaCancelada };
    // The update and its audit entry, committed together or not at all. Only a row still not
    // cancelled is touched: another user's cancellation meanwhile is left as it is.
    Cancelacion cancela(const QString &folio) const;

    // The opportunity's state as stored; empty when it has none or is gone.
    QString estadoActual(const QString &folio) const;
    // Writes the chosen state only over the state the user saw (`leido`): false, with nothing
    // written, when another user changed or removed the opportunity meanwhile.
    bool cambiaEstado(const QString &folio, const QString &leido, const QString &elegido) const;

    // The host's screen that registers a won opportunity, when the suite has one configured.
    static QString transaccionDeGanada();
    // Closes it through the service library: 1 won, 2 lost with its cause. The reason of a
    // refusal is the library's last error.
    static bool cierra(const QString &folio, qint32 resultado, const QString &causa);
    static QString motivoDelRechazo();

private:
    std::shared_ptr<Ado::Connection> m_conexion;
    QString m_operador;
};

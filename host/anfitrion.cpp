#include "anfitrion.h"

#include "avisos.h"
#include "pantallas/suplente.h"
#include "parametros.h"
#include "solicitudes.h"
#include "ventanas.h"

#include "runtime/error.h"

#include <QApplication>
#include <QWidget>

Q_LOGGING_CATEGORY(logAnfitrion, "teqvaro.anfitrion")

namespace {

// The stand-in already answering this very request, if one is open.
Pantallas::Suplente *abiertaPara(const QString &solicitud)
{
    for (QWidget *ventana : QApplication::topLevelWidgets()) {
        auto *suplente = qobject_cast<Pantallas::Suplente *>(ventana);
        if (suplente && suplente->isVisible() && suplente->solicitud() == solicitud)
            return suplente;
    }
    return nullptr;
}

} // namespace

Anfitrion::Anfitrion(QString operador, QObject *parent)
    : QObject(parent)
    , m_operador(std::move(operador))
{
    setObjectName(QStringLiteral("Anfitrion"));
}

QString Anfitrion::Transaccion() const
{
    return QStringLiteral("OPERADOR=%1|ORIGEN=KLD251").arg(m_operador);
}

void Anfitrion::setPantalla(QWidget *pantalla)
{
    m_pantalla = pantalla;
}

// The screens the host opens belong to the window that holds the module's screen.
QWidget *Anfitrion::duena() const
{
    return m_pantalla ? m_pantalla->window() : nullptr;
}

void Anfitrion::transacciones(const QString &modulo, const QString &parametros)
{
    qCInfo(logAnfitrion).noquote() << "Solicitud de pantalla:" << modulo << parametros;
    const QString resultado = atiende(modulo, parametros);
    qCInfo(logAnfitrion).noquote() << "Solicitud" << modulo << parametros << "→" << resultado;
    Q_EMIT accionRealizada(resultado);
}

// Called by name from a module's handler: nothing may leave it.
QString Anfitrion::atiende(const QString &modulo, const QString &parametros)
{
    const QString solicitud = modulo.trimmed().toUpper() + QLatin1Char(' ') + parametros;
    if (Pantallas::Suplente *abierta = abiertaPara(solicitud)) {
        alFrente(abierta);
        return QStringLiteral("«%1» ya estaba abierta").arg(abierta->windowTitle());
    }
    Solicitudes::Respuesta respuesta;
    try {
        respuesta = Solicitudes::atiende(modulo, leeParametros(parametros), duena());
    } catch (...) {
        const QString descripcion = Runtime::toRuntimeError(std::current_exception()).description();
        Avisos::reportaFalla(duena(), QStringLiteral("No se pudo abrir la pantalla del módulo %1.").arg(modulo),
                             descripcion);
        return QStringLiteral("No se pudo abrir la pantalla del módulo %1: %2").arg(modulo, descripcion);
    }
    if (!respuesta.instalado) {
        avisaNoInstalado(modulo, parametros);
        return QStringLiteral("El módulo %1 no está instalado").arg(modulo);
    }
    if (!respuesta.pantalla) {
        Avisos::advierte(duena(), respuesta.motivo);
        return QStringLiteral("No se abrió la pantalla: %1").arg(respuesta.motivo);
    }
    Pantallas::Suplente *pantalla = respuesta.pantalla;
    pantalla->setSolicitud(solicitud);
    connect(pantalla, &Pantallas::Suplente::accionRealizada, this, [this](const QString &descripcion) {
        qCInfo(logAnfitrion).noquote() << descripcion;
        Q_EMIT accionRealizada(descripcion);
    });
    alFrente(pantalla);
    return QStringLiteral("Se abrió «%1»").arg(pantalla->windowTitle());
}

void Anfitrion::avisaNoInstalado(const QString &modulo, const QString &parametros)
{
    Avisos::muestra(duena(), QMessageBox::Information,
                    QStringLiteral("El módulo %1 no está instalado en este equipo.").arg(modulo),
                    QStringLiteral("Solicitud: %1").arg(parametros), QStringLiteral("AvisoModulo"));
}

void Anfitrion::close()
{
    qCInfo(logAnfitrion) << "La pantalla se cierra";
    if (m_pantalla)
        m_pantalla->close();
    Q_EMIT cerrado();
}

#include "barradeestado.h"

#include "runtime/screenstatus.h"

#include <QLabel>

using Parte = Runtime::ScreenStatus::Part;

BarraDeEstado::BarraDeEstado(const QString &operador, const Base &base, QWidget *parent)
    : QStatusBar(parent)
    , m_operador(operador)
{
    setObjectName(QStringLiteral("barraDeEstado"));
    m_accion = agrega(QStringLiteral("lbUltimaAccion"), QStringLiteral("Última acción"), false);
    m_accion->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // never widens the window
    m_contenido = agrega(QStringLiteral("lbContenido"), QStringLiteral("Contenido de la lista"), true);
    m_conexion = agrega(QStringLiteral("lbConexion"), QStringLiteral("Conexión"), true);
    m_conexion->setStyleSheet(QStringLiteral("QLabel { color: #B00020; font-weight: bold; }"));
    m_conexion->hide();
    m_usuario = agrega(QStringLiteral("lbOperador"), QStringLiteral("Operador"), true);
    m_base = agrega(QStringLiteral("lbBaseDeDatos"), QStringLiteral("Base de datos"), true);
    m_base->setText(QStringLiteral("Base: %1").arg(base.breve));
    m_base->setToolTip(QStringLiteral("Base de datos: %1").arg(base.completa));
    muestraUsuario(QString());
    anotaAccion(QStringLiteral("Sesión iniciada"));
}

QLabel *BarraDeEstado::agrega(const QString &nombre, const QString &descripcion, bool permanente)
{
    auto *etiqueta = new QLabel(this);
    etiqueta->setObjectName(nombre);
    etiqueta->setAccessibleName(descripcion);
    if (permanente)
        addPermanentWidget(etiqueta);
    else
        addWidget(etiqueta, 1);
    return etiqueta;
}

void BarraDeEstado::anotaAccion(const QString &accion)
{
    m_accion->setText(accion);
    m_accion->setToolTip(accion); // a long outcome is cut at the bar's edge; the tip holds it whole
}

void BarraDeEstado::muestraUsuario(const QString &vendedor)
{
    m_usuario->setText(vendedor.isEmpty() ? QStringLiteral("Operador: %1").arg(m_operador)
                                          : QStringLiteral("Operador: %1 · Vendedor: %2").arg(m_operador, vendedor));
}

void BarraDeEstado::muestraConexion(const QString &estado)
{
    m_conexion->setText(estado);
    m_conexion->setVisible(!estado.isEmpty());
}

void BarraDeEstado::observa(QWidget *pantalla)
{
    Runtime::ScreenStatus *estado = Runtime::ScreenStatus::of(pantalla);
    if (!estado)
        return;
    const auto muestra = [this](Parte parte, const QString &texto) {
        switch (parte) {
        case Parte::Action:
            if (!texto.isEmpty())
                anotaAccion(texto);
            break;
        case Parte::User: muestraUsuario(texto); break;
        case Parte::Connection: muestraConexion(texto); break;
        case Parte::Contents: m_contenido->setText(texto); break;
        }
    };
    for (const Parte parte : {Parte::User, Parte::Connection, Parte::Contents, Parte::Action})
        muestra(parte, estado->text(parte));
    connect(estado, &Runtime::ScreenStatus::changed, this, muestra);
}

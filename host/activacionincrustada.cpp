#include "activacionincrustada.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

ActivacionIncrustada::ActivacionIncrustada(QWidget *pantalla)
    : QObject(pantalla)
    , m_pantalla(pantalla)
{
    setObjectName(QStringLiteral("ActivacionIncrustada"));
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &ActivacionIncrustada::alCambiarEstado);
}

ActivacionIncrustada::~ActivacionIncrustada()
{
    qApp->removeEventFilter(this);
}

void ActivacionIncrustada::alCambiarEstado(Qt::ApplicationState estado)
{
    if (estado != Qt::ApplicationActive && m_ultimaActiva && m_ultimaActiva == m_pantalla->window())
        m_vuelveDeOtroPrograma = true;
}

bool ActivacionIncrustada::eventFilter(QObject *observado, QEvent *evento)
{
    if (evento->type() != QEvent::WindowActivate || !observado->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(observado);
    if (widget->isWindow()) {
        // Coming back through another of the application's windows is no plain return.
        if (widget != m_pantalla->window())
            m_vuelveDeOtroPrograma = false;
        m_ultimaActiva = observado;
        return false;
    }
    if (widget != m_pantalla || !m_vuelveDeOtroPrograma)
        return false;
    m_vuelveDeOtroPrograma = false;
    return true;
}

#include "cuadrodecolor.h"

#include "runtime/colors.h"
#include "runtime/error.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace {

// A flat box keeps a thin grey outline so that a box coloured like its form still shows
// where it stands; the raised one adds a black outline around its bevel, so the
// selection reads at a glance whatever the colours around it.
const QColor contornoPlano(0x9A, 0x9A, 0x9A);
const QColor contornoElevado(0x20, 0x20, 0x20);
constexpr int grosorDeRelieve = 2;

} // namespace

CuadroDeColor::CuadroDeColor(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

CuadroDeColor::~CuadroDeColor() = default;

void CuadroDeColor::setBackColor(qint32 reference)
{
    if (!Runtime::isValidColorReference(reference))
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    m_backColor = reference;
    update();
}

QColor CuadroDeColor::color() const
{
    return Runtime::toQColor(m_backColor, QGuiApplication::palette());
}

void CuadroDeColor::setAppearance(int appearance)
{
    if (appearance != Plana && appearance != TresDimensiones)
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    m_appearance = appearance;
    update();
}

void CuadroDeColor::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    pintor.fillRect(rect(), color());
    const QRect borde = rect().adjusted(0, 0, -1, -1);
    if (m_appearance == Plana) {
        pintor.setPen(contornoPlano);
        pintor.drawRect(borde);
    } else {
        pintor.setPen(contornoElevado);
        pintor.drawRect(borde);
        qDrawShadePanel(&pintor, rect().adjusted(1, 1, -1, -1), QGuiApplication::palette(), false, grosorDeRelieve);
    }
    if (hasFocus()) {
        // Dashed in both black and white, so it shows on any colour.
        for (const auto &[tinta, desfase] : {std::pair{Qt::white, 0}, std::pair{Qt::black, 3}}) {
            QPen pluma(tinta, 1, Qt::CustomDashLine);
            pluma.setDashPattern({3, 3});
            pluma.setDashOffset(desfase);
            pintor.setPen(pluma);
            pintor.drawRect(rect().adjusted(4, 4, -5, -5));
        }
    }
}

// The press is taken so that the release comes back to this box.
void CuadroDeColor::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void CuadroDeColor::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    Q_EMIT Click();
}

void CuadroDeColor::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space: Q_EMIT Click(); return;
    case Qt::Key_Right:
    case Qt::Key_Down: focusNextPrevChild(true); return;
    case Qt::Key_Left:
    case Qt::Key_Up: focusNextPrevChild(false); return;
    default: QWidget::keyPressEvent(event);
    }
}

void CuadroDeColor::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        Q_EMIT EnfocadoConTeclado();
}

void CuadroDeColor::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

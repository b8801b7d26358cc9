#include "registroganada.h"

#include "alcance.h"
#include "avisos.h"
#include "formaoportunidad.h"
#include "servicioshost.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "runtime/error.h"
#include "servicios/servicios.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pantallas {
namespace {

constexpr qint32 Ganada = 1; // the result the board closes a won opportunity with

// A key typed in a field must never register: no button is the default one, so Enter in a
// field presses nothing, and no button takes the default role when it gets the focus. The
// button box makes its first accepting button the default when it shows, so this runs then
// too.
void sinBotonPredeterminado(QDialogButtonBox &botones)
{
    for (QAbstractButton *boton : botones.buttons()) {
        if (auto *pulsable = qobject_cast<QPushButton *>(boton)) {
            pulsable->setAutoDefault(false);
            pulsable->setDefault(false);
        }
    }
}

QString noSeRegistro(const QString &folio)
{
    return QStringLiteral("No se registró la oportunidad %1 como ganada.").arg(folio);
}

} // namespace

RegistroGanada::RegistroGanada(const Oportunidad &oportunidad, QWidget *duena)
    : Suplente(QStringLiteral("frmOportunidadGanada"), QStringLiteral("Oportunidad ganada %1").arg(oportunidad.folio),
               duena)
    , m_leida(oportunidad)
    , m_servicios(std::make_unique<ServiciosDelAnfitrion>())
{
    // What the user fills comes first, in the order Tab visits it; the opportunity follows.
    dtpCierre = campoDeFecha(*this, m_servicios->funciones->FechaActual().date(), QStringLiteral("Fecha de cierre"));
    txtMonto = campoDeMonto(*this, oportunidad.monto);
    txtNotas = new QPlainTextEdit(this);
    txtNotas->setObjectName(QStringLiteral("txtNotas"));
    txtNotas->setAccessibleName(QStringLiteral("Notas del cierre"));
    txtNotas->setPlaceholderText(QStringLiteral("Condiciones pactadas, pedido, siguiente paso… (opcional)"));
    txtNotas->setTabChangesFocus(true);
    txtNotas->setFixedHeight(txtNotas->fontMetrics().lineSpacing() * 4 + 12);

    auto *forma = new QFormLayout;
    const auto fila = [this, forma](const QString &texto, const QString &nombre, QWidget *campo) {
        auto *rotulo = new QLabel(texto, this);
        rotulo->setObjectName(nombre);
        rotulo->setBuddy(campo);
        forma->addRow(rotulo, campo);
    };
    fila(QStringLiteral("Fecha de cierre:"), QStringLiteral("lbCierre"), dtpCierre);
    fila(QStringLiteral("Monto:"), QStringLiteral("lbMonto"), txtMonto);
    fila(QStringLiteral("Notas:"), QStringLiteral("lbNotas"), txtNotas);
    agregaResumen(*this, *forma, oportunidad, Resumen::SinMontoNiFecha);

    cmdRegistrar = new QPushButton(QStringLiteral("Registrar como ganada"), this);
    cmdRegistrar->setObjectName(QStringLiteral("cmdRegistrar"));
    cmdRegistrar->setAccessibleName(QStringLiteral("Registrar como ganada"));
    connect(cmdRegistrar, &QPushButton::clicked, this, &RegistroGanada::registra);

    QDialogButtonBox *caja = botones(cmdRegistrar, QStringLiteral("Cancelar"));
    sinBotonPredeterminado(*caja);
    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(forma);
    disposicion->addWidget(caja);
    txtNotas->setFocus();
}

RegistroGanada::~RegistroGanada() = default;

void RegistroGanada::showEvent(QShowEvent *evento)
{
    Suplente::showEvent(evento);
    sinBotonPredeterminado(*findChild<QDialogButtonBox *>(QStringLiteral("botones")));
}

// Enter (the keypad's too) in the date or the amount goes on to the next field, as a form's
// user expects; anywhere else it does nothing.
void RegistroGanada::keyPressEvent(QKeyEvent *evento)
{
    const bool enter = evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter;
    if (enter && (evento->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (focusWidget() == dtpCierre || focusWidget() == txtMonto)
            focusNextChild();
        return;
    }
    Suplente::keyPressEvent(evento);
}

void RegistroGanada::registra()
{
    if (const QString motivo = motivoParaNoRegistrar(); !motivo.isEmpty()) {
        Avisos::advierte(this, noSeRegistro(m_leida.folio), motivo);
        return;
    }
    if (!guardaMontoYFecha())
        return;
    if (!m_servicios->procesos->CierraOportunidad(m_leida.folio, Ganada, QString())) {
        Avisos::reportaFalla(this, noSeRegistro(m_leida.folio), m_servicios->procesos->UltimoError());
        return;
    }
    Q_EMIT accionRealizada(QStringLiteral("Oportunidad %1 registrada como ganada").arg(m_leida.folio));
    guardaNotas(txtNotas->toPlainText().trimmed());
    close();
}

// The closing's amount and date are the opportunity's own, written only when the user changed
// them and only over the opportunity as this screen read it.
bool RegistroGanada::guardaMontoYFecha()
{
    Oportunidad ganada = m_leida;
    ganada.monto = txtMonto->value();
    ganada.cierreEstimado = dtpCierre->date();
    const QList<Dato> cambiados = Oportunidades::diferencias(m_leida, ganada);
    if (cambiados.isEmpty())
        return true;
    QString motivo;
    try {
        switch (Oportunidades::actualiza(m_leida, ganada, cambiados, *m_servicios)) {
        case Escritura::Hecha: m_leida = Oportunidades::lee(m_leida.folio).value_or(ganada); return true;
        case Escritura::CambiadaPorOtro:
            m_leida = Oportunidades::lee(m_leida.folio).value_or(m_leida);
            motivo = QStringLiteral("Otro usuario modificó la oportunidad %1 mientras usted la registraba. Revise el "
                                    "monto y la fecha y pulse «Registrar como ganada» de nuevo.")
                         .arg(m_leida.folio);
            break;
        case Escritura::YaNoExiste:
            motivo = QStringLiteral("La oportunidad %1 ya no existe.").arg(m_leida.folio);
            break;
        case Escritura::Cancelada:
            motivo = QStringLiteral("La oportunidad %1 está cancelada.").arg(m_leida.folio);
            break;
        case Escritura::Cerrada: motivo = QStringLiteral("La oportunidad %1 ya fue cerrada.").arg(m_leida.folio); break;
        }
    } catch (...) {
        motivo = Runtime::toRuntimeError(std::current_exception()).description();
    }
    Avisos::advierte(this, noSeRegistro(m_leida.folio), motivo);
    return false;
}

// The screen may have stayed open while the opportunity passed to another salesperson or the
// operator lost the option: the rules are asked again at the moment of closing.
QString RegistroGanada::motivoParaNoRegistrar()
{
    try {
        const Alcance alcance = Alcance::delOperador(*m_servicios);
        if (QString motivo = alcance.motivoParaNoGanar(); !motivo.isEmpty())
            return motivo;
        const std::optional<Oportunidad> actual = Oportunidades::lee(m_leida.folio);
        return actual ? alcance.motivoParaNoVer(*actual)
                      : QStringLiteral("La oportunidad %1 ya no existe.").arg(m_leida.folio);
    } catch (...) {
        return Runtime::toRuntimeError(std::current_exception()).description();
    }
}

// The closing is already committed: notes that cannot be written are reported, not undone.
void RegistroGanada::guardaNotas(const QString &notas)
{
    if (notas.isEmpty())
        return;
    try {
        m_servicios->entorno->Conexion()->Execute(
            QStringLiteral("INSERT INTO Seguimiento (Sg_Entidad, Sg_Clave, Sg_Nota, Sg_Operador, Sg_Fecha) "
                           "VALUES ('OPORTUNIDAD', ?, ?, ?, ?)"),
            Ado::texts({m_leida.folio, notas, m_servicios->entorno->Operador(),
                        m_servicios->funciones->FormatoFechaModificacion(m_servicios->funciones->FechaActual())}));
    } catch (...) {
        Avisos::advierte(
            this,
            QStringLiteral("La oportunidad %1 quedó registrada como ganada, pero no se guardaron las notas.")
                .arg(m_leida.folio),
            Runtime::toRuntimeError(std::current_exception()).description());
    }
}

} // namespace Pantallas

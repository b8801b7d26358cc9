#include "registroganada.h"

#include "alcance.h"
#include "avisos.h"
#include "formaoportunidad.h"
#include "servicioshost.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "runtime/error.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pantallas {
namespace {

constexpr qint32 Ganada = 1; // the result the board closes a won opportunity with

} // namespace

RegistroGanada::RegistroGanada(const QString &modulo, const Oportunidad &oportunidad, QWidget *duena)
    : Suplente(QStringLiteral("frmOportunidadGanada"),
               QStringLiteral("Oportunidad ganada %1 (%2)").arg(oportunidad.folio, modulo), duena)
    , m_folio(oportunidad.folio)
    , m_servicios(std::make_unique<ServiciosDelAnfitrion>())
{
    auto *forma = new QFormLayout;
    agregaResumen(*this, *forma, oportunidad);

    txtNotas = new QPlainTextEdit(this);
    txtNotas->setObjectName(QStringLiteral("txtNotas"));
    txtNotas->setAccessibleName(QStringLiteral("Notas del cierre"));
    txtNotas->setPlaceholderText(QStringLiteral("Condiciones pactadas, pedido, siguiente paso… (opcional)"));
    txtNotas->setTabChangesFocus(true);
    txtNotas->setFixedHeight(txtNotas->fontMetrics().lineSpacing() * 4 + 12);
    auto *rotulo = new QLabel(QStringLiteral("Notas:"), this);
    rotulo->setObjectName(QStringLiteral("lbNotas"));
    rotulo->setBuddy(txtNotas);
    forma->addRow(rotulo, txtNotas);

    auto *pregunta = new QLabel(
        QStringLiteral("Se registrará la oportunidad como ganada y se quitará del tablero de oportunidades."), this);
    pregunta->setObjectName(QStringLiteral("lbConfirmacion"));
    pregunta->setWordWrap(true);

    cmdRegistrar = new QPushButton(QStringLiteral("Registrar como ganada"), this);
    cmdRegistrar->setObjectName(QStringLiteral("cmdRegistrar"));
    cmdRegistrar->setAccessibleName(QStringLiteral("Registrar como ganada"));
    connect(cmdRegistrar, &QPushButton::clicked, this, &RegistroGanada::registra);

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(forma);
    disposicion->addWidget(pregunta);
    disposicion->addWidget(botones(cmdRegistrar, QStringLiteral("Cancelar")));
    cmdRegistrar->setFocus();
}

RegistroGanada::~RegistroGanada() = default;

void RegistroGanada::registra()
{
    if (const QString motivo = motivoParaNoRegistrar(); !motivo.isEmpty()) {
        Avisos::advierte(this, QStringLiteral("No se registró la oportunidad %1 como ganada.").arg(m_folio), motivo);
        return;
    }
    if (!m_servicios->procesos->CierraOportunidad(m_folio, Ganada, QString())) {
        Avisos::reportaFalla(this, QStringLiteral("No se registró la oportunidad %1 como ganada.").arg(m_folio),
                             m_servicios->procesos->UltimoError());
        return;
    }
    Q_EMIT accionRealizada(QStringLiteral("Oportunidad %1 registrada como ganada").arg(m_folio));
    guardaNotas(txtNotas->toPlainText().trimmed());
    close();
}

// The screen may have stayed open while the opportunity passed to another salesperson or the
// operator lost the option: the rules are asked again at the moment of closing.
QString RegistroGanada::motivoParaNoRegistrar()
{
    try {
        const Alcance alcance = Alcance::delOperador(*m_servicios);
        if (QString motivo = alcance.motivoParaNoGanar(); !motivo.isEmpty())
            return motivo;
        const std::optional<Oportunidad> actual = Oportunidades::lee(m_folio);
        return actual ? alcance.motivoParaNoVer(*actual)
                      : QStringLiteral("La oportunidad %1 ya no existe.").arg(m_folio);
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
            Ado::texts({m_folio, notas, m_servicios->entorno->Operador(),
                        m_servicios->funciones->FormatoFechaModificacion(m_servicios->funciones->FechaActual())}));
    } catch (...) {
        Avisos::advierte(
            this,
            QStringLiteral("La oportunidad %1 quedó registrada como ganada, pero no se guardaron las notas.")
                .arg(m_folio),
            Runtime::toRuntimeError(std::current_exception()).description());
    }
}

} // namespace Pantallas

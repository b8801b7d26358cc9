#include "formaoportunidad.h"

#include "alcance.h"
#include "avisos.h"
#include "servicioshost.h"

#include "controles/directiontext.h"
#include "runtime/error.h"
#include "runtime/regional.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Pantallas {
namespace {

constexpr int largoFolio = 30;
constexpr double montoMaximo = 999999999999.99; // NUMERIC(14, 2)
const QDate sinFecha(2000, 1, 1);               // what a date field shows for no date

QString titulo(FormaOportunidad::Modo modo, const QString &folio)
{
    switch (modo) {
    case FormaOportunidad::Modo::Nuevo: return QStringLiteral("Nueva oportunidad");
    case FormaOportunidad::Modo::Consulta: return QStringLiteral("Oportunidad %1").arg(folio);
    case FormaOportunidad::Modo::Editar: return QStringLiteral("Editar oportunidad %1").arg(folio);
    }
    return {};
}

// "a", "a y b", "a, b y c".
QString enumera(const QStringList &partes)
{
    if (partes.size() <= 1)
        return partes.join(QString());
    return partes.mid(0, partes.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" y ") + partes.last();
}

QLabel *rotulo(QWidget &pantalla, const QString &texto, const QString &nombre, QWidget *campo)
{
    auto *creado = new QLabel(texto, &pantalla);
    creado->setObjectName(nombre);
    creado->setBuddy(campo);
    return creado;
}

// A key the list lacks (a salesperson since deactivated or beyond the user's reach, a state
// since removed) is added so the opportunity keeps it. The contact's "(sin contacto)" carries
// the empty key; elsewhere an empty key chooses nothing.
void eligeClave(QComboBox &combo, const QString &clave)
{
    int indice = combo.findData(clave);
    if (indice < 0 && !clave.isEmpty()) {
        combo.addItem(Kit::withDirectionShown(clave), clave);
        indice = combo.count() - 1;
    }
    combo.setCurrentIndex(indice);
}

// A list of keys showing their descriptions.
QComboBox *lista(QWidget &pantalla, const QString &nombre, const QString &accesible, const QList<Opcion> &opciones,
                 const QString &elegida)
{
    auto *combo = new QComboBox(&pantalla);
    combo->setObjectName(nombre);
    combo->setAccessibleName(accesible);
    for (const Opcion &opcion : opciones)
        combo->addItem(Kit::withDirectionShown(conClave(opcion.descripcion, opcion.clave)), opcion.clave);
    eligeClave(*combo, elegida);
    return combo;
}

QString nombreDe(Dato dato)
{
    switch (dato) {
    case Dato::Descripcion: return QStringLiteral("descripción");
    case Dato::Contacto: return QStringLiteral("contacto");
    case Dato::Vendedor: return QStringLiteral("vendedor");
    case Dato::Estado: return QStringLiteral("estado");
    case Dato::Monto: return QStringLiteral("monto");
    case Dato::CierreEstimado: return QStringLiteral("cierre estimado");
    }
    return {};
}

QString claveElegida(const QComboBox &combo)
{
    return combo.currentIndex() < 0 ? QString() : combo.currentData().toString();
}

QString descripcionDe(std::exception_ptr falla)
{
    return Runtime::toRuntimeError(falla).description();
}

} // namespace

FormaOportunidad::FormaOportunidad(Modo modo, const Oportunidad &oportunidad, const Catalogos &catalogos,
                                   QWidget *duena)
    : Suplente(QStringLiteral("frmKLD242"), titulo(modo, oportunidad.folio), duena)
    , m_modo(modo)
    , m_leida(oportunidad)
{
    if (modo == Modo::Consulta) {
        creaLectura(oportunidad);
        return;
    }
    creaCampos(oportunidad, catalogos);
    m_mostrada = capturada();
}

FormaOportunidad::~FormaOportunidad() = default;

void FormaOportunidad::creaLectura(const Oportunidad &oportunidad)
{
    auto *forma = new QFormLayout;
    agregaResumen(*this, *forma, oportunidad);
    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(forma);
    disposicion->addStretch(1);
    disposicion->addWidget(botones(nullptr, QStringLiteral("Cerrar")));
}

void FormaOportunidad::creaCampos(const Oportunidad &oportunidad, const Catalogos &catalogos)
{
    m_servicios = std::make_unique<ServiciosDelAnfitrion>();

    txtFolio = new QLineEdit(this);
    txtFolio->setObjectName(QStringLiteral("txtFolio"));
    txtFolio->setAccessibleName(QStringLiteral("Folio"));
    txtFolio->setPlaceholderText(QStringLiteral("p. ej. OP-000301"));
    if (m_modo == Modo::Editar) { // the folio is the opportunity's key: only shown, saved as read
        txtFolio->setText(Kit::withDirectionShown(oportunidad.folio));
        txtFolio->setReadOnly(true);
        pareceDeLectura(*txtFolio);
    } else {
        txtFolio->setMaxLength(largoFolio);
        txtFolio->setText(oportunidad.folio);
    }

    txtDescripcion = new QLineEdit(oportunidad.descripcion, this);
    txtDescripcion->setObjectName(QStringLiteral("txtDescripcion"));
    txtDescripcion->setAccessibleName(QStringLiteral("Descripción"));
    txtDescripcion->setMinimumWidth(340);

    QList<Opcion> contactos{{QString(), QStringLiteral("(sin contacto)")}};
    contactos += catalogos.contactos;
    cboContacto = lista(*this, QStringLiteral("cboContacto"), QStringLiteral("Contacto"), contactos,
                        oportunidad.contacto);
    cboVendedor = lista(*this, QStringLiteral("cboVendedor"), QStringLiteral("Vendedor"), catalogos.vendedores,
                        oportunidad.vendedor);
    cboVendedor->setPlaceholderText(QStringLiteral("Elija el vendedor"));
    cboEstado = lista(*this, QStringLiteral("cboEstado"), QStringLiteral("Estado"), catalogos.estados,
                      oportunidad.estado);
    cboEstado->setPlaceholderText(QStringLiteral("Elija el estado"));

    txtMonto = campoDeMonto(*this, oportunidad.monto);
    dtpCierre = campoDeFecha(*this, oportunidad.cierreEstimado, QStringLiteral("Cierre estimado"));

    auto *forma = new QFormLayout;
    forma->addRow(rotulo(*this, QStringLiteral("Folio *:"), QStringLiteral("lbFolio"), txtFolio), txtFolio);
    forma->addRow(rotulo(*this, QStringLiteral("Descripción *:"), QStringLiteral("lbDescripcion"), txtDescripcion),
                  txtDescripcion);
    forma->addRow(rotulo(*this, QStringLiteral("Contacto:"), QStringLiteral("lbContacto"), cboContacto), cboContacto);
    forma->addRow(rotulo(*this, QStringLiteral("Vendedor *:"), QStringLiteral("lbVendedor"), cboVendedor), cboVendedor);
    forma->addRow(rotulo(*this, QStringLiteral("Estado *:"), QStringLiteral("lbEstado"), cboEstado), cboEstado);
    forma->addRow(rotulo(*this, QStringLiteral("Monto:"), QStringLiteral("lbMonto"), txtMonto), txtMonto);
    forma->addRow(rotulo(*this, QStringLiteral("Cierre estimado:"), QStringLiteral("lbCierre"), dtpCierre), dtpCierre);

    auto *nota = new QLabel(QStringLiteral("Los campos marcados con * son obligatorios."), this);
    nota->setObjectName(QStringLiteral("lbObligatorios"));
    nota->setEnabled(false);

    lbOtroUsuario = new QLabel(this);
    lbOtroUsuario->setObjectName(QStringLiteral("lbOtroUsuario"));
    lbOtroUsuario->setWordWrap(true);
    lbOtroUsuario->setVisible(false);

    cmdGuardar = new QPushButton(QStringLiteral("Guardar"), this);
    cmdGuardar->setObjectName(QStringLiteral("cmdGuardar"));
    cmdGuardar->setAccessibleName(QStringLiteral("Guardar"));
    connect(cmdGuardar, &QPushButton::clicked, this, &FormaOportunidad::guarda);

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addWidget(lbOtroUsuario);
    disposicion->addLayout(forma);
    disposicion->addWidget(nota);
    disposicion->addStretch(1);
    disposicion->addWidget(botones(cmdGuardar, QStringLiteral("Cancelar")));
    (m_modo == Modo::Editar ? static_cast<QWidget *>(txtDescripcion) : txtFolio)->setFocus();
}

QList<FormaOportunidad::Campo> FormaOportunidad::camposVacios() const
{
    if (m_modo == Modo::Consulta)
        return {};
    QList<Campo> vacios;
    if (txtFolio->text().trimmed().isEmpty())
        vacios.append({QStringLiteral("folio"), txtFolio});
    if (txtDescripcion->text().trimmed().isEmpty())
        vacios.append({QStringLiteral("descripción"), txtDescripcion});
    if (claveElegida(*cboVendedor).isEmpty())
        vacios.append({QStringLiteral("vendedor"), cboVendedor});
    if (claveElegida(*cboEstado).isEmpty())
        vacios.append({QStringLiteral("estado"), cboEstado});
    return vacios;
}

QStringList FormaOportunidad::faltantes() const
{
    QStringList nombres;
    for (const Campo &campo : camposVacios())
        nombres << campo.nombre;
    return nombres;
}

Oportunidad FormaOportunidad::capturada() const
{
    Oportunidad oportunidad;
    oportunidad.folio = m_modo == Modo::Editar ? m_leida.folio : txtFolio->text().trimmed();
    oportunidad.descripcion = txtDescripcion->text().trimmed();
    oportunidad.contacto = claveElegida(*cboContacto);
    oportunidad.vendedor = claveElegida(*cboVendedor);
    oportunidad.estado = claveElegida(*cboEstado);
    oportunidad.monto = txtMonto->value();
    oportunidad.cierreEstimado = dtpCierre->date();
    return oportunidad;
}

void FormaOportunidad::guarda()
{
    if (const QList<Campo> vacios = camposVacios(); !vacios.isEmpty()) {
        Avisos::advierte(this, QStringLiteral("Faltan datos de la oportunidad: %1.").arg(enumera(faltantes())),
                         QStringLiteral("Los campos marcados con * son obligatorios."));
        vacios.first().control->setFocus();
        return;
    }
    const Oportunidad oportunidad = capturada();
    if (m_modo == Modo::Editar && Oportunidades::diferencias(m_mostrada, oportunidad).isEmpty()) {
        close(); // nothing changed: nothing to write over anybody
        return;
    }
    bool guardada = false;
    try {
        guardada = m_modo == Modo::Nuevo ? guardaNueva(oportunidad) : guardaCambios(oportunidad);
    } catch (...) {
        Avisos::reportaFalla(this, QStringLiteral("No se pudo guardar la oportunidad %1.").arg(oportunidad.folio),
                             descripcionDe(std::current_exception()));
        return;
    }
    if (!guardada)
        return;
    Q_EMIT accionRealizada(m_modo == Modo::Nuevo ? QStringLiteral("Oportunidad %1 registrada").arg(oportunidad.folio)
                                                 : QStringLiteral("Oportunidad %1 modificada").arg(oportunidad.folio));
    close();
}

bool FormaOportunidad::guardaNueva(const Oportunidad &oportunidad)
{
    const auto avisaDuplicado = [this, &oportunidad] {
        Avisos::advierte(this, QStringLiteral("Ya existe una oportunidad con el folio «%1».").arg(oportunidad.folio),
                         QStringLiteral("Escriba otro folio."));
        txtFolio->setFocus();
        txtFolio->selectAll();
        return false;
    };
    if (Oportunidades::existe(oportunidad.folio))
        return avisaDuplicado();
    try {
        Oportunidades::agrega(oportunidad, *m_servicios);
    } catch (...) {
        // Another user may have taken the folio since it was checked.
        if (Oportunidades::existe(oportunidad.folio))
            return avisaDuplicado();
        throw;
    }
    return true;
}

bool FormaOportunidad::guardaCambios(const Oportunidad &oportunidad)
{
    const QList<Dato> propios = Oportunidades::diferencias(m_mostrada, oportunidad);
    switch (Oportunidades::actualiza(m_leida, oportunidad, propios, *m_servicios)) {
    case Escritura::Hecha: return true;
    case Escritura::CambiadaPorOtro: return muestraLaActual(propios);
    case Escritura::YaNoExiste: return noSePuedeGuardar(QStringLiteral("La oportunidad %1 ya no existe."));
    case Escritura::Cancelada:
        return noSePuedeGuardar(QStringLiteral("La oportunidad %1 fue cancelada mientras usted la editaba."));
    case Escritura::Cerrada:
        return noSePuedeGuardar(QStringLiteral("La oportunidad %1 fue cerrada mientras usted la editaba."));
    }
    return false;
}

// The form stays open with what the user typed, so nothing of it is lost.
bool FormaOportunidad::noSePuedeGuardar(const QString &motivo)
{
    cmdGuardar->setEnabled(false);
    Avisos::advierte(this, motivo.arg(m_leida.folio), QStringLiteral("No se guardaron sus cambios."));
    return false;
}

// Every field the user left alone now shows the stored value, so a second save cannot undo
// the other user's change; the fields the user changed keep what was typed.
bool FormaOportunidad::muestraLaActual(const QList<Dato> &propios)
{
    const std::optional<Oportunidad> actual = Oportunidades::lee(m_leida.folio);
    if (!actual)
        return noSePuedeGuardar(QStringLiteral("La oportunidad %1 ya no existe."));
    if (const QString motivo = Alcance::delOperador(*m_servicios).motivoParaNoVer(*actual); !motivo.isEmpty())
        return noSePuedeGuardar(motivo);
    const Oportunidad tecleada = capturada();
    const Oportunidad antes = m_mostrada;
    for (const Dato dato : todosLosDatos)
        muestra(dato, *actual);
    m_leida = *actual;
    m_mostrada = capturada();
    QStringList delOtro;
    for (const Dato dato : Oportunidades::diferencias(antes, m_mostrada))
        delOtro << QStringLiteral("%1: «%2»").arg(nombreDe(dato), textoVisible(dato));
    for (const Dato dato : propios)
        muestra(dato, tecleada);
    lbOtroUsuario->setText(Kit::withDirectionShown(
        delOtro.isEmpty()
            ? QStringLiteral("Otro usuario guardó esta oportunidad mientras usted la editaba.")
            : QStringLiteral("Otro usuario cambió esta oportunidad mientras usted la editaba. Ahora tiene %1.")
                  .arg(enumera(delOtro))));
    lbOtroUsuario->setVisible(true);
    Avisos::advierte(
        this,
        QStringLiteral("Otro usuario modificó la oportunidad %1 mientras usted la editaba; no se guardaron "
                       "sus cambios.")
            .arg(m_leida.folio),
        QStringLiteral("La forma muestra ahora cómo quedó y conserva lo que usted cambió. Revíselo y pulse "
                       "Guardar de nuevo."));
    return false;
}

void FormaOportunidad::muestra(Dato dato, const Oportunidad &oportunidad)
{
    switch (dato) {
    case Dato::Descripcion: txtDescripcion->setText(oportunidad.descripcion); break;
    case Dato::Contacto: eligeClave(*cboContacto, oportunidad.contacto); break;
    case Dato::Vendedor: eligeClave(*cboVendedor, oportunidad.vendedor); break;
    case Dato::Estado: eligeClave(*cboEstado, oportunidad.estado); break;
    case Dato::Monto: txtMonto->setValue(oportunidad.monto); break;
    case Dato::CierreEstimado:
        dtpCierre->setDate(oportunidad.cierreEstimado.isValid() ? oportunidad.cierreEstimado : sinFecha);
        break;
    }
}

QString FormaOportunidad::textoVisible(Dato dato) const
{
    switch (dato) {
    case Dato::Descripcion: return txtDescripcion->text();
    case Dato::Contacto: return cboContacto->currentText();
    case Dato::Vendedor: return cboVendedor->currentText();
    case Dato::Estado: return cboEstado->currentText();
    case Dato::Monto: return txtMonto->text();
    case Dato::CierreEstimado: return dtpCierre->text();
    }
    return {};
}

QDoubleSpinBox *campoDeMonto(QWidget &pantalla, double monto)
{
    auto *campo = new QDoubleSpinBox(&pantalla);
    campo->setObjectName(QStringLiteral("txtMonto"));
    campo->setAccessibleName(QStringLiteral("Monto"));
    campo->setLocale(Runtime::mexicanLocale());
    campo->setRange(0, montoMaximo);
    campo->setDecimals(2);
    campo->setGroupSeparatorShown(true);
    campo->setPrefix(QStringLiteral("$"));
    campo->setValue(monto);
    return campo;
}

QDateEdit *campoDeFecha(QWidget &pantalla, const QDate &fecha, const QString &nombreAccesible)
{
    auto *campo = new QDateEdit(fecha, &pantalla);
    campo->setObjectName(QStringLiteral("dtpCierre"));
    campo->setAccessibleName(nombreAccesible);
    campo->setDisplayFormat(Runtime::dateFormat.toString());
    campo->setCalendarPopup(true);
    return campo;
}

void agregaResumen(QWidget &pantalla, QFormLayout &forma, const Oportunidad &oportunidad, Resumen resumen)
{
    QString situacion = QStringLiteral("Abierta");
    if (oportunidad.cancelada)
        situacion = QStringLiteral("Cancelada");
    else if (!oportunidad.cierre.isEmpty())
        situacion = QStringLiteral("Cerrada como %1").arg(oportunidad.cierre);
    const QString contacto = oportunidad.contacto.isEmpty()
                                 ? QStringLiteral("(sin contacto)")
                                 : conClave(oportunidad.nombreContacto, oportunidad.contacto);
    const QString fecha = oportunidad.cierreEstimado.isValid() ? Runtime::formatDate(oportunidad.cierreEstimado)
                                                               : QString();
    campoDeLectura(pantalla, forma, QStringLiteral("Folio"), QStringLiteral("txtFolio"), oportunidad.folio);
    campoDeLectura(pantalla, forma, QStringLiteral("Descripción"), QStringLiteral("txtDescripcion"),
                   oportunidad.descripcion);
    campoDeLectura(pantalla, forma, QStringLiteral("Contacto"), QStringLiteral("txtContacto"), contacto);
    campoDeLectura(pantalla, forma, QStringLiteral("Organización"), QStringLiteral("txtOrganizacion"),
                   oportunidad.nombreOrganizacion);
    campoDeLectura(pantalla, forma, QStringLiteral("Vendedor"), QStringLiteral("txtVendedor"),
                   conClave(oportunidad.nombreVendedor, oportunidad.vendedor));
    campoDeLectura(pantalla, forma, QStringLiteral("Estado"), QStringLiteral("txtEstado"),
                   conClave(oportunidad.descripcionEstado, oportunidad.estado));
    if (resumen == Resumen::Completo) {
        campoDeLectura(pantalla, forma, QStringLiteral("Monto"), QStringLiteral("txtMonto"),
                       Runtime::formatAmount(oportunidad.monto));
        campoDeLectura(pantalla, forma, QStringLiteral("Cierre estimado"), QStringLiteral("txtCierre"), fecha);
    }
    campoDeLectura(pantalla, forma, QStringLiteral("Situación"), QStringLiteral("txtSituacion"), situacion);
}

} // namespace Pantallas

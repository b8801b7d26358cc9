#include "dialogoresumenestados.h"

#include "graficaestados.h"

#include "runtime/regional.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Servicios {
namespace {

const QString SinMontos = QStringLiteral("La lista no tiene una columna «Monto» con cifras.");

enum Columna { ColEstado, ColOportunidades, ColMonto, ColPorcentaje };

QPushButton *boton(QDialogButtonBox &botones, const QString &texto, QDialogButtonBox::ButtonRole papel,
                   const QString &nombre, const QString &descripcion)
{
    QPushButton *creado = botones.addButton(texto, papel);
    creado->setObjectName(nombre);
    creado->setAccessibleName(texto);
    creado->setAccessibleDescription(descripcion);
    return creado;
}

// The figures line up to the right, so their digits stand under one another.
void llenaFila(QTableWidget &tabla, int fila, const QStringList &textos, bool negrita)
{
    for (int columna = 0; columna < textos.size(); ++columna) {
        auto *celda = new QTableWidgetItem(textos.at(columna));
        if (columna != ColEstado)
            celda->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (negrita) {
            QFont letra = tabla.font();
            letra.setBold(true);
            celda->setFont(letra);
        }
        tabla.setItem(fila, columna, celda);
    }
}

QString aviso(const ResumenEstados &resumen)
{
    if (resumen.estados.empty())
        return {}; // the chart already says the list is empty
    if (!resumen.conMontos)
        return SinMontos + QStringLiteral(" Solo se cuentan las oportunidades.");
    if (resumen.montosSinSumar == 1)
        return QStringLiteral("Una oportunidad no tiene su monto en cifras: se cuenta, pero su monto no se suma.");
    if (resumen.montosSinSumar > 1)
        return QStringLiteral("%1 oportunidades no tienen su monto en cifras: se cuentan, pero sus montos no se suman.")
            .arg(resumen.montosSinSumar);
    return {};
}

// A state's name keeps to one cell when pasted in a spreadsheet.
QString campoTabulado(QString texto)
{
    for (QChar &letra : texto) {
        if (letra == QLatin1Char('\t') || letra == QLatin1Char('\r') || letra == QLatin1Char('\n'))
            letra = QLatin1Char(' ');
    }
    return texto;
}

} // namespace

DialogoResumenEstados::DialogoResumenEstados(ResumenEstados resumen, QWidget *parent)
    : QDialog(parent)
    , m_resumen(std::move(resumen))
{
    setObjectName(QStringLiteral("dlgResumenEstados"));
    setWindowTitle(QStringLiteral("Resumen por estado"));
    setAccessibleName(windowTitle());
    setAccessibleDescription(
        QStringLiteral("Las oportunidades de la lista agrupadas por estado, en gráfica y en tabla."));
    setModal(true);

    // Created in the order Tab visits them: the choice of bars, the table, the buttons.
    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(eleccionDeBarras());
    m_grafica = new GraficaEstados(this);
    m_grafica->setObjectName(QStringLiteral("picGrafica"));
    m_tabla = tablaDelResumen();

    auto *botones = new QDialogButtonBox(this);
    botones->setObjectName(QStringLiteral("botones"));
    QPushButton *copiar = boton(*botones, QStringLiteral("Copiar"), QDialogButtonBox::ActionRole,
                                QStringLiteral("cmdCopiar"),
                                QStringLiteral("Copia la tabla al portapapeles, separada por tabuladores."));
    copiar->setAutoDefault(false);
    boton(*botones, QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole, QStringLiteral("cmdCerrar"),
          QStringLiteral("Cierra el resumen."))
        ->setDefault(true);
    connect(copiar, &QPushButton::clicked, this, &DialogoResumenEstados::copia);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    disposicion->addWidget(m_grafica);
    disposicion->addWidget(m_tabla);
    if (QLabel *nota = avisoDeMontos())
        disposicion->addWidget(nota);
    disposicion->addWidget(botones);
    muestraBarras();
}

QLayout *DialogoResumenEstados::eleccionDeBarras()
{
    auto *titulo = new QLabel(QStringLiteral("Largo de las barras:"), this);
    titulo->setObjectName(QStringLiteral("lbBarras"));
    titulo->setAccessibleName(titulo->text());
    m_porCantidad = new QRadioButton(QStringLiteral("Cantidad"), this);
    m_porCantidad->setObjectName(QStringLiteral("optCantidad"));
    m_porCantidad->setAccessibleName(QStringLiteral("Barras por cantidad"));
    m_porCantidad->setAccessibleDescription(QStringLiteral("Cada barra mide el número de oportunidades del estado."));
    m_porCantidad->setChecked(true);
    m_porMonto = new QRadioButton(QStringLiteral("Monto"), this);
    m_porMonto->setObjectName(QStringLiteral("optMonto"));
    m_porMonto->setAccessibleName(QStringLiteral("Barras por monto"));
    m_porMonto->setAccessibleDescription(QStringLiteral("Cada barra mide la suma de los montos del estado."));
    if (!m_resumen.conMontos) {
        m_porMonto->setEnabled(false);
        m_porMonto->setToolTip(SinMontos);
        m_porMonto->setAccessibleDescription(SinMontos);
    }
    connect(m_porMonto, &QRadioButton::toggled, this, &DialogoResumenEstados::muestraBarras);

    auto *fila = new QHBoxLayout;
    fila->addWidget(titulo);
    fila->addWidget(m_porCantidad);
    fila->addWidget(m_porMonto);
    fila->addStretch();
    return fila;
}

QTableWidget *DialogoResumenEstados::tablaDelResumen()
{
    const QStringList titulos{QStringLiteral("Estado"), QStringLiteral("Oportunidades"), QStringLiteral("Monto"),
                              QStringLiteral("% del monto")};
    const int filas = int(m_resumen.estados.size());
    auto *tabla = new QTableWidget(filas + 1, int(titulos.size()), this);
    tabla->setObjectName(QStringLiteral("grdResumen"));
    tabla->setAccessibleName(QStringLiteral("Tabla del resumen por estado"));
    tabla->setAccessibleDescription(QStringLiteral("Oportunidades, monto y porcentaje del monto de cada estado; "
                                                   "la última fila es el total."));
    tabla->setHorizontalHeaderLabels(titulos);
    tabla->verticalHeader()->hide();
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setTabKeyNavigation(false); // Tab goes on to the buttons
    tabla->setWordWrap(false);
    tabla->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // it is as wide as its columns
    tabla->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);

    for (int fila = 0; fila < filas; ++fila) {
        const EstadoResumido &estado = m_resumen.estados[size_t(fila)];
        llenaFila(*tabla, fila,
                  {estado.estado, cantidad(estado.cantidad), monto(estado.monto), porcentaje(estado.monto)}, false);
        tabla->item(fila, ColEstado)->setData(Qt::DecorationRole, estado.color);
    }
    const double total = m_resumen.montoTotal();
    llenaFila(*tabla, filas,
              {QStringLiteral("Total"), cantidad(m_resumen.cantidadTotal()), monto(total), porcentaje(total)}, true);

    // Every column as wide as its contents, so the table asks for the width it needs; the
    // last one takes whatever room is left.
    QHeaderView &encabezado = *tabla->horizontalHeader();
    encabezado.setSectionResizeMode(QHeaderView::ResizeToContents);
    encabezado.setStretchLastSection(true);
    for (const int columna : {ColOportunidades, ColMonto, ColPorcentaje})
        tabla->horizontalHeaderItem(columna)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tabla->horizontalHeaderItem(ColEstado)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Rows a little taller than the text, not the style's roomy default: all states show at once.
    tabla->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabla->verticalHeader()->setDefaultSectionSize(tabla->fontMetrics().height() + 8);
    // A word-wrapped notice makes the dialog guess its width, and a short screen makes the
    // table scroll: neither may cut the figures.
    encabezado.resizeSections(QHeaderView::ResizeToContents);
    tabla->setMinimumWidth(tabla->sizeHint().width()
                           + tabla->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tabla));
    return tabla;
}

QLabel *DialogoResumenEstados::avisoDeMontos()
{
    const QString texto = aviso(m_resumen);
    if (texto.isEmpty())
        return nullptr;
    auto *nota = new QLabel(texto, this);
    nota->setObjectName(QStringLiteral("lbAviso"));
    nota->setTextFormat(Qt::PlainText);
    nota->setWordWrap(true);
    nota->setAccessibleName(QStringLiteral("Aviso"));
    nota->setAccessibleDescription(texto);
    return nota;
}

void DialogoResumenEstados::muestraBarras()
{
    const bool porMonto = m_porMonto->isChecked();
    std::vector<GraficaEstados::Barra> barras;
    barras.reserve(m_resumen.estados.size());
    for (const EstadoResumido &estado : m_resumen.estados) {
        barras.push_back({estado.estado, porMonto ? estado.monto : double(estado.cantidad),
                          porMonto ? monto(estado.monto) : cantidad(estado.cantidad), estado.color});
    }
    m_grafica->setAccessibleName(porMonto ? QStringLiteral("Gráfica del monto por estado")
                                          : QStringLiteral("Gráfica de oportunidades por estado"));
    m_grafica->muestra(std::move(barras));
}

QString DialogoResumenEstados::textoTabulado() const
{
    QString texto;
    const auto agregaLinea = [&](const auto &textoDeColumna) {
        for (int columna = 0; columna < m_tabla->columnCount(); ++columna) {
            if (columna > 0)
                texto += QLatin1Char('\t');
            texto += textoDeColumna(columna);
        }
        texto += QLatin1Char('\n');
    };
    agregaLinea([&](int columna) { return m_tabla->horizontalHeaderItem(columna)->text(); });
    for (int fila = 0; fila < m_tabla->rowCount(); ++fila)
        agregaLinea([&](int columna) { return campoTabulado(m_tabla->item(fila, columna)->text()); });
    return texto;
}

void DialogoResumenEstados::copia() const
{
    QGuiApplication::clipboard()->setText(textoTabulado());
}

QString DialogoResumenEstados::cantidad(int valor) const
{
    return Runtime::formatInteger(valor);
}

// Without an amount column the amount cells stay empty rather than show a zero that was
// never summed.
QString DialogoResumenEstados::monto(double valor) const
{
    return m_resumen.conMontos ? Runtime::formatAmount(valor) : QString();
}

QString DialogoResumenEstados::porcentaje(double valor) const
{
    const double total = m_resumen.montoTotal();
    if (!m_resumen.conMontos || total == 0)
        return {};
    return Runtime::formatNumber(valor / total * 100, 1) + QStringLiteral(" %");
}

} // namespace Servicios

#include "barradefiltro.h"

#include "controles/listview.h"
#include "runtime/regional.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

BarraDeFiltro::BarraDeFiltro(QWidget *parent)
    : QToolBar(QStringLiteral("Filtro"), parent)
    , m_texto(new QLineEdit(this))
    , m_cuenta(new QLabel(this))
{
    setObjectName(QStringLiteral("barraFiltro"));
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false); // the filter closes through its own line, never hidden behind it
    addWidget(new QLabel(QStringLiteral("Filtrar:"), this));
    m_texto->setObjectName(QStringLiteral("txtFiltro"));
    m_texto->setPlaceholderText(QStringLiteral("texto que deben tener las filas"));
    m_texto->setClearButtonEnabled(true);
    m_texto->setMaximumWidth(m_texto->fontMetrics().averageCharWidth() * 48);
    m_texto->setAccessibleName(QStringLiteral("Filtrar las filas"));
    m_texto->setToolTip(QStringLiteral("Deja sólo las filas que contienen este texto en alguna columna, sin "
                                       "importar acentos ni mayúsculas. Esc muestra todas."));
    addWidget(m_texto);
    m_cuenta->setObjectName(QStringLiteral("lbFiltro"));
    m_cuenta->setContentsMargins(8, 0, 8, 0);
    addWidget(m_cuenta);
    QAction *cerrar = addAction(QStringLiteral("✕"), this, &BarraDeFiltro::cierra);
    cerrar->setToolTip(QStringLiteral("Quitar el filtro (Esc)"));
    connect(m_texto, &QLineEdit::textChanged, this, &BarraDeFiltro::filtra);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), m_texto, nullptr, nullptr, Qt::WidgetShortcut);
    connect(esc, &QShortcut::activated, this, &BarraDeFiltro::cierra);
    // Enter or ↓ goes on to the rows left, with the filter kept.
    for (const int tecla : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Down}) {
        auto *alaLista = new QShortcut(QKeySequence(tecla), m_texto, nullptr, nullptr, Qt::WidgetShortcut);
        connect(alaLista, &QShortcut::activated, this, [this] {
            if (m_lista && m_lista->isVisible() && m_lista->isEnabled())
                m_lista->setFocus(Qt::ShortcutFocusReason);
        });
    }
    hide();
}

void BarraDeFiltro::abrePara(Kit::ListView &lista)
{
    if (m_lista != &lista) {
        if (m_lista)
            m_lista->setQuickFilter({});
        disconnect(m_alCambiarLaLista);
        m_lista = &lista;
        m_alCambiarLaLista = connect(&lista, &Kit::ListView::shownItemsChanged, this, &BarraDeFiltro::cuentaLasFilas);
        filtra(m_texto->text());
    }
    show();
    m_texto->setFocus(Qt::ShortcutFocusReason);
    m_texto->selectAll();
}

void BarraDeFiltro::cierra()
{
    m_texto->clear();
    hide();
    if (m_lista && m_lista->isVisible() && m_lista->isEnabled())
        m_lista->setFocus(Qt::OtherFocusReason);
}

QString BarraDeFiltro::texto() const
{
    return m_texto->text();
}

QString BarraDeFiltro::cuenta() const
{
    return m_cuenta->text();
}

void BarraDeFiltro::filtra(const QString &texto)
{
    if (!m_lista)
        return;
    m_lista->setQuickFilter(texto);
    cuentaLasFilas();
}

// Beside the line only while it filters: "12 de 300".
void BarraDeFiltro::cuentaLasFilas()
{
    if (!m_lista || m_lista->quickFilter().isEmpty()) {
        m_cuenta->clear();
        return;
    }
    const QLocale &mexicano = Runtime::mexicanLocale();
    m_cuenta->setText(QStringLiteral("%1 de %2")
                          .arg(mexicano.toString(m_lista->shownItemCount()), mexicano.toString(m_lista->itemCount())));
}

#include "barradeestado.h"

#include "runtime/screenstatus.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <numeric>
#include <vector>

using Parte = Runtime::ScreenStatus::Part;

namespace {

// The letters a part of the bar keeps, at least, when the action message needs the room.
constexpr int LetrasMinimas = 6;

// A part of the bar that may be given less width than its text: it ends the text in "…" and
// then holds it whole in its tooltip, unless the part has a tooltip of its own. Its text()
// stays whole.
class ParteRecortable final : public QLabel
{
public:
    explicit ParteRecortable(QWidget *padre, bool tipPropio)
        : QLabel(padre)
        , m_tipPropio(tipPropio)
    { }

    bool recortada() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }

    void actualizaTip()
    {
        if (!m_tipPropio)
            setToolTip(recortada() ? text() : QString());
    }

    // The bar decides how narrow a part may get.
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter pintor(this);
        const QRect area = contentsRect();
        const QString visible = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        style()->drawItemText(&pintor, area, int(alignment()), palette(), isEnabled(), visible, foregroundRole());
    }

    void resizeEvent(QResizeEvent *evento) override
    {
        QLabel::resizeEvent(evento);
        actualizaTip();
    }

private:
    bool m_tipPropio;
};

// Gives each part the width it asks for, from the narrowest ask up, as long as an equal share
// of what is left allows; the others share the rest equally.
std::vector<int> repartoParejo(const std::vector<int> &pedidos, int disponible)
{
    std::vector<size_t> orden(pedidos.size());
    std::iota(orden.begin(), orden.end(), size_t(0));
    std::sort(orden.begin(), orden.end(), [&](size_t a, size_t b) { return pedidos[a] < pedidos[b]; });
    std::vector<int> anchos(pedidos.size(), 0);
    int restante = std::max(disponible, 0);
    for (size_t lugar = 0; lugar < orden.size(); ++lugar) {
        const int parte = restante / int(orden.size() - lugar);
        anchos[orden[lugar]] = std::min(pedidos[orden[lugar]], parte);
        restante -= anchos[orden[lugar]];
    }
    return anchos;
}

} // namespace

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
    m_base->setToolTip(QStringLiteral("Base de datos: %1").arg(base.completa));
    pon(m_base, QStringLiteral("Base: %1").arg(base.breve));
    muestraUsuario(QString());
    anotaAccion(QStringLiteral("Sesión iniciada"));
}

QLabel *BarraDeEstado::agrega(const QString &nombre, const QString &descripcion, bool permanente)
{
    auto *etiqueta = new ParteRecortable(this, nombre == u"lbBaseDeDatos"); // owned by the bar
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
    pon(m_accion, accion);
}

void BarraDeEstado::muestraUsuario(const QString &vendedor)
{
    pon(m_usuario, vendedor.isEmpty() ? QStringLiteral("Operador: %1").arg(m_operador)
                                      : QStringLiteral("Operador: %1 · Vendedor: %2").arg(m_operador, vendedor));
}

void BarraDeEstado::muestraConexion(const QString &estado)
{
    m_conexion->setVisible(!estado.isEmpty());
    pon(m_conexion, estado);
}

void BarraDeEstado::pon(QLabel *parte, const QString &texto)
{
    parte->setText(texto);
    reparte();
    static_cast<ParteRecortable *>(parte)->actualizaTip();
}

void BarraDeEstado::resizeEvent(QResizeEvent *evento)
{
    QStatusBar::resizeEvent(evento);
    reparte();
}

void BarraDeEstado::showEvent(QShowEvent *evento)
{
    QStatusBar::showEvent(evento);
    reparte();
}

// The parts share the width the bar's layout gave them (the action message stretches to fill
// it): the action message takes what its text needs, leaving the others a few letters each,
// and the others share the rest. A part's limit is lifted when all fit.
void BarraDeEstado::reparte()
{
    std::vector<QLabel *> otras;
    for (QLabel *parte : {m_contenido, m_conexion, m_usuario, m_base}) {
        if (!parte->isHidden())
            otras.push_back(parte);
    }
    int disponible = m_accion->width();
    std::vector<int> pedidos;
    int minimos = 0;
    const int piso = fontMetrics().averageCharWidth() * LetrasMinimas;
    for (const QLabel *parte : otras) {
        disponible += parte->width();
        pedidos.push_back(parte->sizeHint().width());
        minimos += std::min(pedidos.back(), piso);
    }
    const int pedidoDeAccion = m_accion->text().isEmpty() ? 0 : m_accion->sizeHint().width();
    const bool caben = std::accumulate(pedidos.cbegin(), pedidos.cend(), pedidoDeAccion) <= disponible;
    const std::vector<int> anchos = repartoParejo(
        pedidos, disponible - std::min(pedidoDeAccion, std::max(disponible - minimos, 0)));
    for (size_t numero = 0; numero < otras.size(); ++numero)
        otras[numero]->setMaximumWidth(caben ? QWIDGETSIZE_MAX : std::max(anchos[numero], 0));
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
        case Parte::Contents: pon(m_contenido, texto); break;
        }
    };
    for (const Parte parte : {Parte::User, Parte::Connection, Parte::Contents, Parte::Action})
        muestra(parte, estado->text(parte));
    connect(estado, &Runtime::ScreenStatus::changed, this, muestra);
}

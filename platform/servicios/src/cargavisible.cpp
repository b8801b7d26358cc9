#include "cargavisible.h"

#include "controles/listview.h"
#include "controles/texttable.h"
#include "runtime/screenstatus.h"

#include <QLocale>

namespace Servicios {
namespace {

// A screenful and some: what a list that shows nothing of the statement shows first.
constexpr int primeras = 100;

} // namespace

CargaVisible::CargaVisible(Kit::ListView &lista)
    : m_lista(lista)
    , m_pintura(&lista)
    , m_estado(Runtime::ScreenStatus::around(&lista))
{
    if (m_estado)
        m_contenidoAntes = m_estado->text(Runtime::ScreenStatus::Part::Contents);
}

// The status bar says again what it said, unless the list's new rows changed it meanwhile.
CargaVisible::~CargaVisible()
{
    if (m_estado && !m_progreso.isEmpty() && m_estado->text(Runtime::ScreenStatus::Part::Contents) == m_progreso)
        m_estado->set(Runtime::ScreenStatus::Part::Contents, m_contenidoAntes);
}

void CargaVisible::avanza(int filas, const Kit::TextTable *leidas, const QStringList &encabezados)
{
    if (!m_pintura.due())
        return;
    if (!m_mostroPrimeras && leidas && leidas->rowCount() > 0
        && (m_lista.itemCount() == 0 || m_lista.listModel().headers() != encabezados))
        muestraPrimeras(*leidas, encabezados);
    if (m_estado) {
        m_progreso = QStringLiteral("Leyendo la lista: %1 renglones…")
                         .arg(QLocale(QLocale::Spanish, QLocale::Mexico).toString(filas));
        m_estado->set(Runtime::ScreenStatus::Part::Contents, m_progreso);
    }
    m_pintura.paint();
}

void CargaVisible::muestraPrimeras(const Kit::TextTable &leidas, const QStringList &encabezados)
{
    m_columnasNuevas = m_lista.listModel().headers() != encabezados || m_lista.layoutKeyChanged();
    auto tabla = std::make_shared<Kit::TextTable>();
    const int cuantas = std::min(primeras, leidas.rowCount());
    tabla->reserve(cuantas);
    std::vector<QString> textos;
    for (int fila = 0; fila < cuantas; ++fila) {
        textos.clear();
        for (int columna = 0; columna < leidas.textCount(fila); ++columna)
            textos.push_back(leidas.text(fila, columna));
        tabla->appendRow(textos);
    }
    Kit::ListUpdate actualizacion;
    actualizacion.headers = encabezados;
    actualizacion.table = std::move(tabla);
    m_lista.apply(std::move(actualizacion));
    m_mostroPrimeras = true;
}

} // namespace Servicios

#include "servicios/mezclalista.h"

#include "servicios/lecturalista.h"

#include "cambiossueltos.h"
#include "formatolista.h"

#include "ado/recordset.h"
#include "controles/texttable.h"

#include <QHash>

namespace Servicios {
namespace {

using Kit::ListUpdate;
using Kit::TextTable;

// A row read again, and the folio of the row before it in the view's order.
struct Releida
{
    QStringList textos;
    std::optional<QString> anterior; // none: it is the first
};

class Mezclador
{
public:
    Mezclador(const Kit::ListSnapshot &mostrada, const QSet<QString> &folios)
        : m_mostrada(mostrada)
        , m_tabla(*mostrada.table)
        , m_folios(folios)
    { }

    bool indexaLasMostradas()
    {
        m_filaDe.reserve(m_tabla.rowCount());
        for (int fila = 0; fila < m_tabla.rowCount(); ++fila) {
            const QString &folio = m_tabla.text(fila, 0);
            if (folio.isEmpty() || m_filaDe.contains(folio))
                return false;
            m_filaDe.insert(folio, fila);
        }
        return true;
    }

    bool leeReleidas(Ado::Recordset &cambiadas, FormatoDeLista &formato)
    {
        const int columnas = cambiadas.fieldCount() - 1;
        for (; !cambiadas.atEnd(); cambiadas.moveNext()) {
            Releida releida;
            for (int columna = 0; columna < columnas; ++columna)
                releida.textos << formato.texto(columna, cambiadas.field(columna));
            if (!cambiadas.field(columnas).isNull())
                releida.anterior = textoDeCelda(cambiadas.field(columnas));
            const QString folio = releida.textos.front();
            if (!m_folios.contains(folio) || m_releidas.contains(folio))
                return false;
            m_releidas.insert(folio, std::move(releida));
        }
        return formato.tomaCambios().empty();
    }

    // A row that leaves or changes must not be the one that holds a column's decimals.
    bool decimalesIntactos(const FormatoDeLista &formato) const
    {
        for (const QString &folio : m_folios) {
            const auto fila = m_filaDe.constFind(folio);
            if (fila == m_filaDe.cend())
                continue;
            const auto releida = m_releidas.constFind(folio);
            for (int columna = 1; columna < m_tabla.textCount(*fila); ++columna) {
                const QString &texto = m_tabla.text(*fila, columna);
                const bool cambia = releida == m_releidas.cend() || releida->textos.value(columna) != texto;
                if (cambia && formato.sostieneDecimales(columna, texto))
                    return false;
            }
        }
        return true;
    }

    // Each new row hangs after the row before it: one shown that stays, or another new one.
    bool colocaLasNuevas()
    {
        for (auto releida = m_releidas.cbegin(); releida != m_releidas.cend(); ++releida) {
            if (m_filaDe.contains(releida.key()))
                continue;
            ++m_nuevas;
            const QString anterior = releida->anterior.value_or(QString());
            const bool conocida = anterior.isEmpty() || m_releidas.contains(anterior)
                                  || (m_filaDe.contains(anterior) && !m_folios.contains(anterior));
            if (!conocida)
                return false;
            m_siguienteNueva.insert(anterior, releida.key());
        }
        return true;
    }

    std::optional<Mezcla> compone(const QStringList &encabezados)
    {
        m_orden.reserve(size_t(m_tabla.rowCount()) + size_t(m_nuevas));
        agregaNuevasTras(QString());
        bool seFueAlguna = false;
        for (int fila = 0; fila < m_tabla.rowCount(); ++fila) {
            const QString &folio = m_tabla.text(fila, 0);
            if (!m_folios.contains(folio)) {
                m_orden.push_back({fila, nullptr});
            } else if (const auto releida = m_releidas.constFind(folio); releida != m_releidas.cend()) {
                m_orden.push_back({fila, &*releida});
            } else {
                seFueAlguna = true;
                continue;
            }
            agregaNuevasTras(folio);
        }
        if (m_colocadas != m_nuevas)
            return std::nullopt; // a new row hangs from a row that is no longer there
        Mezcla mezcla;
        mezcla.actualizacion.headers = encabezados;
        if (m_nuevas == 0 && !seFueAlguna && sueltos(mezcla))
            return mezcla;
        tablaNueva(mezcla);
        return mezcla;
    }

private:
    struct Lugar
    {
        int mostrada = -1;                // the row shown it was, or -1 for a new one
        const Releida *releida = nullptr; // its texts when read again
    };

    void agregaNuevasTras(QString folio)
    {
        for (auto siguiente = m_siguienteNueva.constFind(folio); siguiente != m_siguienteNueva.cend();
             siguiente = m_siguienteNueva.constFind(folio)) {
            folio = *siguiente;
            m_orden.push_back({-1, &*m_releidas.constFind(folio)});
            ++m_colocadas;
        }
    }

    // The same rows in their places: only the texts that changed, as a whole reading keeps them.
    bool sueltos(Mezcla &mezcla) const
    {
        for (const Lugar &lugar : m_orden) {
            mezcla.conservada.push_back(lugar.releida ? -1 : lugar.mostrada);
            if (lugar.releida && !m_tabla.rowEquals(lugar.mostrada, textosDe(lugar.releida->textos)))
                mezcla.actualizacion.changes.push_back({lugar.mostrada, lugar.releida->textos});
        }
        return mezcla.actualizacion.changes.size() <= maximoDeCambiosSueltos(m_tabla.rowCount());
    }

    void tablaNueva(Mezcla &mezcla) const
    {
        auto tabla = std::make_shared<TextTable>();
        tabla->reserve(int(m_orden.size()));
        mezcla.conservada.clear();
        std::vector<QString> textos;
        for (const Lugar &lugar : m_orden) {
            mezcla.conservada.push_back(lugar.releida ? -1 : lugar.mostrada);
            if (lugar.releida) {
                tabla->appendRow(textosDe(lugar.releida->textos));
                continue;
            }
            textos.clear();
            for (int columna = 0; columna < m_tabla.textCount(lugar.mostrada); ++columna)
                textos.push_back(m_tabla.text(lugar.mostrada, columna));
            tabla->appendRow(textos);
        }
        mezcla.actualizacion.changes.clear();
        if (m_mostrada.sort) {
            mezcla.actualizacion.sortedBy = m_mostrada.sort;
            mezcla.actualizacion.order = tabla->sortedRows(m_mostrada.sort->column, m_mostrada.sort->order);
        }
        mezcla.actualizacion.table = std::move(tabla);
    }

    static std::span<const QString> textosDe(const QStringList &textos)
    {
        return {textos.constData(), size_t(textos.size())};
    }

    const Kit::ListSnapshot &m_mostrada;
    const TextTable &m_tabla;
    const QSet<QString> &m_folios;
    QHash<QString, int> m_filaDe;
    QHash<QString, Releida> m_releidas;
    QHash<QString, QString>
        m_siguienteNueva; // by the folio before it ("" for the first); two after one are counted short
    std::vector<Lugar> m_orden;
    int m_nuevas = 0;
    int m_colocadas = 0;
};

} // namespace

std::optional<Mezcla> mezclaLista(Ado::Recordset &cambiadas, const Kit::ListSnapshot &mostrada,
                                  const QSet<QString> &folios)
{
    QStringList encabezados;
    for (int columna = 0; columna + 1 < cambiadas.fieldCount(); ++columna)
        encabezados << cambiadas.fieldName(columna);
    if (!mostrada.table || mostrada.table->hasKeys() || encabezados.isEmpty() || encabezados != mostrada.headers)
        return std::nullopt;
    Mezclador mezclador(mostrada, folios);
    FormatoDeLista formato(encabezados, mostrada.table.get());
    if (!mezclador.indexaLasMostradas() || !mezclador.leeReleidas(cambiadas, formato)
        || !mezclador.decimalesIntactos(formato) || !mezclador.colocaLasNuevas())
        return std::nullopt;
    return mezclador.compone(encabezados);
}

} // namespace Servicios
